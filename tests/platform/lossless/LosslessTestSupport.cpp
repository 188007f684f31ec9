#include "platform/lossless/LosslessTestSupport.h"

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace lossless_test {

namespace {

struct TError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
};

[[noreturn]] void Exit(j_common_ptr info) { std::longjmp(reinterpret_cast<TError*>(info->err)->Jump, 1); }
void Quiet(j_common_ptr, int) {}

void Init(TError& e) {
  jpeg_std_error(&e.Manager);
  e.Manager.error_exit = Exit;
  e.Manager.emit_message = Quiet;
}

}  // namespace

TPicture::TPicture(int32_t w, int32_t h)
    : Width(w), Height(h), RowBytes((3 * w + 3) / 4 * 4), Bits(size_t(RowBytes) * h, 0) {}

TPicture TPicture::Synthetic(int32_t w, int32_t h, uint32_t seed) {
  TPicture p(w, h);
  uint32_t noise = seed * 2654435761u + 12345;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int n = int(noise >> 29) - 4;
      const double fx = double(x) / w, fy = double(y) / h;
      uint8_t* px = p.At(x, y);
      px[0] = uint8_t(std::clamp(int(90 + 120 * fx * fy) + n, 0, 255));
      px[1] = uint8_t(std::clamp(int(128 + 100 * std::sin(6.0 * fx + 3.0 * fy + seed)) + n, 0, 255));
      px[2] = uint8_t(std::clamp(int(200 - 150 * fy) + n, 0, 255));
    }
  return p;
}

int TPicture::MaxDifference(const TPicture& o, int32_t l, int32_t t, int32_t r, int32_t b) const {
  if (r < 0) r = Width;
  if (b < 0) b = Height;
  int worst = 0;
  for (int32_t y = t; y < b; ++y)
    for (int32_t i = 3 * l; i < 3 * r; ++i) worst = std::max(worst, std::abs(Row(y)[i] - o.Row(y)[i]));
  return worst;
}

double TPicture::MeanDifference(const TPicture& o) const {
  double sum = 0;
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t i = 0; i < 3 * Width; ++i) sum += std::abs(Row(y)[i] - o.Row(y)[i]);
  return sum / (3.0 * Width * Height);
}

bool TPicture::SameBytes(const TPicture& o) const {
  if (Width != o.Width || Height != o.Height) return false;
  for (int32_t y = 0; y < Height; ++y)
    if (std::memcmp(Row(y), o.Row(y), size_t(3 * Width)) != 0) return false;
  return true;
}

TPicture TPicture::RotatedRight() const {
  TPicture out(Height, Width);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) std::memcpy(out.At(Height - 1 - y, x), At(x, y), 3);
  return out;
}
TPicture TPicture::RotatedLeft() const {
  TPicture out(Height, Width);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) std::memcpy(out.At(y, Width - 1 - x), At(x, y), 3);
  return out;
}
TPicture TPicture::Mirrored() const {
  TPicture out(Width, Height);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) std::memcpy(out.At(Width - 1 - x, y), At(x, y), 3);
  return out;
}
TPicture TPicture::Flipped() const {
  TPicture out(Width, Height);
  for (int32_t y = 0; y < Height; ++y) std::memcpy(out.Row(Height - 1 - y), Row(y), size_t(3 * Width));
  return out;
}
TPicture TPicture::Cropped(int32_t l, int32_t t, int32_t r, int32_t b) const {
  TPicture out(r - l, b - t);
  for (int32_t y = t; y < b; ++y) std::memcpy(out.Row(y - t), At(l, y), size_t(3 * (r - l)));
  return out;
}

