// A 24-megapixel JPEG (6000 x 4000, quality 90, 4:2:0, photo-like) opened into caller rows and
// saved, against TurboJPEG alone and the djpeg/cjpeg tools in the same run. Ratios at the end.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/VipsPeer.h"
#ifdef QM_BENCH_OPENCV
#include <opencv2/imgcodecs.hpp>
#endif

#include "support/RunTool.h"
#include "support/RatioReporter.h"
#include "documents/EditorFixture.h"
#include "documents/WKGraphicsCodec.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsFormats.h"
#include "platform/lossless/ITarnwick.h"
#include "imaging/WKBitmap.h"
#include "platform/codec/PropertyItems.h"
#include "platform/codec/StillImageCodec.h"
#include "support/TestColorProfiles.h"

namespace {

constexpr int32_t W = 6000, H = 4000;
constexpr int Quality = 90;

struct TFixture {
  std::string Folder;
  std::string JpegPath, PpmPath, SavePath;
  std::string SrgbJpegPath;  // the same photo with an sRGB profile in APP2
  ptrdiff_t RowBytes = AlignedRowBytes24(W);
  std::vector<uint8_t> Pixels;  // the document's rows
  std::vector<uint8_t> Jpeg;

  TFixture() {
    char pattern[] = "/tmp/qm-codec-bench-XXXXXX";
    Folder = mkdtemp(pattern);
    JpegPath = Folder + "/photo.jpg";
    PpmPath = Folder + "/photo.ppm";
    SavePath = Folder + "/saved.jpg";
    Pixels.resize(size_t(RowBytes) * H);
    Synthesize();
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, Pixels.data(), W, int(RowBytes), H, TJPF_BGR, &out, &size, TJSAMP_420, Quality, 0);
    Jpeg.assign(out, out + size);
    tjFree(out);
    tjDestroy(tj);
    std::ofstream(JpegPath, std::ios::binary).write(reinterpret_cast<const char*>(Jpeg.data()), std::streamsize(Jpeg.size()));
    WriteSrgbJpeg();
    WritePpm();
  }
  ~TFixture() {
    std::remove(JpegPath.c_str());
    std::remove(PpmPath.c_str());
    std::remove(SavePath.c_str());
    std::remove(SrgbJpegPath.c_str());
    rmdir(Folder.c_str());
  }

  // Smooth lit surfaces, a few hard edges and sensor-like noise.
  void Synthesize() {
    uint32_t noise = 1;
    for (int32_t y = 0; y < H; ++y) {
      uint8_t* row = Pixels.data() + y * RowBytes;
      for (int32_t x = 0; x < W; ++x) {
        noise = noise * 1664525u + 1013904223u;
        int n = int(noise >> 28) - 8;
        double fx = double(x) / W, fy = double(y) / H;
        double light = 0.5 + 0.5 * std::sin(fx * 9.0 + std::cos(fy * 7.0) * 2.0);
        bool edge = ((x / 400) + (y / 300)) % 5 == 0;
        int base = int(60 + 150 * light) + (edge ? 40 : 0);
        row[x * 3 + 0] = uint8_t(std::clamp(base - 30 + n, 0, 255));
        row[x * 3 + 1] = uint8_t(std::clamp(int(base * 0.9) + n, 0, 255));
        row[x * 3 + 2] = uint8_t(std::clamp(int(base * (0.7 + 0.3 * fy)) + 20 + n, 0, 255));
      }
    }
  }

  void WriteSrgbJpeg() {
    SrgbJpegPath = Folder + "/photo-srgb.jpg";
    std::vector<uint8_t> tagged = Jpeg;
    TEmbeddedMetadata embedded;
    embedded.IccProfile = test_profiles::SrgbProfile();
    TCodecError err;
    WritePropertyItems(tagged, {}, 0, 0, err, &embedded);
    std::ofstream(SrgbJpegPath, std::ios::binary).write(reinterpret_cast<const char*>(tagged.data()), std::streamsize(tagged.size()));
  }

