#include "platform/codec/JpegScanlines.h"

#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/codec/ImageDecoder.h"
#include "platform/codec/PixelConvert.h"

namespace {

struct TDecodeError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  std::array<char, JMSG_LENGTH_MAX> Message;
  bool Truncated;
};

[[noreturn]] void DecodeErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TDecodeError*>(info->err);
  (*info->err->format_message)(info, error->Message.data());
  std::longjmp(error->Jump, 1);
}

// Warnings are not printed; missing data makes the decode fail, other damage it tolerates.
void DecodeEmitMessage(j_common_ptr info, int level) {
  if (level >= 0) return;
  auto* error = reinterpret_cast<TDecodeError*>(info->err);
  ++info->err->num_warnings;
  if (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER) {
    error->Truncated = true;
    (*info->err->format_message)(info, error->Message.data());
  }
}

// What libjpeg may abort lives outside the function that calls setjmp.
struct TScanlineDecode {
  TDecodeError Error{};
  jpeg_decompress_struct Info{};
  jpeg_progress_mgr Progress{};
  TDecodeProgress* Watcher = nullptr;
  bool Cancelled = false;
  bool Created = false;
  std::vector<uint8_t> Strip;
  std::vector<JSAMPROW> StripRows;
  std::vector<JSAMPROW> Rows;
  std::string Refusal;

  // Called by the library during every pass: the scans stay within the guard's count (the file
  // was checked before, this holds whatever the library reads), and the watcher sees the share done.
  static void Monitor(j_common_ptr info) {
    auto* s = static_cast<TScanlineDecode*>(info->client_data);
    const auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > TDecodeGuard::MaxScans) {
      std::snprintf(s->Error.Message.data(), s->Error.Message.size(), "%s",
                    TDecodeGuard::CheckScans(d->input_scan_number, 0, 0).c_str());
      std::longjmp(s->Error.Jump, 1);
    }
    if (!s->Watcher) return;
    const jpeg_progress_mgr& p = s->Progress;
    const double pass = p.pass_limit > 0 ? double(p.pass_counter) / double(p.pass_limit) : 0.0;
    const double done = p.total_passes > 0 ? (p.completed_passes + pass) / p.total_passes : 0.0;
    if (s->Watcher->Report(done < 1.0 ? done : 1.0)) return;
    s->Cancelled = true;
    std::longjmp(s->Error.Jump, 1);
  }

  TScanlineDecode() {
    jpeg_std_error(&Error.Manager);
    Error.Manager.error_exit = DecodeErrorExit;
    Error.Manager.emit_message = DecodeEmitMessage;
    Error.Message[0] = 0;
    Error.Truncated = false;
    Progress.progress_monitor = Monitor;
  }
  ~TScanlineDecode() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
};

constexpr JDIMENSION StripHeight = 16;

// Ink samples arrive in a strip and are turned into 24-bit rows.
void ReadInkRows(TScanlineDecode& s, const TPixelRows& dest, TDecodeProgress* progress) {
  j_decompress_ptr d = &s.Info;
  const bool inverted = d->saw_Adobe_marker;
  const size_t inkRow = size_t(d->output_width) * 4;
  s.Strip.resize(inkRow * StripHeight);
  s.StripRows.resize(StripHeight);
  for (JDIMENSION i = 0; i < StripHeight; ++i) s.StripRows[i] = s.Strip.data() + i * inkRow;
  while (d->output_scanline < d->output_height) {
    const JDIMENSION first = d->output_scanline;
    const JDIMENSION got = jpeg_read_scanlines(d, s.StripRows.data(), StripHeight);
    for (JDIMENSION i = 0; i < got; ++i)
      CMYKToBGR(s.StripRows[i], dest.Row(int32_t(first + i)), dest.Width, inverted);
    if (progress) progress->Publish(int32_t(d->output_scanline));
  }
}