std::vector<uint8_t> EncodeJpeg(const TPicture& picture, const TJpegOptions& options) {
  TError error;
  Init(error);
  jpeg_compress_struct c{};
  c.err = &error.Manager;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::vector<uint8_t> converted(size_t(picture.Width) * 4);
  if (setjmp(error.Jump)) {
    jpeg_destroy_compress(&c);
    std::free(buffer);
    throw std::runtime_error("libjpeg failed to encode");
  }
  jpeg_create_compress(&c);
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = JDIMENSION(picture.Width);
  c.image_height = JDIMENSION(picture.Height);
  c.input_components = options.Kind == TJpegOptions::Grey ? 1 : options.Kind == TJpegOptions::Cmyk ? 4 : 3;
  c.in_color_space = options.Kind == TJpegOptions::Grey   ? JCS_GRAYSCALE
                     : options.Kind == TJpegOptions::Cmyk ? JCS_CMYK
                                                          : JCS_EXT_BGR;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, options.Quality, TRUE);
  if (options.Kind == TJpegOptions::YCbCr) {
    c.comp_info[0].h_samp_factor = options.LumaH;
    c.comp_info[0].v_samp_factor = options.LumaV;
  }
  if (options.Progressive) jpeg_simple_progression(&c);
  c.restart_in_rows = options.RestartRows;
  jpeg_start_compress(&c, TRUE);
  for (const TMarker& m : options.Markers) jpeg_write_marker(&c, m.Code, m.Data.data(), unsigned(m.Data.size()));
  while (c.next_scanline < c.image_height) {
    const uint8_t* row = picture.Row(int32_t(c.next_scanline));
    JSAMPROW line = const_cast<JSAMPROW>(row);
    if (options.Kind != TJpegOptions::YCbCr) {
      for (int32_t x = 0; x < picture.Width; ++x) {
        if (options.Kind == TJpegOptions::Grey) {
          converted[size_t(x)] = row[3 * x + 1];
        } else {
          for (int k = 0; k < 3; ++k) converted[size_t(4 * x + k)] = row[3 * x + k];
          converted[size_t(4 * x + 3)] = 40;
        }
      }
      line = converted.data();
    }
    jpeg_write_scanlines(&c, &line, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

TPicture DecodeJpeg(const std::vector<uint8_t>& bytes) {
  TError error;
  Init(error);
  jpeg_decompress_struct d{};
  d.err = &error.Manager;
  TPicture out;
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&d);
    throw std::runtime_error("libjpeg failed to decode");
  }
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_EXT_BGR;
  d.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&d);
  out = TPicture(int32_t(d.output_width), int32_t(d.output_height));
  while (d.output_scanline < d.output_height) {
    JSAMPROW line = out.Row(int32_t(d.output_scanline));
    jpeg_read_scanlines(&d, &line, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return out;
}

TCoefficients ReadCoefficients(const std::vector<uint8_t>& bytes) {
  TError error;
  Init(error);
  jpeg_decompress_struct d{};
  d.err = &error.Manager;
  TCoefficients out;
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&d);
    throw std::runtime_error("libjpeg failed to read coefficients");
  }
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_save_markers(&d, JPEG_COM, 0xFFFF);
  for (int m = 0; m < 16; ++m) jpeg_save_markers(&d, JPEG_APP0 + m, 0xFFFF);
  jpeg_read_header(&d, TRUE);
  out.RestartInterval = d.restart_interval;
  jvirt_barray_ptr* arrays = jpeg_read_coefficients(&d);
  out.Width = d.image_width;
  out.Height = d.image_height;
  out.Progressive = d.progressive_mode;
  for (int c = 0; c < d.num_components; ++c) {
    const jpeg_component_info& comp = d.comp_info[c];
    TComponentBlocks blocks;
    blocks.H = comp.h_samp_factor;
    blocks.V = comp.v_samp_factor;
    blocks.QuantTable = comp.quant_tbl_no;
    blocks.BlocksWide = comp.width_in_blocks;
    blocks.BlocksHigh = comp.height_in_blocks;
    blocks.Coefficients.resize(size_t(blocks.BlocksWide) * blocks.BlocksHigh * 64);
    for (JDIMENSION by = 0; by < comp.height_in_blocks; ++by) {
      JBLOCKARRAY row = (*d.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&d), arrays[c], by, 1, FALSE);
      std::memcpy(blocks.Coefficients.data() + size_t(by) * blocks.BlocksWide * 64, row[0],
                  size_t(blocks.BlocksWide) * sizeof(JBLOCK));
    }
    out.Components.push_back(std::move(blocks));
    const JQUANT_TBL* table = d.quant_tbl_ptrs[comp.quant_tbl_no];
    out.QuantTables.emplace_back(table->quantval, table->quantval + 64);
  }
  for (jpeg_saved_marker_ptr m = d.marker_list; m; m = m->next)
    out.Markers.push_back({m->marker, std::vector<uint8_t>(m->data, m->data + m->data_length)});
  jpeg_destroy_decompress(&d);
  return out;
}

std::vector<uint8_t> ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              std::streamsize(bytes.size()));
}

std::vector<uint8_t> RunJpegtran(const std::string& arguments, const std::string& input,
                                 const std::string& output) {
  if (std::system("command -v jpegtran >/dev/null 2>&1") != 0) return {};
  const std::string command = "jpegtran " + arguments + " -outfile '" + output + "' '" + input + "'";
  if (std::system(command.c_str()) != 0) return {};
  return ReadFile(output);
}

std::vector<uint8_t> RunCjpeg(const std::string& arguments, const TPicture& picture, const std::string& ppm,
                              const std::string& output) {
  if (std::system("command -v cjpeg >/dev/null 2>&1") != 0) return {};
  std::string bytes = "P6\n" + std::to_string(picture.Width) + " " + std::to_string(picture.Height) + "\n255\n";
  for (int32_t y = 0; y < picture.Height; ++y)
    for (int32_t x = 0; x < picture.Width; ++x)
      for (int c = 2; c >= 0; --c) bytes.push_back(char(picture.At(x, y)[c]));
  WriteFile(ppm, std::vector<uint8_t>(bytes.begin(), bytes.end()));
  const std::string command = "cjpeg " + arguments + " -outfile '" + output + "' '" + ppm + "'";
  if (std::system(command.c_str()) != 0) return {};
  return ReadFile(output);
}

std::vector<uint8_t> WithRestartOutOfTurn(std::vector<uint8_t> jpeg) {
  std::vector<size_t> restarts;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xD0 && jpeg[i + 1] <= 0xD7) restarts.push_back(i + 1);
  if (restarts.empty()) return {};
  uint8_t& marker = jpeg[restarts[restarts.size() / 2]];
  marker = uint8_t(0xD0 + (marker - 0xD0 + 4) % 8);
  return jpeg;
}

size_t RestartMarkers(const std::vector<uint8_t>& bytes) {
  // Entropy-coded 0xFF bytes are stuffed with 0x00, so every FF D0..D7 is a marker.
  size_t count = 0;
  for (size_t i = 0; i + 1 < bytes.size(); ++i) count += bytes[i] == 0xFF && bytes[i + 1] >= 0xD0 && bytes[i + 1] <= 0xD7;
  return count;
}

size_t DifferingBlocks(const TCoefficients& a, const TCoefficients& b) {
  size_t count = 0;
  for (size_t c = 0; c < a.Components.size(); ++c) {
    const TComponentBlocks& x = a.Components[c];
    const TComponentBlocks& y = b.Components[c];
    for (uint32_t by = 0; by < x.BlocksHigh; ++by)
      for (uint32_t bx = 0; bx < x.BlocksWide; ++bx)
        count += std::memcmp(x.Block(bx, by), y.Block(bx, by), 64 * sizeof(int16_t)) != 0;
  }
  return count;
}

}  // namespace lossless_test
