// A format registry for the dialog tests and benchmarks: descriptions and thumbnails straight
// from the still-image codec (the thumbnails through its reduced decodes), with counters of
// decodes and draws and a gate that holds decodes while a test arranges what happens meanwhile.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "documents/WKFileFormats.h"
#include "imaging/WKBitmap.h"

namespace help_test {

class TPreviewTestFormats : public TWKFileFormats {
 public:
  int32_t FormatCount() override { return 4; }
  TWKFileFormatInfo FormatInfo(int32_t index) override;
  bool GetFileInfo(const std::string& fileName, std::unique_ptr<TWKFileInfo>& info) override;
  bool GetThumbnail(const std::string& fileName, int32_t width, int32_t height,
                    std::unique_ptr<TWKThumbnail>& thumbnail) override;

  // Decodes started since the gate closed wait inside GetThumbnail until it opens.
  void CloseGate();
  void OpenGate();
  // Waits until that many decodes have started / finished (true) or the time is up (false).
  bool WaitStarted(int32_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  bool WaitFinished(int32_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));

  std::atomic<int32_t> Decodes{0};   // GetThumbnail calls
  std::atomic<int32_t> Finished{0};  // GetThumbnail calls that returned
  std::atomic<int32_t> Draws{0};     // thumbnails drawn, by any thumbnail made here
  std::atomic<int32_t> LastWidth{0}, LastHeight{0};  // the last box asked for

 private:
  std::mutex Lock_;
  std::condition_variable Changed_;
  bool GateOpen_ = true;
};

// Writes a width x height JPEG of one colour (bytes blue, green, red) with a little texture.
bool WriteJpeg(const std::string& path, int32_t width, int32_t height, TBGRPixel colour,
               int quality = 85);

}  // namespace help_test
