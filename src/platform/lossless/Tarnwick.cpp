// The lossless JPEG component on the libjpeg coefficient API.
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "framework/WKAtomicFile.h"
#include "framework/WKRegularFile.h"
#include "imaging/WKParallel.h"
#include "platform/codec/PropertyItems.h"
#include "platform/lossless/ExifBlock.h"
#include "platform/lossless/ITarnwick.h"
#include "platform/lossless/JpegQuality.h"
#include "platform/lossless/ResidentBlockArrays.h"
#include "platform/guard/DecodeGuard.h"
#include "platform/guard/JpegLayout.h"

namespace {

// The XMP APP1 segment's name, with its terminating zero, and a segment's largest payload.
constexpr char XmpSignature[] = "http://ns.adobe.com/xap/1.0/";
constexpr size_t MaxMarkerBytes = 65533;

struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  std::array<char, JMSG_LENGTH_MAX> Message;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, error->Message.data());
  std::longjmp(error->Jump, 1);
}

// Warnings are counted, never printed; a load that saw any is refused.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0) ++info->err->num_warnings;
}

void InitError(TJpegError& error) {
  jpeg_std_error(&error.Manager);
  error.Manager.error_exit = ErrorExit;
  error.Manager.emit_message = EmitMessage;
  error.Message[0] = 0;
}

JDIMENSION DivUp(int64_t a, int64_t b) { return JDIMENSION((a + b - 1) / b); }
JDIMENSION RoundUp(JDIMENSION a, JDIMENSION b) { return DivUp(a, b) * b; }

// Output coefficient k of a moved block is Sign[k] * input[Source[k]].
struct TBlockMove {
  std::array<uint8_t, DCTSIZE2> Source;
  std::array<int8_t, DCTSIZE2> Sign;
  bool Plain = true;

  explicit TBlockMove(const TTarnwickGeometry& g) {
    for (int v = 0; v < DCTSIZE; ++v)
      for (int u = 0; u < DCTSIZE; ++u) {
        const int k = v * DCTSIZE + u;
        Source[k] = uint8_t(g.Transpose ? u * DCTSIZE + v : k);
        const bool negate = (g.MirrorX && (u & 1)) != (g.FlipY && (v & 1));
        Sign[k] = negate ? -1 : 1;
      }
    Plain = !g.Transpose && !g.MirrorX && !g.FlipY;
  }
  void Apply(const JCOEF* in, JCOEF* out) const {
    if (Plain) {
      std::memcpy(out, in, sizeof(JBLOCK));
      return;
    }
    for (int k = 0; k < DCTSIZE2; ++k) out[k] = JCOEF(Sign[k] * in[Source[k]]);
  }
};

// Row pointers of a virtual block array kept wholly in memory.
void BlockRows(j_common_ptr info, jvirt_barray_ptr array, JDIMENSION rows, bool writable,
               std::vector<JBLOCKROW>& out) {
  out.resize(rows);
  for (JDIMENSION r = 0; r < rows; ++r)
    out[r] = (*info->mem->access_virt_barray)(info, array, r, 1, writable ? TRUE : FALSE)[0];
}

// A small encoder and decoder pair for re-encoding changed MCUs, sharing the save's error
// handler.
struct TStripCoder {
  jpeg_compress_struct Enc{};
  jpeg_decompress_struct Dec{};
  bool Made = false;
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;

  void Make(jpeg_error_mgr* err) {
    Enc = {};
    Dec = {};
    Enc.err = err;
    Dec.err = err;
    jpeg_create_compress(&Enc);
    jpeg_create_decompress(&Dec);
    Made = true;
  }
  void Free() {
    if (Made) {
      jpeg_destroy_compress(&Enc);
      jpeg_destroy_decompress(&Dec);
    }
    Made = false;
    std::free(Buffer);
    Buffer = nullptr;
    Size = 0;
  }
};

// The library calls this during every pass over the scans: they stay within the guard's count,
// whatever the file claimed.
void LimitScans(j_common_ptr info) {
  const auto* d = reinterpret_cast<j_decompress_ptr>(info);
  if (d->input_scan_number <= TDecodeGuard::MaxScans) return;
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  std::snprintf(error->Message.data(), error->Message.size(), "%s",
                TDecodeGuard::CheckScans(d->input_scan_number, 0, 0).c_str());
  std::longjmp(error->Jump, 1);
}

struct TBlockSource;

class TTarnwick final : public ITarnwick {
 public:
  TTarnwick() { InitError(SrcError_); }
  ~TTarnwick() override { Release(); }

  int32_t Load(const std::string& fileName, int32_t) override {
    Release();
    TWKFileFailure failure;
    const int fd = OpenRegularFile(fileName, failure);
    if (fd < 0) return Fail(failure.Text());
    // Other formats are refused before the whole file is read.
    uint8_t magic[3] = {};
    const bool jpeg = ::pread(fd, magic, 3, 0) == 3 && std::memcmp(magic, "\xFF\xD8\xFF", 3) == 0;
    ::close(fd);
    if (!jpeg) return Fail("not a JPEG file");
    if (!ReadRegularFile(fileName, Bytes_, failure)) return Fail(failure.Text());
    if (Bytes_.empty()) return Fail("the file is empty");
    return LoadHeld();
  }

