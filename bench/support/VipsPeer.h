// libvips' Lanczos resize and reduce of an image in memory, the peer of our resampler in the
// benchmarks that compare with it. Needs QM_BENCH_VIPS (qm_bench_peers).
#pragma once

#ifdef QM_BENCH_VIPS
#include <vips/vips.h>

#include <string>

#include "imaging/WKBitmap.h"

// vips_resize (or vips_reduce) of the rows to width × height with the Lanczos-3 kernel, written
// out into a memory image that is freed again; false with vips' error text when it fails.
inline bool VipsLanczos(const TWKPixels& source, int32_t width, int32_t height, bool reduce, std::string& error) {
  VipsImage* in = vips_image_new_from_memory(source.Bits, size_t(source.RowBytes) * source.Height, source.Width,
                                             source.Height, 3, VIPS_FORMAT_UCHAR);
  VipsImage* out = nullptr;
  const double h = double(source.Width) / width, v = double(source.Height) / height;
  const int failed = reduce ? vips_reduce(in, &out, h, v, "kernel", VIPS_KERNEL_LANCZOS3, nullptr)
                            : vips_resize(in, &out, 1.0 / h, "vscale", 1.0 / v, "kernel", VIPS_KERNEL_LANCZOS3, nullptr);
  if (failed) {
    error = vips_error_buffer();
    g_object_unref(in);
    return false;
  }
  VipsImage* memory = vips_image_new_memory();
  const bool written = vips_image_write(out, memory) == 0;
  if (!written) error = vips_error_buffer();
  g_object_unref(memory);
  g_object_unref(out);
  g_object_unref(in);
  return written;
}
#endif
