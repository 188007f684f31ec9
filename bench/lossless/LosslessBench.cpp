// A 24-megapixel camera-like JPEG (6000 x 4000, quality 90, 4:2:0, made at start from a sample
// photograph with ImageMagick) saved by the lossless component after one repaired eye, and turned
// a quarter and saved, against jpegtran doing the coefficient rewrite in the same run; and saves
// after edits of growing size, exact and whole re-encode, against a TurboJPEG encode of the same
// pixels, all into memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <turbojpeg.h>

#include "support/RunTool.h"
#include "support/RatioReporter.h"
#include "platform/lossless/ITarnwick.h"

namespace {

constexpr int32_t W = 6000, H = 4000;

// Resident bytes of the process: heap and directly mapped blocks alike.
size_t InUse() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * size_t(sysconf(_SC_PAGESIZE));
}

struct TPictureRows {
  int32_t Width = 0, Height = 0;
  ptrdiff_t RowBytes = 0;
  std::vector<uint8_t> Bits;
  TPictureRows(int32_t w, int32_t h) : Width(w), Height(h), RowBytes((3 * w + 3) / 4 * 4), Bits(size_t(RowBytes) * h) {}
  uint8_t* At(int32_t x, int32_t y) { return Bits.data() + y * RowBytes + 3 * x; }
  TPictureRows RotatedRight() {
    TPictureRows out(Height, Width);
    for (int32_t y = 0; y < Height; ++y)
      for (int32_t x = 0; x < Width; ++x) std::memcpy(out.At(Height - 1 - y, x), At(x, y), 3);
    return out;
  }
};

struct TFixture {
  std::string Folder, JpegPath, SavePath, ToolPath;
  std::unique_ptr<ITarnwick> T = CreateTarnwickObject();
  TPictureRows Current{W, H}, Original{W, H};
  size_t HeldBytes = 0;
  bool Ready = false;