  int32_t LoadMemory(const uint8_t* data, size_t size) override {
    Release();
    if (!data || size == 0) return Fail("no data");
    Bytes_.assign(data, data + size);
    return LoadHeld();
  }

  int32_t HasImage() const override { return Held_ ? 1 : 0; }
  int32_t Width() const override { return Held_ ? Geometry_.Width() : 0; }
  int32_t Height() const override { return Held_ ? Geometry_.Height() : 0; }
  int32_t BlockWidth() const override { return Held_ ? McuWidth_ : 0; }
  int32_t BlockHeight() const override { return Held_ ? McuHeight_ : 0; }

  int32_t ReadPixels(uint8_t* firstRow, ptrdiff_t rowStride, int32_t) override;
  int32_t ReadCoefficients() override;
  int32_t Save(const std::string& fileName, const int32_t* parameters) override;
  int32_t SaveMemory(std::vector<uint8_t>& out, const int32_t* parameters) override;
  int32_t LastSaveMode() const override { return LastSaveMode_; }

  void SetRegion(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
    if (Held_) Geometry_.CropTo(Rect(left, top, right, bottom));
  }
  void Mirror(int32_t) override { Geometry_.Mirror(); }
  void Flip(int32_t) override { Geometry_.Flip(); }
  void RotateLeft(int32_t) override { Geometry_.RotateLeft(); }
  void RotateRight(int32_t) override { Geometry_.RotateRight(); }

  void SetPixels(uint8_t* const* pixelAddress, ptrdiff_t rowStride, int32_t, int32_t) override {
    Pixels_ = pixelAddress ? *pixelAddress : nullptr;
    PixelStride_ = rowStride;
  }
  void SetOriginalPixels(const uint8_t* firstPixel, ptrdiff_t rowStride) override {
    Original_ = firstPixel;
    OriginalStride_ = rowStride;
  }
  void FinishSave() override {
    Pixels_ = nullptr;
    Original_ = nullptr;
  }

  uint32_t QualityFigures() const override { return Quality_; }
  TTarnwickGeometry Geometry() const override { return Geometry_; }
  bool SetGeometry(const TTarnwickGeometry& geometry) override {
    if (!Held_ || geometry.Crop.IsEmpty() ||
        IntersectRect(geometry.Crop, Rect(0, 0, Width_, Height_)) != geometry.Crop)
      return false;
    Geometry_ = geometry;
    return true;
  }

  void Release() override {
    if (SrcCreated_) jpeg_destroy_decompress(&Src_);
    SrcCreated_ = false;
    Held_ = false;
    Decoded_ = false;
    Coefficients_ = nullptr;
    SrcRows_.clear();
    std::vector<uint8_t>().swap(Bytes_);
    Geometry_ = {};
    CoefficientBytes_ = 0;
    Quality_ = 0;
    FinishSave();
  }
  size_t CoefficientBytes() const override { return CoefficientBytes_; }
  const std::string& LastError() const override { return Error_; }

 private:
  int32_t Fail(const std::string& message) {
    Error_ = message;
    return 0;
  }
  // Lets go of everything after a failed read, keeping the reason (the library's when it stopped).
  int32_t Refuse() {
    if (SrcError_.Message[0]) Error_ = SrcError_.Message.data();
    Release();
    return 0;
  }
  // The guard's verdict on the held bytes before the library reads them.
  bool Admitted();
  int32_t LoadHeld();
  bool ReadHeader();
  bool ReadBlocks();
  bool TablesDefined() const;
  bool Acceptable();
  void CountCoefficientBytes();
  bool ExactPossible() const;
  int32_t ChooseMode(int32_t requested);
  bool Encode(const int32_t* parameters, unsigned char*& buffer, unsigned long& size);
  size_t FlagChanged();
  void Configure(j_compress_ptr dst, int32_t width, int32_t height, bool final) const;
  void WriteMarkers(j_compress_ptr dst) const;
  bool EncodeExact(j_compress_ptr dst);
  bool EncodePixels(j_compress_ptr dst);
  void WriteExact(j_compress_ptr dst);
  void RequestOutputArrays(j_compress_ptr dst, std::array<jvirt_barray_ptr, 3>& arrays,
                           std::array<JDIMENSION, 3>& cols, std::array<JDIMENSION, 3>& rows) const;
  TBlockSource BlockSource(int c) const;
  void MoveBlocks(int c, const TBlockMove& move, JDIMENSION colCount, JDIMENSION rowCount);
  void FinishExact(j_compress_ptr dst, jvirt_barray_ptr* arrays);
  int32_t OutMcuWidth() const;
  int32_t OutMcuHeight() const;
  void FlagChangedMcus(int32_t my, uint8_t* flags) const;
  void ReencodeChanged();
  void ReencodeStrip(int32_t row, int32_t first, int32_t last);
  void EncodeStrip(int32_t x0, int32_t x1, int32_t y0, int32_t y1);
  void PasteChangedMcus(int c, int oh, int32_t row, size_t outRow, JBLOCKROW in, int32_t first,
                        int32_t last);

