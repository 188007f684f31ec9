// Feeds arbitrary bytes as the lines of a script to the directive expander, line by line, and
// then plays them on a fake desktop whose clock runs fast: every expansion and every step must
// end in order, whatever the lines say.
#include <cstdint>
#include <string>
#include <string_view>

#include "demo/FakeDemoPlatform.h"
#include "demo/WKDemoLanguage.h"
#include "demo/WKDemoPlayback.h"

namespace {

constexpr int kMaxTicks = 4000;

void ExpandEveryLine(const std::vector<std::string>& lines) {
  TWKDemoLanguage language;
  for (int32_t i = 0; i < static_cast<int32_t>(lines.size()); ++i) {
    if (!language.ExpandLine(lines, i)) continue;
    if (language.LineIndex() < i || language.LineIndex() >= static_cast<int32_t>(lines.size())) __builtin_trap();
    if (language.PendingCount() > TWKDemoLanguage::kMaxExpandedLines) __builtin_trap();
    language.Clear();
  }
}

void Play(const TWKDemoScript& script) {
  TFakeDemoPlatform platform;
  TWKDemoLanguage language;
  TWKDemoPlayback playback(platform, language);
  playback.OnError = [](TWKDemoPlayback&, const std::string&, bool& stop, const std::string&) { stop = false; };
  playback.OnCommand = [](TWKDemoPlayback&, const std::string& name, bool& handled, TWKDemoScriptUserAction&,
                          const TWKDemoScriptParams&) { handled = name.size() % 2 == 0; };
  playback.OnGetPoint = [](TWKDemoPlayback&, const TWKDemoScriptParams& params, bool& found, TPoint& point) {
    found = params.Count() > 1;
    point = {params.Count(), 7};
  };
  playback.LoadScript(script);
  if (!playback.Play(0)) __builtin_trap();
  for (int tick = 0; tick < kMaxTicks && platform.Pacer; ++tick) {
    platform.Clock += 5000;  // every pause and move ends at its next step
    platform.Tick();
    if (tick % 97 == 0) playback.Pause();
    if (tick % 97 == 1) playback.Resume();
  }
  if (platform.Pacer) return;  // a long script: stopped by the tick limit, not by itself
  if (playback.IsPlaying() || playback.LeftButtonDown() || playback.RightButtonDown()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWKDemoScript script;
  script.LoadFromText("[Script]\n" + std::string(reinterpret_cast<const char*>(data), size));
  ExpandEveryLine(script.ScriptLines());
  Play(script);
  return 0;
}