  void WritePpm() {
    std::ofstream out(PpmPath, std::ios::binary);
    out << "P6\n" << W << " " << H << "\n255\n";
    std::vector<uint8_t> rgb(size_t(W) * 3);
    for (int32_t y = 0; y < H; ++y) {
      const uint8_t* row = Pixels.data() + y * RowBytes;
      for (int32_t x = 0; x < W; ++x) {
        rgb[x * 3] = row[x * 3 + 2];
        rgb[x * 3 + 1] = row[x * 3 + 1];
        rgb[x * 3 + 2] = row[x * 3];
      }
      out.write(reinterpret_cast<const char*>(rgb.data()), std::streamsize(rgb.size()));
    }
  }
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

void BM_CodecOpenIntoRows(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    TCodecError err;
    auto decoder = TStillImageCodec::OpenFile(f.JpegPath, err);
    if (!decoder || !decoder->ReadPixels({f.Pixels.data(), f.RowBytes, W, H}, err)) state.SkipWithError(err.Message.c_str());
    benchmark::DoNotOptimize(f.Pixels.data());
  }
}

// What opening a photo costs the document: fresh current and original images, the decode
// straight into the current one, the original as its copy.
void BM_DocumentOpen(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    TWKLTBitmap current, original;
    TImageInfo info;
    std::string error;
    if (!DecodeImageFile(f.JpegPath, current, original, info, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(current.Storage().Bits);
  }
}

// A document and its registry as the program has them (no user interface).
struct TBenchWindows {  // built before the editor that keeps references to them
  TFakeMainWindow Window;
  TFakeDialogs Dialogs;
};

class TBenchEditor : private TBenchWindows, public TWKEditor {
 public:
  TBenchEditor() : TWKEditor(nullptr, TBenchWindows::Window, TBenchWindows::Dialogs) {}
  TWKDocumentFormats* GetFileFormats() override { return &Formats; }
  std::unique_ptr<TWKDocument> CreateDocument() override { return std::make_unique<TWKGraphicsDocument>(*this); }
  TWKGraphicsFormats Formats;
};

// Opening through the registry until it returns with the picture shown: exchange-file probe,
// the file read once, the codec's decode with the metadata, the original and the backup. The
// lossless form's coefficients, taken on a helper thread, are waited for outside the timing, as
// a user looks at the picture meanwhile; the case below times the open with them. Closing the
// document is timed in both.
std::unique_ptr<TWKGraphicsDocument> OpenDocument(TBenchEditor& editor, const std::string& path,
                                                  benchmark::State& state) {
  auto document = std::make_unique<TWKGraphicsDocument>(editor);
  int32_t format = 0;
  if (!editor.Formats.LoadDocument(*document, path, format))
    state.SkipWithError(editor.Formats.LastError.c_str());
  benchmark::DoNotOptimize(document->CurrentImage.Storage().Bits);
  return document;
}

void BM_RegistryOpenIntoDocument(benchmark::State& state) {
  const TFixture& f = Fixture();  // made before the timing starts
  TBenchEditor editor;
  for (auto _ : state) {
    auto document = OpenDocument(editor, f.JpegPath, state);
    state.PauseTiming();
    if (!document->LosslessJpeg->HoldsData()) state.SkipWithError("the lossless form does not hold the file");
    state.ResumeTiming();
    document.reset();  // timed, as it was when the open held the form
  }
}

// The same photo carrying an sRGB profile: the profile is kept with the document, and the view
// later finds it renders like sRGB, so the open must cost what the untagged one does.
void BM_RegistryOpenSrgbTagged(benchmark::State& state) {
  const TFixture& f = Fixture();
  TBenchEditor editor;
  for (auto _ : state) {
    auto document = OpenDocument(editor, f.SrgbJpegPath, state);
    state.PauseTiming();
    if (document->Metadata.Embedded.IccProfile.empty()) state.SkipWithError("the profile was not kept");
    if (!document->LosslessJpeg->HoldsData()) state.SkipWithError("the lossless form does not hold the file");
    state.ResumeTiming();
    document.reset();
  }
}

// The same until the lossless form holds the coefficients as well (the open reads only the
// file's headers; the coefficients are read ahead as at the first change).
void BM_RegistryOpenUntilLosslessHeld(benchmark::State& state) {
  const TFixture& f = Fixture();  // made before the timing starts
  TBenchEditor editor;
  for (auto _ : state) {
    auto document = OpenDocument(editor, f.JpegPath, state);
    document->LosslessJpeg->ReadAhead();
    if (!document->LosslessJpeg->HoldsData()) state.SkipWithError("the lossless form does not hold the file");
  }
}

// The lossless JPEG component alone: holding the coefficients, then decoding them into rows.
void BM_LosslessLoad(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    std::unique_ptr<ITarnwick> t = CreateTarnwickObject();
    if (!t->Load(f.JpegPath, 0) || !t->ReadCoefficients()) state.SkipWithError("lossless load failed");
  }
}