  const uint8_t* PixelRow(int32_t y) const { return Pixels_ + y * PixelStride_; }
  const uint8_t* OriginalRow(int32_t y) const { return Original_ + y * OriginalStride_; }

  TJpegError SrcError_;
  jpeg_progress_mgr ScanLimit_{LimitScans, 0, 0, 0, 0};
  TResidentBlockArrays SrcArrays_;
  jpeg_decompress_struct Src_{};
  bool SrcCreated_ = false;
  bool Held_ = false;
  bool Decoded_ = false;  // ReadPixels ran
  jvirt_barray_ptr* Coefficients_ = nullptr;  // none until ReadCoefficients
  // Block rows of each held component.
  std::vector<std::vector<JBLOCKROW>> SrcRows_;
  // The file, kept from Load until both the picture has been decoded once and the coefficients
  // have been read; the library's source points into it.
  std::vector<uint8_t> Bytes_;
  int32_t Width_ = 0, Height_ = 0, McuWidth_ = 0, McuHeight_ = 0;
  unsigned RestartInterval_ = 0;  // MCUs between restarts in the file's first scan
  TTarnwickGeometry Geometry_;
  size_t CoefficientBytes_ = 0;
  uint32_t Quality_ = 0;
  const uint8_t* Pixels_ = nullptr;
  ptrdiff_t PixelStride_ = 0;
  const uint8_t* Original_ = nullptr;
  ptrdiff_t OriginalStride_ = 0;
  std::string Error_;
  int32_t LastSaveMode_ = TarnwickSaveExact;
  // State of an exact save that must survive a libjpeg abort (hence members, not locals).
  TStripCoder Strip_;
  std::vector<uint8_t> Changed_;
  std::vector<std::vector<JBLOCKROW>> OutRows_;
  // Held blocks overwritten by an exact save of the unturned picture, put back afterwards.
  struct TPatchedBlock {
    JCOEF* Where;
    JBLOCK Was;
  };
  bool Patching_ = false;
  std::vector<TPatchedBlock> Patched_;

  void RestorePatched() {
    for (auto it = Patched_.rbegin(); it != Patched_.rend(); ++it) std::memcpy(it->Where, it->Was, sizeof(JBLOCK));
    Patched_.clear();
    Patching_ = false;
  }
};

bool TTarnwick::Admitted() {
  TJpegLayout layout;
  if (!ReadJpegLayout(Bytes_, layout)) return true;  // the library says what is wrong
  std::string reason = CheckJpegLayout(layout, Bytes_.size());
  // The coefficients of every block are held, and the file until the first decode.
  if (reason.empty())
    reason = TDecodeGuard::CheckMemory(layout.Width, layout.Height, layout.PictureBlocks * sizeof(JBLOCK));
  if (reason.empty()) return true;
  Error_ = reason;
  return false;
}

int32_t TTarnwick::LoadHeld() {
  SrcError_.Message[0] = 0;
  if (!Admitted()) return Refuse();
  Src_ = {};
  Src_.err = &SrcError_.Manager;
  SrcError_.Manager.num_warnings = 0;
  jpeg_create_decompress(&Src_);
  SrcArrays_.Install(reinterpret_cast<j_common_ptr>(&Src_));
  SrcCreated_ = true;
  if (!ReadHeader()) return Refuse();
  // A file that defines a table only after its first scan is read whole now, as it must be for
  // its tables to be known.
  if (!TablesDefined() && !ReadBlocks()) return Refuse();
  if (!Acceptable()) return Refuse();
  Width_ = int32_t(Src_.image_width);
  Height_ = int32_t(Src_.image_height);
  McuWidth_ = Src_.max_h_samp_factor * DCTSIZE;
  McuHeight_ = Src_.max_v_samp_factor * DCTSIZE;
  Geometry_ = TTarnwickGeometry::Identity(Width_, Height_);
  const int lumaTable = Src_.comp_info[0].quant_tbl_no;
  const int chromaTable = Src_.comp_info[1].quant_tbl_no;
  Quality_ = uint32_t(EstimateJpegQuality(Src_.quant_tbl_ptrs[lumaTable]->quantval, false)) |
             uint32_t(EstimateJpegQuality(Src_.quant_tbl_ptrs[chromaTable]->quantval, true)) << 16;
  Held_ = true;
  if (Coefficients_) CountCoefficientBytes();
  Error_.clear();
  return 1;
}

int32_t TTarnwick::ReadCoefficients() {
  if (!Held_) return Fail("no picture is held");
  if (Coefficients_) return 1;
  // Damage in the coded data shows only now: warnings or a stop, or tables it redefined badly.
  if (!ReadBlocks() || !Acceptable()) return Refuse();
  CountCoefficientBytes();
  if (Decoded_) std::vector<uint8_t>().swap(Bytes_);
  return 1;
}