  TFixture() {
    char pattern[] = "/tmp/qm-lossless-bench-XXXXXX";
    Folder = mkdtemp(pattern);
    JpegPath = Folder + "/photo.jpg";
    SavePath = Folder + "/saved.jpg";
    ToolPath = Folder + "/jpegtran.jpg";
    if (!RunTool({"convert", std::string(QM_SAMPLES_DIR) + "/astronaut.png", "-resize", "6000x4000!",
              "-attenuate", "0.4", "+noise", "Gaussian", "-sampling-factor", "2x2", "-quality", "90",
              JpegPath}))
      return;
    const size_t before = InUse();
    // The coefficients read at once, as the program reads them ahead at the first change: the
    // saves below are timed as they run after it.
    if (!T->Load(JpegPath, 0) || !T->ReadCoefficients() || T->Width() != W || T->Height() != H) return;
    if (!T->ReadPixels(Current.Bits.data(), Current.RowBytes, 0)) return;
    HeldBytes = InUse() - before;
    Original.Bits = Current.Bits;
    // One repaired eye: a 60 x 60 pupil darkened.
    for (int32_t y = 1500; y < 1560; ++y)
      for (int32_t x = 2500; x < 2560; ++x) {
        uint8_t* p = Current.At(x, y);
        p[2] = uint8_t(p[1] / 2);
      }
    Ready = true;
  }
  ~TFixture() {
    std::remove(JpegPath.c_str());
    std::remove(SavePath.c_str());
    std::remove(ToolPath.c_str());
    rmdir(Folder.c_str());
  }
  // A centred rectangle over `percent` of the picture repainted; the edited copy is kept.
  TPictureRows& Edited(int percent) {
    static std::map<int, TPictureRows> edited;
    auto found = edited.find(percent);
    if (found != edited.end()) return found->second;
    TPictureRows& rows = edited.emplace(percent, Original).first->second;
    const double side = std::sqrt(percent / 100.0);
    const int32_t w = int32_t(W * side), h = int32_t(H * side);
    for (int32_t y = (H - h) / 2; y < (H + h) / 2; ++y)
      for (int32_t x = (W - w) / 2; x < (W + w) / 2; ++x) rows.At(x, y)[2] = uint8_t(255 - rows.At(x, y)[2]);
    return rows;
  }
  // One save of current against original: into out, or to SavePath when out is none.
  bool Save(TPictureRows& current, TPictureRows& original, int32_t mode = TarnwickSaveExact,
            std::vector<uint8_t>* out = nullptr) {
    uint8_t* first = current.Bits.data();
    T->SetPixels(&first, current.RowBytes, 0, 0);
    T->SetOriginalPixels(original.Bits.data(), original.RowBytes);
    const int32_t parameters[TarnwickSaveParameterCount] = {0, 100, 0, 0, -1, -1, -1, mode, 90};
    const bool ok = (out != nullptr ? T->SaveMemory(*out, parameters) : T->Save(SavePath, parameters)) != 0;
    T->FinishSave();
    return ok;
  }
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

bool Check(benchmark::State& state) {
  if (Fixture().Ready) return true;
  state.SkipWithError("cannot make or load the 24-megapixel JPEG (ImageMagick needed)");
  return false;
}

void ReportMemory(benchmark::State& state) {
  state.counters["coefficient_MB"] = double(Fixture().T->CoefficientBytes()) / 1e6;
  state.counters["held_MB"] = double(Fixture().HeldBytes) / 1e6;
}

void BM_LosslessSaveOneEye(benchmark::State& state) {
  if (!Check(state)) return;
  for (auto _ : state)
    if (!Fixture().Save(Fixture().Current, Fixture().Original)) state.SkipWithError("save failed");
  ReportMemory(state);
}
BENCHMARK(BM_LosslessSaveOneEye)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JpegtranCopyAll(benchmark::State& state) {
  if (!Check(state)) return;
  for (auto _ : state)
    if (!RunTool({"jpegtran", "-copy", "all", "-outfile", Fixture().ToolPath, Fixture().JpegPath}))
      state.SkipWithError("jpegtran failed");
}
BENCHMARK(BM_JpegtranCopyAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LosslessQuarterTurnSave(benchmark::State& state) {
  if (!Check(state)) return;
  static TPictureRows current = Fixture().Current.RotatedRight();
  static TPictureRows original = Fixture().Original.RotatedRight();
  const TTarnwickGeometry start = Fixture().T->Geometry();
  for (auto _ : state) {
    Fixture().T->RotateRight(0);
    if (!Fixture().Save(current, original)) state.SkipWithError("save failed");
    Fixture().T->SetGeometry(start);
  }
  ReportMemory(state);
}
BENCHMARK(BM_LosslessQuarterTurnSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JpegtranRotate90Perfect(benchmark::State& state) {
  if (!Check(state)) return;
  for (auto _ : state)
    if (!RunTool({"jpegtran", "-copy", "all", "-rotate", "90", "-perfect", "-outfile", Fixture().ToolPath,
              Fixture().JpegPath}))
      state.SkipWithError("jpegtran failed");
}
BENCHMARK(BM_JpegtranRotate90Perfect)->Unit(benchmark::kMillisecond)->UseRealTime();

// Saves into memory after a repaint of arg(1) percent of the picture, by mode arg(0).
void BM_SaveAfterEdit(benchmark::State& state) {
  if (!Check(state)) return;
  TPictureRows& edited = Fixture().Edited(int(state.range(1)));
  std::vector<uint8_t> out;
  for (auto _ : state)
    if (!Fixture().Save(edited, Fixture().Original, int32_t(state.range(0)), &out)) state.SkipWithError("save failed");
  state.SetLabel(Fixture().T->LastSaveMode() == TarnwickSaveExact ? "exact" : "re-encode");
}
BENCHMARK(BM_SaveAfterEdit)
    ->ArgsProduct({{TarnwickSaveExact, TarnwickSaveReencode}, {0, 10, 25, 40, 60, 100}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The path the document takes after a whole-image edit.
void BM_SaveWholeEditByChange(benchmark::State& state) {
  if (!Check(state)) return;
  TPictureRows& edited = Fixture().Edited(100);
  std::vector<uint8_t> out;
  for (auto _ : state)
    if (!Fixture().Save(edited, Fixture().Original, TarnwickSaveByChange, &out)) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveWholeEditByChange)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer: the same edited pixels, same quality and sampling, into memory.
void BM_TurboJpegEncode(benchmark::State& state) {
  if (!Check(state)) return;
  TPictureRows& edited = Fixture().Edited(100);
  tjhandle tj = tjInitCompress();
  for (auto _ : state) {
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (tjCompress2(tj, edited.Bits.data(), W, int(edited.RowBytes), H, TJPF_BGR, &out, &size, TJSAMP_420, 90,
                    TJFLAG_ACCURATEDCT) != 0)
      state.SkipWithError("TurboJPEG failed");
    tjFree(out);
  }
  tjDestroy(tj);
}
BENCHMARK(BM_TurboJpegEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("lossless save, one eye / jpegtran -copy all", "BM_LosslessSaveOneEye",
                      "BM_JpegtranCopyAll");
  reporter.PrintRatio("quarter turn + save / jpegtran -rotate 90 -perfect",
                      "BM_LosslessQuarterTurnSave", "BM_JpegtranRotate90Perfect");
  reporter.PrintRatio("save after a whole-image edit / TurboJPEG encode", "BM_SaveWholeEditByChange",
                      "BM_TurboJpegEncode");
  if (Fixture().Ready)
    std::printf("held after load: %.1f MB for %.1f MB of coefficients\n", double(Fixture().HeldBytes) / 1e6,
                double(Fixture().T->CoefficientBytes()) / 1e6);
  benchmark::Shutdown();
  return 0;
}