// The library writes blue, green, red straight into the destination rows, up to row `last`.
void ReadColourRows(TScanlineDecode& s, const TPixelRows& dest, JDIMENSION last, TDecodeProgress* progress) {
  j_decompress_ptr d = &s.Info;
  s.Rows.resize(d->output_height);
  for (JDIMENSION y = 0; y < d->output_height; ++y) s.Rows[y] = dest.Row(int32_t(y));
  while (d->output_scanline < last) {
    jpeg_read_scanlines(d, s.Rows.data() + d->output_scanline, last - d->output_scanline);
    if (progress) progress->Publish(int32_t(d->output_scanline));
  }
}

// Rows [first, last) of a colour picture: the library decodes the coded data above `first`
// without making pixels of it. A part that ends above the bottom stops there.
bool ReadColourPart(TScanlineDecode& s, const TPixelRows& dest, TJpegRows part, TDecodeProgress* progress) {
  j_decompress_ptr d = &s.Info;
  const auto first = JDIMENSION(part.First);
  const JDIMENSION last = part.Last < 0 ? d->output_height : std::min(JDIMENSION(part.Last), d->output_height);
  if (first > 0 && jpeg_skip_scanlines(d, first) != first) return false;
  ReadColourRows(s, dest, last, progress);
  if (last < d->output_height) {
    jpeg_abort_decompress(d);
    return true;
  }
  jpeg_finish_decompress(d);
  return true;
}

bool RunDecode(TScanlineDecode& s, std::span<const uint8_t> jpeg, int32_t num, int32_t denom,
               const TPixelRows& dest, TJpegRows part, TDecodeProgress* progress) {
  if (setjmp(s.Error.Jump)) return false;
  j_decompress_ptr d = &s.Info;
  d->err = &s.Error.Manager;
  jpeg_create_decompress(d);
  s.Created = true;
  d->progress = &s.Progress;
  d->client_data = &s;
  jpeg_mem_src(d, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(d, TRUE);
  const bool ink = d->jpeg_color_space == JCS_CMYK || d->jpeg_color_space == JCS_YCCK;
  d->out_color_space = ink ? JCS_CMYK : JCS_EXT_BGR;
  d->scale_num = unsigned(num);
  d->scale_denom = unsigned(denom);
  d->dct_method = JDCT_ISLOW;
  jpeg_calc_output_dimensions(d);
  if (int64_t(d->output_width) != dest.Width || int64_t(d->output_height) != dest.Height) {
    s.Refusal = "the decoded size differs from the destination";
    return false;
  }
  if (ink && (part.First != 0 || part.Last >= 0)) {
    s.Refusal = "an ink picture decodes whole";
    return false;
  }
  jpeg_start_decompress(d);
  if (!ink) return ReadColourPart(s, dest, part, progress);
  ReadInkRows(s, dest, progress);
  jpeg_finish_decompress(d);
  return true;
}

}  // namespace

bool DecodeJpegScanlines(std::span<const uint8_t> jpeg, int32_t scaleNum, int32_t scaleDenom,
                         const TPixelRows& dest, TCodecError& err, TDecodeProgress* progress, TJpegRows part) {
  if (!dest.Bits || dest.Width <= 0 || dest.Height <= 0 || dest.RowBytes < ptrdiff_t{dest.Width} * 3)
    return err.Fail(TCodecStatus::InvalidArgument, "The destination rows do not match the image size.");
  TScanlineDecode state;
  state.Watcher = progress;
  bool decoded = false;
  try {
    decoded = RunDecode(state, jpeg, scaleNum, scaleDenom, dest, part, progress);
  } catch (const std::bad_alloc&) {
    return err.Fail(TCodecStatus::TooLarge, "Not enough memory to decode the JPEG file.");
  }
  if (state.Cancelled) return err.Fail(TCodecStatus::Cancelled, TDecodeGuard::Cancelled());
  if (!state.Refusal.empty()) return err.Fail(TCodecStatus::InvalidArgument, "Cannot decode the JPEG file: " + state.Refusal + ".");
  if (!decoded || state.Error.Truncated)
    return err.Fail(TCodecStatus::Corrupt, std::string("The JPEG file is damaged: ") + state.Error.Message.data());
  return true;
}