void TTarnwick::CountCoefficientBytes() {
  CoefficientBytes_ = 0;
  for (int c = 0; c < Src_.num_components; ++c) {
    const jpeg_component_info& comp = Src_.comp_info[c];
    const JDIMENSION cols = RoundUp(comp.width_in_blocks, JDIMENSION(comp.h_samp_factor));
    CoefficientBytes_ += SrcRows_[size_t(c)].size() * cols * sizeof(JBLOCK);
  }
}

// Everything libjpeg may abort lives in these two functions; no object with a destructor is made
// in them. The header read leaves the source at the first scan, where ReadBlocks goes on.
bool TTarnwick::ReadHeader() {
  if (setjmp(SrcError_.Jump)) return false;
  jpeg_mem_src(&Src_, Bytes_.data(), static_cast<unsigned long>(Bytes_.size()));
  jpeg_save_markers(&Src_, JPEG_COM, 0xFFFF);
  for (int m = 0; m < 16; ++m) jpeg_save_markers(&Src_, JPEG_APP0 + m, 0xFFFF);
  jpeg_read_header(&Src_, TRUE);
  RestartInterval_ = Src_.restart_interval;
  const std::string size = TDecodeGuard::CheckSize(Src_.image_width, Src_.image_height);
  if (!size.empty()) {
    Error_ = size;
    return false;
  }
  return true;
}

bool TTarnwick::ReadBlocks() {
  if (setjmp(SrcError_.Jump)) return false;
  Src_.progress = &ScanLimit_;
  Coefficients_ = jpeg_read_coefficients(&Src_);
  if (!Coefficients_) return false;
  SrcRows_.resize(size_t(Src_.num_components));
  for (int c = 0; c < Src_.num_components; ++c) {
    const jpeg_component_info& comp = Src_.comp_info[c];
    const JDIMENSION rows = RoundUp(comp.height_in_blocks, JDIMENSION(comp.v_samp_factor));
    BlockRows(reinterpret_cast<j_common_ptr>(&Src_), Coefficients_[c], rows, false, SrcRows_[size_t(c)]);
  }
  return true;
}

bool TTarnwick::TablesDefined() const {
  for (int c = 0; c < Src_.num_components; ++c) {
    const int table = Src_.comp_info[c].quant_tbl_no;
    if (table < 0 || table >= NUM_QUANT_TBLS || !Src_.quant_tbl_ptrs[table]) return false;
  }
  return true;
}

bool TTarnwick::Acceptable() {
  if (Src_.err->num_warnings > 0) return Fail("the file is damaged"), false;
  if (Src_.num_components != 3 || Src_.jpeg_color_space != JCS_YCbCr)
    return Fail("not a three-component YCbCr JPEG"), false;
  if (Src_.data_precision != 8 || Src_.arith_code) return Fail("not a baseline or progressive JPEG"), false;
  for (int c = 0; c < 3; ++c) {
    const jpeg_component_info& comp = Src_.comp_info[c];
    if (Src_.max_h_samp_factor % comp.h_samp_factor != 0 ||
        Src_.max_v_samp_factor % comp.v_samp_factor != 0)
      return Fail("fractional chroma sampling"), false;
    const JQUANT_TBL* table = Src_.quant_tbl_ptrs[comp.quant_tbl_no];
    if (!table) return Fail("missing quantisation table"), false;
    // A zero divisor would stop any re-encode with the file's tables.
    if (std::find(table->quantval, table->quantval + DCTSIZE2, 0) != table->quantval + DCTSIZE2)
      return Fail("a quantisation table holds a zero"), false;
  }
  return true;
}

int32_t TTarnwick::ReadPixels(uint8_t* firstRow, ptrdiff_t rowStride, int32_t) {
  // The file's bytes are let go after the first decode once the coefficients are read (they never
  // point into them); a second decode fails here rather than read what may be gone.
  if (!Held_) return Fail("no picture is held");
  if (Decoded_) return Fail("the picture was decoded once already; its file is no longer held");
  if (!Geometry_.IsIdentityOver(Width_, Height_)) return Fail("the picture was turned or cropped since it was loaded");
  if (!firstRow) return Fail("no rows to decode into");
  TJpegError error;
  InitError(error);
  jpeg_decompress_struct d{};
  std::vector<JSAMPROW> rows(static_cast<size_t>(Height_));
  for (int32_t y = 0; y < Height_; ++y) rows[size_t(y)] = firstRow + y * rowStride;
  JSAMPROW* rowList = rows.data();
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&d);
    Error_ = error.Message.data();
    return 0;
  }
  d.err = &error.Manager;
  jpeg_create_decompress(&d);
  d.progress = &ScanLimit_;
  jpeg_mem_src(&d, Bytes_.data(), static_cast<unsigned long>(Bytes_.size()));
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_EXT_BGR;
  d.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&d);
  while (d.output_scanline < d.output_height)
    jpeg_read_scanlines(&d, rowList + d.output_scanline, d.output_height - d.output_scanline);
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  // Damaged coded data decodes with warnings into made-up blocks: refused, as ReadCoefficients would.
  if (error.Manager.num_warnings > 0) return Fail("the file is damaged");
  Decoded_ = true;
  if (Coefficients_) std::vector<uint8_t>().swap(Bytes_);
  return 1;
}

