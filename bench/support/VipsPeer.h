// libvips as a peer: started for the benchmark program, an operation on our pixels evaluated
// into memory and timed in the same run.
#pragma once

#ifdef QM_BENCH_VIPS
#include <vips/vips.h>
#endif

// libvips for the lifetime of main, its operation cache off so that every run computes again;
// nothing where the program is built without it.
class TVipsSession {
 public:
  explicit TVipsSession(const char* argv0) {
#ifdef QM_BENCH_VIPS
    Started_ = VIPS_INIT(argv0) == 0;
    if (Started_) vips_cache_set_max(0);
#endif
  }
  ~TVipsSession() {
#ifdef QM_BENCH_VIPS
    if (Started_) vips_shutdown();
#endif
  }
  TVipsSession(const TVipsSession&) = delete;
  TVipsSession& operator=(const TVipsSession&) = delete;
  bool Failed() const { return !Started_; }

 private:
  bool Started_ = true;
};

#ifdef QM_BENCH_VIPS
#include <benchmark/benchmark.h>
#include <vips/vips.h>

#include "imaging/WKBitmap.h"

// A libvips image over the pixels' own memory (three bands of bytes, no copy).
inline VipsImage* VipsOver(const TWKPixels& p) {
  return vips_image_new_from_memory(p.Bits, size_t(p.RowBytes) * p.Height, p.Width, p.Height, 3,
                                    VIPS_FORMAT_UCHAR);
}

// Runs op(in, &out) (a libvips call, 0 on success) on the pixels and evaluates out into memory.
// The size of the result goes to size; false, with the error given to state, when op failed.
template <class Op>
bool VipsIntoMemory(benchmark::State& state, const TWKPixels& source, Op op,
                    TSize* size = nullptr) {
  VipsImage* in = VipsOver(source);
  VipsImage* out = nullptr;
  if (op(in, &out) != 0) {
    state.SkipWithError(vips_error_buffer());
    g_object_unref(in);
    return false;
  }
  VipsImage* memory = vips_image_new_memory();
  vips_image_write(out, memory);
  benchmark::DoNotOptimize(VIPS_IMAGE_ADDR(memory, 0, 0));
  if (size != nullptr) *size = {memory->Xsize, memory->Ysize};
  g_object_unref(memory);
  g_object_unref(out);
  g_object_unref(in);
  return true;
}
#endif