void BM_LosslessLoadAndReadPixels(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    std::unique_ptr<ITarnwick> t = CreateTarnwickObject();
    if (!t->Load(f.JpegPath, 0) || !t->ReadPixels(f.Pixels.data(), f.RowBytes, 0)) state.SkipWithError("lossless read failed");
  }
}

// Saving as JPEG through the registry at the bench's quality (no dialog without a user
// interface), metadata and the atomic replace included.
void BM_RegistrySaveJpeg(benchmark::State& state) {
  TFixture& f = Fixture();
  TBenchEditor editor;
  TWKGraphicsDocument document(editor);
  document.LosslessJpeg.reset();  // a picture that did not come from a JPEG
  int32_t format = 0;
  if (!editor.Formats.LoadDocument(document, f.JpegPath, format)) state.SkipWithError(editor.Formats.LastError.c_str());
  editor.Formats.JpegQuality = Quality;
  for (auto _ : state)
    if (!editor.Formats.SaveDocument(document, f.SavePath, gfJPEG)) state.SkipWithError(editor.Formats.LastError.c_str());
}

// TurboJPEG as a command-line decoder uses it: a fresh output buffer for every picture.
void BM_TurboJpegDecodeFreshBuffer(benchmark::State& state) {
  TFixture& f = Fixture();
  tjhandle tj = tjInitDecompress();
  for (auto _ : state) {
    std::vector<uint8_t> out(size_t(f.RowBytes) * H);
    tjDecompress2(tj, f.Jpeg.data(), f.Jpeg.size(), out.data(), W, int(f.RowBytes), H, TJPF_BGR, 0);
    benchmark::DoNotOptimize(out.data());
  }
  tjDestroy(tj);
}

void BM_TurboJpegDecodeAlone(benchmark::State& state) {
  TFixture& f = Fixture();
  std::vector<uint8_t> plain(size_t(W) * 3 * H);
  tjhandle tj = tjInitDecompress();
  for (auto _ : state) {
    tjDecompress2(tj, f.Jpeg.data(), f.Jpeg.size(), plain.data(), W, 0, H, TJPF_BGR, 0);
    benchmark::DoNotOptimize(plain.data());
  }
  tjDestroy(tj);
}

void BM_DjpegTool(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state)
    if (!RunTool({"djpeg", "-outfile", "/dev/null", f.JpegPath})) state.SkipWithError("djpeg failed");
}

// The peer libraries opening the same file into memory.
#ifdef QM_BENCH_VIPS
void BM_VipsOpenJpeg(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    VipsImage* in = vips_image_new_from_file(f.JpegPath.c_str(), "access", VIPS_ACCESS_SEQUENTIAL, nullptr);
    VipsImage* memory = vips_image_new_memory();
    if (in == nullptr || vips_image_write(in, memory) != 0) state.SkipWithError(vips_error_buffer());
    benchmark::DoNotOptimize(VIPS_IMAGE_ADDR(memory, 0, 0));
    g_object_unref(memory);
    if (in != nullptr) g_object_unref(in);
  }
}
BENCHMARK(BM_VipsOpenJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

#ifdef QM_BENCH_OPENCV
void BM_OpenCVReadJpeg(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    cv::Mat image = cv::imread(f.JpegPath, cv::IMREAD_COLOR);
    if (image.empty()) state.SkipWithError("imread failed");
    benchmark::DoNotOptimize(image.data);
  }
}
BENCHMARK(BM_OpenCVReadJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

void BM_CodecSaveJpeg(benchmark::State& state) {
  TFixture& f = Fixture();
  TEncodeOptions options;
  options.Quality = Quality;
  for (auto _ : state) {
    TCodecError err;
    if (!TStillImageCodec::SaveToFile("image/jpeg", {f.Pixels.data(), f.RowBytes, W, H}, options, f.SavePath, err))
      state.SkipWithError(err.Message.c_str());
  }
}

void BM_TurboJpegEncodeAlone(benchmark::State& state) {
  TFixture& f = Fixture();
  tjhandle tj = tjInitCompress();
  for (auto _ : state) {
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, f.Pixels.data(), W, int(f.RowBytes), H, TJPF_BGR, &out, &size, TJSAMP_420, Quality, 0);
    benchmark::DoNotOptimize(out);
    tjFree(out);
  }
  tjDestroy(tj);
}