bool TTarnwick::ExactPossible() const { return Geometry_.ExactFor(McuWidth_, McuHeight_); }

// The compression parameters of the held file (tables, sampling, density), turned with the
// geometry, for a picture of the given size.
void TTarnwick::Configure(j_compress_ptr dst, int32_t width, int32_t height, bool final) const {
  jpeg_copy_critical_parameters(const_cast<j_decompress_ptr>(&Src_), dst);
  dst->image_width = JDIMENSION(width);
  dst->image_height = JDIMENSION(height);
  if (Geometry_.Transpose) {
    for (int c = 0; c < dst->num_components; ++c)
      std::swap(dst->comp_info[c].h_samp_factor, dst->comp_info[c].v_samp_factor);
    std::swap(dst->X_density, dst->Y_density);
    // Transposed coefficients keep their quantised values, so the tables turn with them.
    for (JQUANT_TBL* table : dst->quant_tbl_ptrs) {
      if (!table) continue;
      for (int v = 0; v < DCTSIZE; ++v)
        for (int u = v + 1; u < DCTSIZE; ++u)
          std::swap(table->quantval[v * DCTSIZE + u], table->quantval[u * DCTSIZE + v]);
    }
  }
  dst->dct_method = JDCT_ISLOW;
  if (!final) return;
  if (Src_.progressive_mode) jpeg_simple_progression(dst);
  // Restarts as the file's first scan had them: every n MCU rows stays every n rows of the
  // saved picture (and of each later scan), any other interval stays that many MCUs.
  const unsigned rowMcus = DivUp(Width_, McuWidth_);
  if (RestartInterval_ % rowMcus == 0)
    dst->restart_in_rows = int(RestartInterval_ / rowMcus);
  else
    dst->restart_interval = RestartInterval_;
}

void TTarnwick::WriteMarkers(j_compress_ptr dst) const {
  for (jpeg_saved_marker_ptr m = Src_.marker_list; m; m = m->next) {
    const auto starts = [m](const char* tag, size_t n) {
      return m->data_length >= n && std::memcmp(m->data, tag, n) == 0;
    };
    if (m->marker == JPEG_APP0 && dst->write_JFIF_header && starts("JFIF", 5)) continue;
    if (m->marker == JPEG_APP0 + 14 && dst->write_Adobe_marker && starts("Adobe", 5)) continue;
    if (m->marker == JPEG_APP0 + 1 && starts("Exif\0", 6)) {
      std::vector<uint8_t> exif = ExifWithoutThumbnail({m->data, m->data_length});
      SetExifPixelSize(exif, dst->image_width, dst->image_height);
      // The document shows every picture upright, so the saved one is stored upright.
      SetExifOrientation(exif, 1);
      jpeg_write_marker(dst, m->marker, exif.data(), unsigned(exif.size()));
      continue;
    }
    if (m->marker == JPEG_APP0 + 1 && starts(XmpSignature, sizeof XmpSignature)) {
      std::string packet(reinterpret_cast<const char*>(m->data) + sizeof XmpSignature,
                         m->data_length - sizeof XmpSignature);
      if (SetXmpOrientationUpright(packet) && packet.size() <= MaxMarkerBytes - sizeof XmpSignature) {
        std::vector<uint8_t> xmp(XmpSignature, XmpSignature + sizeof XmpSignature);
        xmp.insert(xmp.end(), packet.begin(), packet.end());
        jpeg_write_marker(dst, m->marker, xmp.data(), unsigned(xmp.size()));
        continue;
      }
    }
    jpeg_write_marker(dst, m->marker, m->data, m->data_length);
  }
}

int32_t TTarnwick::Save(const std::string& fileName, const int32_t* parameters) {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (!Encode(parameters, buffer, size)) return 0;
  std::string why;
  const bool written = WriteFileAtomically(fileName, buffer, size, why, {.CreateFolders = false});
  std::free(buffer);
  if (!written) return Fail(why);
  Error_.clear();
  return 1;
}

int32_t TTarnwick::SaveMemory(std::vector<uint8_t>& out, const int32_t* parameters) {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (!Encode(parameters, buffer, size)) return 0;
  out.assign(buffer, buffer + size);
  std::free(buffer);
  Error_.clear();
  return 1;
}

// The exact or the whole re-encode for the requested mode; for an exact save the changed MCUs
// are flagged here. 0 when the mode cannot be had.
int32_t TTarnwick::ChooseMode(int32_t requested) {
  if (requested == TarnwickSaveReencode) return TarnwickSaveReencode;
  if (!ExactPossible()) {
    if (requested == TarnwickSaveByChange) return TarnwickSaveReencode;
    Fail("the crop or turn cannot be kept exactly");
    return -1;
  }
  const size_t changed = FlagChanged();
  if (requested == TarnwickSaveByChange && changed * 100 > Changed_.size() * size_t(TarnwickReencodePercent))
    return TarnwickSaveReencode;
  return TarnwickSaveExact;
}

