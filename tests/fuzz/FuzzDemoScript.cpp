// Feeds arbitrary bytes to the demonstration script reader, reads every text it offers, parses
// the arguments of every line, and checks that a saved script reads back unchanged.
#include <cstdint>
#include <string>
#include <string_view>

#include "demo/WKDemoScript.h"
#include "demo/WKDemoScriptParams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWKDemoScript script;
  script.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
  script.Title();
  script.InfoValue("Image");
  script.LocalizedValue("Intro");
  TWKDemoScriptParams params;
  std::string error;
  for (int32_t s = 0; s < script.SectionCount(); ++s) {
    for (const std::string& line : script.SectionLines(s)) {
      const size_t blank = line.find_first_of(" \t(");
      ParseArguments(params, blank == std::string::npos ? std::string_view() : std::string_view(line).substr(blank), error);
      for (int i = 0; i < params.Count(); ++i) params.Text(i);
      script.ResolveText(line);
    }
  }

  TWKDemoScript back;
  back.LoadFromText(script.SaveToText());
  if (back.Utf8 != script.Utf8 || back.SectionCount() != script.SectionCount()) __builtin_trap();
  for (int32_t s = 0; s < script.SectionCount(); ++s)
    if (back.SectionName(s) != script.SectionName(s) || back.SectionLines(s) != script.SectionLines(s))
      __builtin_trap();
  return 0;
}
