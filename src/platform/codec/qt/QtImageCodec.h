// Qt's image reader as a codec handler: BMP (with RLE), GIF and every other container Qt reads.
// It is tried after the built-in JPEG, PNG and TIFF decoders, so it also takes the files of
// those kinds that they leave (unusual TIFF, for one).
#pragma once

// Registers the handler once; later calls do nothing. Call before the first decode.
void RegisterQtImageCodecs();