bool TTarnwick::Encode(const int32_t* parameters, unsigned char*& buffer, unsigned long& size) {
  if (!Held_) return Fail("no picture is held"), false;
  if (!Pixels_) return Fail("no pixels to save"), false;
  if (!parameters) return Fail("no save parameters"), false;
  const int32_t requested = parameters[TarnwickSaveMode];
  if (requested != TarnwickSaveExact && requested != TarnwickSaveReencode && requested != TarnwickSaveByChange)
    return Fail("unknown save mode"), false;
  // Every mode writes the file's markers and tables as a whole read leaves them.
  if (!ReadCoefficients()) return false;
  const int32_t mode = ChooseMode(requested);
  if (mode < 0) return false;

  TJpegError error;
  InitError(error);
  TResidentBlockArrays dstArrays;  // reads the held arrays, so it must know their form
  jpeg_compress_struct dst{};
  dst.err = &error.Manager;
  jpeg_create_compress(&dst);
  dstArrays.Install(reinterpret_cast<j_common_ptr>(&dst));
  jpeg_mem_dest(&dst, &buffer, &size);
  const bool encoded = mode == TarnwickSaveExact ? EncodeExact(&dst) : EncodePixels(&dst);
  jpeg_destroy_compress(&dst);
  if (!encoded) {
    std::free(buffer);
    buffer = nullptr;
    Error_ = error.Message[0] ? error.Message.data() : "cannot encode the picture";
    return false;
  }
  LastSaveMode_ = mode;
  return true;
}

bool TTarnwick::EncodePixels(j_compress_ptr dst) {
  const int32_t w = Geometry_.Width(), h = Geometry_.Height();
  std::vector<JSAMPROW> rows(static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) rows[size_t(y)] = const_cast<JSAMPROW>(PixelRow(y));
  JSAMPROW* rowList = rows.data();
  if (setjmp(reinterpret_cast<TJpegError*>(dst->err)->Jump)) return false;
  Configure(dst, w, h, true);
  dst->in_color_space = JCS_EXT_BGR;
  dst->input_components = 3;
  jpeg_start_compress(dst, TRUE);
  WriteMarkers(dst);
  while (dst->next_scanline < dst->image_height)
    jpeg_write_scanlines(dst, rowList + dst->next_scanline, dst->image_height - dst->next_scanline);
  jpeg_finish_compress(dst);
  return true;
}

bool TTarnwick::EncodeExact(j_compress_ptr dst) {
  OutRows_.assign(3, {});
  Patched_.clear();
  if (setjmp(reinterpret_cast<TJpegError*>(dst->err)->Jump)) {
    Strip_.Free();
    RestorePatched();
    return false;
  }
  WriteExact(dst);
  return true;
}

void TTarnwick::WriteExact(j_compress_ptr dst) {
  Configure(dst, Geometry_.Width(), Geometry_.Height(), true);
  if (Geometry_.IsIdentityOver(Width_, Height_)) {
    // The held arrays are written as they are, changed MCUs patched in and put back afterwards.
    OutRows_ = SrcRows_;
    Patching_ = true;
    FinishExact(dst, Coefficients_);
    RestorePatched();
    return;
  }
  std::array<jvirt_barray_ptr, 3> arrays{};
  std::array<JDIMENSION, 3> cols{}, rows{};
  RequestOutputArrays(dst, arrays, cols, rows);
  const TBlockMove move(Geometry_);
  for (int c = 0; c < 3; ++c) {
    BlockRows(reinterpret_cast<j_common_ptr>(dst), arrays[c], rows[c], true, OutRows_[size_t(c)]);
    MoveBlocks(c, move, cols[c], rows[c]);
  }
  FinishExact(dst, arrays.data());
}

// Output block arrays of the turned and cropped picture, whole MCUs in each direction.
void TTarnwick::RequestOutputArrays(j_compress_ptr dst, std::array<jvirt_barray_ptr, 3>& arrays,
                                    std::array<JDIMENSION, 3>& cols,
                                    std::array<JDIMENSION, 3>& rows) const {
  const j_common_ptr common = reinterpret_cast<j_common_ptr>(dst);
  const int32_t w = Geometry_.Width(), h = Geometry_.Height();
  int maxH = 1, maxV = 1;
  for (int c = 0; c < 3; ++c) {
    maxH = std::max(maxH, dst->comp_info[c].h_samp_factor);
    maxV = std::max(maxV, dst->comp_info[c].v_samp_factor);
  }
  for (int c = 0; c < 3; ++c) {
    const jpeg_component_info& comp = dst->comp_info[c];
    cols[c] = RoundUp(DivUp(int64_t(w) * comp.h_samp_factor, maxH * DCTSIZE), JDIMENSION(comp.h_samp_factor));
    rows[c] = RoundUp(DivUp(int64_t(h) * comp.v_samp_factor, maxV * DCTSIZE), JDIMENSION(comp.v_samp_factor));
    arrays[c] = (*dst->mem->request_virt_barray)(common, JPOOL_IMAGE, FALSE, cols[c], rows[c],
                                                 JDIMENSION(comp.v_samp_factor));
  }
  (*dst->mem->realize_virt_arrays)(common);
}

