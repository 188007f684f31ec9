// A small filter host for the tests: one image of interleaved planes with a row stride,
// allocated exactly to its last pixel so that AddressSanitizer sees any access past it.
// The parameter block's advanceState delivers pointers into that image for the requested
// rectangles, as a host does that hands out its own rows.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/system/Registry.h"
#include "plugin/FilterInterface.h"

struct TTestHost {
  TTestHost(int width, int height, int planes, int rowBytes) : Width(width), Height(height), Planes(planes), RowBytes(rowBytes) {
    Size = size_t(height - 1) * rowBytes + size_t(width) * planes;
    Pixels.reset(new uint8_t[Size]);
    for (size_t i = 0; i < Size; ++i) Pixels[i] = uint8_t(i * 7 + (i / 5) * 3);
    Block.reset(static_cast<filter::TFilterRecord*>(std::calloc(1, kRecordBytes)));
    Block->planes = int16_t(planes);
    Block->imageMode = filter::kModeRGB;
    Block->platformData = &Platform;
    Block->advanceState = &TTestHost::AdvanceState;
    SetFilterRect(0, 0, width, height);
  }

  void SetFilterRect(int left, int top, int right, int bottom) {
    Block->filterRect = filter::TRect16{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
  }

  std::vector<uint8_t> Snapshot() const { return std::vector<uint8_t>(Pixels.get(), Pixels.get() + Size); }
  uint8_t* At(int x, int y) { return Pixels.get() + size_t(y) * RowBytes + size_t(x) * Planes; }

  // The host that answers advanceState; tests run one filter call at a time.
  static inline TTestHost* Current = nullptr;
  static inline int AdvanceCalls = 0;
  static inline int FailAdvanceAt = 0;  // the n-th call (1-based) returns an error; 0 never

  static int16_t AdvanceState() {
    TTestHost* h = Current;
    ++AdvanceCalls;
    if (h == nullptr || AdvanceCalls == FailAdvanceAt) return -1;
    h->Block->inData = Deliver(h, h->Block->inRect);
    h->Block->inRowBytes = h->RowBytes;
    h->Block->outData = Deliver(h, h->Block->outRect);
    h->Block->outRowBytes = h->RowBytes;
    return 0;
  }

  static void* Deliver(TTestHost* h, const filter::TRect16& r) {
    if (r.right <= r.left || r.bottom <= r.top) return nullptr;
    return h->At(r.left, r.top);
  }

  // Room for the whole record a host passes, of which the plug-in reads a prefix.
  static constexpr size_t kRecordBytes = 1024;
  struct TFree {
    void operator()(void* p) const { std::free(p); }
  };

  int Width, Height, Planes, RowBytes;
  size_t Size;
  std::unique_ptr<uint8_t[]> Pixels;
  filter::TPlatformData Platform{0x1234};
  std::unique_ptr<filter::TFilterRecord, TFree> Block;
};

// A plug-in (the built one unless named) loaded with dlopen for a test suite, finding `program`
// through the registry stand-in of a temporary configuration folder that also holds the
// runtime folder. With no program named, that folder stays empty and the plug-in has to find
// the application through its installation's own folder.
struct TLoadedPlugin {
  using TEntry = void (*)(int16_t, void*, intptr_t*, int16_t*);

  explicit TLoadedPlugin(const std::string& program, const char* library = QM_PLUGIN_PATH) {
    if (!program.empty() &&
        !TRegistry::WriteString(Config.Path, "SOFTWARE\\Marrowby\\Photo Plugins\\Quillmoor", "", program)) {
      Error = "the registry value cannot be written";
      return;
    }
    ::setenv("XDG_CONFIG_HOME", Config.Path.c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (Config.Path + "/none").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", Config.Path.c_str(), 1);
    Library = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (Library == nullptr) {
      Error = ::dlerror();
      return;
    }
    Entry = reinterpret_cast<TEntry>(::dlsym(Library, "ENTRYPOINT"));
    if (Entry == nullptr) Error = "no ENTRYPOINT";
  }
  ~TLoadedPlugin() {
    if (Library != nullptr) ::dlclose(Library);
  }
  TLoadedPlugin(const TLoadedPlugin&) = delete;
  TLoadedPlugin& operator=(const TLoadedPlugin&) = delete;

  TTempFolder Config;
  void* Library = nullptr;
  TEntry Entry = nullptr;
  std::string Error;
};
