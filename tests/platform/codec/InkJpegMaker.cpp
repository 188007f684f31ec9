#include "InkJpegMaker.h"

#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <stdexcept>

namespace codec_test {

namespace {

struct TCompress {
  jpeg_error_mgr Error{};
  std::jmp_buf Jump;
  jpeg_compress_struct Info{};
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  std::vector<JSAMPLE> Row;
  TCompress() {
    Info.err = jpeg_std_error(&Error);
    Error.error_exit = [](j_common_ptr info) { std::longjmp(reinterpret_cast<TCompress*>(info->client_data)->Jump, 1); };
    Info.client_data = this;
    jpeg_create_compress(&Info);
  }
  ~TCompress() {
    jpeg_destroy_compress(&Info);
    std::free(Buffer);
  }
};

// Everything libjpeg may abort runs here, on state owned by the caller.
bool Compress(TCompress& c, int32_t width, int32_t height, const TInkFn& ink, const TInkJpegOptions& options) {
  if (setjmp(c.Jump)) return false;
  jpeg_mem_dest(&c.Info, &c.Buffer, &c.Size);
  c.Info.image_width = JDIMENSION(width);
  c.Info.image_height = JDIMENSION(height);
  c.Info.input_components = 4;
  c.Info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c.Info);
  jpeg_set_colorspace(&c.Info, options.Ycck ? JCS_YCCK : JCS_CMYK);
  c.Info.write_Adobe_marker = options.AdobeMarker ? TRUE : FALSE;
  jpeg_set_quality(&c.Info, options.Quality, TRUE);
  if (options.Progressive) jpeg_simple_progression(&c.Info);
  jpeg_start_compress(&c.Info, TRUE);
  c.Row.resize(size_t(width) * 4);
  const uint8_t flip = options.AdobeMarker ? 255 : 0;
  while (c.Info.next_scanline < c.Info.image_height) {
    const int32_t y = int32_t(c.Info.next_scanline);
    for (int32_t x = 0; x < width; ++x) {
      const TInk v = ink(x, y);
      for (int k = 0; k < 4; ++k) c.Row[size_t(x) * 4 + size_t(k)] = JSAMPLE(v[size_t(k)] ^ flip);
    }
    JSAMPROW line = c.Row.data();
    jpeg_write_scanlines(&c.Info, &line, 1);
  }
  jpeg_finish_compress(&c.Info);
  return true;
}

}  // namespace

std::vector<uint8_t> MakeInkJpeg(int32_t width, int32_t height, const TInkFn& ink,
                                 const TInkJpegOptions& options) {
  TCompress c;
  if (!Compress(c, width, height, ink, options)) throw std::runtime_error("libjpeg failed to encode");
  return std::vector<uint8_t>(c.Buffer, c.Buffer + c.Size);
}

}  // namespace codec_test