// Where the output blocks of one component come from: along each held axis the held block of
// output block (ox, oy) is either first + i or last - i.
struct TBlockSource {
  const std::vector<JBLOCKROW>* Rows;
  int64_t Cols, StartX, StartY;
  bool RevX, RevY, Transpose;

  // The held block, or none where the output block lies past the held picture (padding).
  const JCOEF* Find(JDIMENSION ox, JDIMENSION oy) const {
    const int64_t i = Transpose ? oy : ox, j = Transpose ? ox : oy;
    const int64_t sx = RevX ? StartX - i : StartX + i, sy = RevY ? StartY - j : StartY + j;
    if (sx < 0 || sy < 0 || sx >= Cols || sy >= int64_t(Rows->size())) return nullptr;
    return (*Rows)[size_t(sy)][sx];
  }
};

TBlockSource TTarnwick::BlockSource(int c) const {
  const jpeg_component_info& held = Src_.comp_info[c];
  const int32_t blockW = McuWidth_ / held.h_samp_factor, blockH = McuHeight_ / held.v_samp_factor;
  const TRect& crop = Geometry_.Crop;
  const bool revX = Geometry_.SourceXReversed(), revY = Geometry_.SourceYReversed();
  return {&SrcRows_[size_t(c)],
          RoundUp(held.width_in_blocks, JDIMENSION(held.h_samp_factor)),
          revX ? crop.Right / blockW - 1 : crop.Left / blockW,
          revY ? crop.Bottom / blockH - 1 : crop.Top / blockH,
          revX, revY, Geometry_.Transpose};
}

// Every output block of component c from its held block, moved by the geometry; padding blocks
// are zero. In tiles, so that a transpose reads and writes within the cache; tile rows on every
// core.
void TTarnwick::MoveBlocks(int c, const TBlockMove& move, JDIMENSION colCount,
                           JDIMENSION rowCount) {
  constexpr JDIMENSION Tile = 16;
  const TBlockSource source = BlockSource(c);
  const std::vector<JBLOCKROW>& outs = OutRows_[size_t(c)];
  const auto moveTile = [&](JDIMENSION tx, JDIMENSION ty) {
    for (JDIMENSION oy = ty; oy < std::min(rowCount, ty + Tile); ++oy)
      for (JDIMENSION ox = tx; ox < std::min(colCount, tx + Tile); ++ox) {
        const JCOEF* in = source.Find(ox, oy);
        if (in)
          move.Apply(in, outs[oy][ox]);
        else
          std::memset(outs[oy][ox], 0, sizeof(JBLOCK));
      }
  };
  ParallelRows(int32_t(DivUp(rowCount, Tile)), int64_t(rowCount) * colCount * int64_t(sizeof(JBLOCK)),
               [&](int32_t, int32_t begin, int32_t end) {
                 for (JDIMENSION ty = JDIMENSION(begin) * Tile; ty < std::min(rowCount, JDIMENSION(end) * Tile); ty += Tile)
                   for (JDIMENSION tx = 0; tx < colCount; tx += Tile) moveTile(tx, ty);
               });
}

// Changed MCUs re-encoded into the output rows, then the coefficients and markers written.
void TTarnwick::FinishExact(j_compress_ptr dst, jvirt_barray_ptr* arrays) {
  Strip_.Make(dst->err);
  ReencodeChanged();
  Strip_.Free();
  jpeg_write_coefficients(dst, arrays);
  WriteMarkers(dst);
  jpeg_finish_compress(dst);
}

// Output MCU size in pixels: the held one, turned with the geometry.
int32_t TTarnwick::OutMcuWidth() const { return Geometry_.Transpose ? McuHeight_ : McuWidth_; }
int32_t TTarnwick::OutMcuHeight() const { return Geometry_.Transpose ? McuWidth_ : McuHeight_; }

// Flags the MCUs of output MCU row my whose pixels differ from the original picture (all of
// them when there is no original to compare with).
void TTarnwick::FlagChangedMcus(int32_t my, uint8_t* flags) const {
  const int32_t w = Geometry_.Width(), h = Geometry_.Height();
  const int32_t mw = OutMcuWidth(), mh = OutMcuHeight();
  const int32_t across = int32_t(DivUp(w, mw));
  std::fill_n(flags, across, Original_ ? 0 : 1);
  if (!Original_) return;
  for (int32_t y = my * mh; y < std::min(h, (my + 1) * mh); ++y) {
    const uint8_t* now = PixelRow(y);
    const uint8_t* was = OriginalRow(y);
    if (std::memcmp(now, was, size_t(w) * 3) == 0) continue;
    for (int32_t mx = 0; mx < across; ++mx) {
      if (flags[mx]) continue;
      const size_t x0 = size_t(mx) * mw * 3, n = size_t(std::min(w, (mx + 1) * mw)) * 3 - x0;
      flags[mx] = std::memcmp(now + x0, was + x0, n) != 0;
    }
  }
}