void BM_CjpegTool(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state)
    if (!RunTool({"cjpeg", "-quality", std::to_string(Quality), "-outfile", "/dev/null", f.PpmPath}))
      state.SkipWithError("cjpeg failed");
}

BENCHMARK(BM_CodecOpenIntoRows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DocumentOpen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RegistryOpenIntoDocument)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RegistryOpenUntilLosslessHeld)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LosslessLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LosslessLoadAndReadPixels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RegistrySaveJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurboJpegDecodeAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurboJpegDecodeFreshBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DjpegTool)->Unit(benchmark::kMillisecond)->UseRealTime();
// The same three as the median of single runs, which a moment of the machine's other work
// cannot move as it moves a mean.
constexpr int SingleRuns = 25;
BENCHMARK(BM_RegistryOpenIntoDocument)->Name("BM_RegistryOpenSingle")->Iterations(1)->Repetitions(SingleRuns)
    ->ReportAggregatesOnly()->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RegistryOpenSrgbTagged)->Name("BM_RegistryOpenSrgbSingle")->Iterations(1)->Repetitions(SingleRuns)
    ->ReportAggregatesOnly()->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurboJpegDecodeAlone)->Name("BM_TurboJpegDecodeSingle")->Iterations(1)->Repetitions(SingleRuns)
    ->ReportAggregatesOnly()->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DjpegTool)->Name("BM_DjpegSingle")->Iterations(1)->Repetitions(SingleRuns)
    ->ReportAggregatesOnly()->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CodecSaveJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurboJpegEncodeAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CjpegTool)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const TVipsSession vips(argv[0]);
  if (vips.Failed()) return 1;
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("open into rows / TurboJPEG decode alone", "BM_CodecOpenIntoRows", "BM_TurboJpegDecodeAlone");
  reporter.PrintRatio("open into rows / djpeg", "BM_CodecOpenIntoRows", "BM_DjpegTool");
  reporter.PrintRatio("document open / TurboJPEG decode alone", "BM_DocumentOpen", "BM_TurboJpegDecodeAlone");
  reporter.PrintRatio("document open / TurboJPEG fresh buffer", "BM_DocumentOpen", "BM_TurboJpegDecodeFreshBuffer");
  reporter.PrintRatio("registry open / TurboJPEG decode alone", "BM_RegistryOpenIntoDocument", "BM_TurboJpegDecodeAlone");
  reporter.PrintRatio("registry open, sRGB profile / untagged (medians)", "BM_RegistryOpenSrgbSingle", "BM_RegistryOpenSingle");
  reporter.PrintRatio("registry open / TurboJPEG fresh buffer", "BM_RegistryOpenIntoDocument", "BM_TurboJpegDecodeFreshBuffer");
  reporter.PrintRatio("open until lossless held / TurboJPEG alone", "BM_RegistryOpenUntilLosslessHeld", "BM_TurboJpegDecodeAlone");
  reporter.PrintRatio("registry open / djpeg", "BM_RegistryOpenIntoDocument", "BM_DjpegTool");
  reporter.PrintRatio("single registry open / single TurboJPEG decode", "BM_RegistryOpenSingle", "BM_TurboJpegDecodeSingle");
  reporter.PrintRatio("single registry open / single djpeg", "BM_RegistryOpenSingle", "BM_DjpegSingle");
  reporter.PrintRatio("registry open / libvips open into memory", "BM_RegistryOpenIntoDocument", "BM_VipsOpenJpeg");
  reporter.PrintRatio("registry open / OpenCV imread", "BM_RegistryOpenIntoDocument", "BM_OpenCVReadJpeg");
  reporter.PrintRatio("registry save JPEG / cjpeg", "BM_RegistrySaveJpeg", "BM_CjpegTool");
  reporter.PrintRatio("registry save JPEG / TurboJPEG encode alone", "BM_RegistrySaveJpeg", "BM_TurboJpegEncodeAlone");
  reporter.PrintRatio("save as JPEG / TurboJPEG encode alone", "BM_CodecSaveJpeg", "BM_TurboJpegEncodeAlone");
  reporter.PrintRatio("save as JPEG / cjpeg", "BM_CodecSaveJpeg", "BM_CjpegTool");
  benchmark::Shutdown();
  return 0;
}