// Flags the output MCUs whose pixels differ from the original picture, on every core; the
// number flagged.
size_t TTarnwick::FlagChanged() {
  const int32_t w = Geometry_.Width(), h = Geometry_.Height();
  const int32_t across = int32_t(DivUp(w, OutMcuWidth())), down = int32_t(DivUp(h, OutMcuHeight()));
  Changed_.assign(size_t(across) * size_t(down), 0);
  ParallelRows(down, int64_t(w) * h * 3, [&](int32_t, int32_t begin, int32_t end) {
    for (int32_t my = begin; my < end; ++my) FlagChangedMcus(my, Changed_.data() + size_t(my) * size_t(across));
  });
  return size_t(std::count(Changed_.begin(), Changed_.end(), uint8_t(1)));
}

// Encodes each MCU row's span of flagged MCUs anew (libjpeg, on this thread).
void TTarnwick::ReencodeChanged() {
  const int32_t across = int32_t(DivUp(Geometry_.Width(), OutMcuWidth()));
  const int32_t down = int32_t(DivUp(Geometry_.Height(), OutMcuHeight()));
  for (int32_t my = 0; my < down; ++my) {
    const uint8_t* flags = Changed_.data() + size_t(my) * size_t(across);
    const uint8_t* first = std::find(flags, flags + across, 1);
    if (first == flags + across) continue;
    const int32_t last = int32_t(std::find(std::reverse_iterator(flags + across),
                                           std::reverse_iterator(flags), 1).base() - flags) - 1;
    ReencodeStrip(my, int32_t(first - flags), last);
  }
}

// Encodes MCUs first..last of MCU row `row` from the pixels as a small JPEG with the output's
// tables and sampling, reads its coefficients back and puts those of the changed MCUs into the
// output. libjpeg errors unwind to EncodeExact, which frees the strip coder.
void TTarnwick::ReencodeStrip(int32_t row, int32_t first, int32_t last) {
  const int32_t mw = OutMcuWidth(), mh = OutMcuHeight();
  const int32_t x0 = first * mw, x1 = std::min(Geometry_.Width(), (last + 1) * mw);
  const int32_t y0 = row * mh, y1 = std::min(Geometry_.Height(), y0 + mh);
  EncodeStrip(x0, x1, y0, y1);
  j_decompress_ptr dec = &Strip_.Dec;
  jpeg_mem_src(dec, Strip_.Buffer, Strip_.Size);
  jpeg_read_header(dec, TRUE);
  jvirt_barray_ptr* blocks = jpeg_read_coefficients(dec);
  for (int c = 0; c < 3; ++c) {
    const int ov = dec->comp_info[c].v_samp_factor;
    for (int by = 0; by < ov; ++by) {
      JBLOCKROW in = (*dec->mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(dec), blocks[c],
                                                    JDIMENSION(by), 1, FALSE)[0];
      PasteChangedMcus(c, dec->comp_info[c].h_samp_factor, row, size_t(row) * ov + by, in, first, last);
    }
  }
  jpeg_abort_decompress(dec);
}

// Pixels [x0, x1) × [y0, y1) as a JPEG in the strip coder's buffer.
void TTarnwick::EncodeStrip(int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  j_compress_ptr enc = &Strip_.Enc;
  std::free(Strip_.Buffer);
  Strip_.Buffer = nullptr;
  Strip_.Size = 0;
  jpeg_mem_dest(enc, &Strip_.Buffer, &Strip_.Size);
  Configure(enc, x1 - x0, y1 - y0, false);
  enc->in_color_space = JCS_EXT_BGR;
  enc->input_components = 3;
  jpeg_start_compress(enc, TRUE);
  std::array<JSAMPROW, 4 * DCTSIZE> lines{};
  for (int32_t y = y0; y < y1; ++y) lines[size_t(y - y0)] = const_cast<JSAMPROW>(PixelRow(y) + x0 * 3);
  while (enc->next_scanline < enc->image_height)
    jpeg_write_scanlines(enc, lines.data() + enc->next_scanline, enc->image_height - enc->next_scanline);
  jpeg_finish_compress(enc);
}

// One block row of component c from the strip (in, starting at MCU `first`) into output block
// row outRow, for the changed MCUs of MCU row `row` only; the blocks overwritten in the held
// arrays are saved first when they must be put back.
void TTarnwick::PasteChangedMcus(int c, int oh, int32_t row, size_t outRow, JBLOCKROW in,
                                 int32_t first, int32_t last) {
  const size_t across = DivUp(Geometry_.Width(), OutMcuWidth());
  JBLOCKROW out = OutRows_[size_t(c)][outRow];
  for (int32_t mx = first; mx <= last; ++mx) {
    if (!Changed_[size_t(row) * across + size_t(mx)]) continue;
    if (Patching_)
      for (int k = 0; k < oh; ++k) {
        TPatchedBlock& saved = Patched_.emplace_back();
        saved.Where = out[mx * oh + k];
        std::memcpy(saved.Was, saved.Where, sizeof(JBLOCK));
      }
    std::memcpy(out[mx * oh], in[(mx - first) * oh], size_t(oh) * sizeof(JBLOCK));
  }
}

}  // namespace

std::unique_ptr<ITarnwick> CreateTarnwickObject() { return std::make_unique<TTarnwick>(); }
