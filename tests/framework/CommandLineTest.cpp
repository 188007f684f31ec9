#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "framework/WKCommandLine.h"
#include "framework/WKLocalizer.h"

namespace {

using TAction = TWKCommandLine::TAction;

struct TCase {
  std::vector<std::string> Arguments;
  TAction Action;
  std::vector<std::string> Files;
};

}  // namespace

TEST(CommandLine, OptionsAndFiles) {
  const TCase cases[] = {
      {{}, TAction::Run, {}},
      {{"photo.jpg"}, TAction::Run, {"photo.jpg"}},
      {{"file:///tmp/a%20b.jpg", "second.png"}, TAction::Run, {"file:///tmp/a%20b.jpg", "second.png"}},
      {{"--help"}, TAction::ShowHelp, {}},
      {{"photo.jpg", "-h"}, TAction::ShowHelp, {"photo.jpg"}},
      {{"--version"}, TAction::ShowVersion, {}},
      {{"--version", "--help"}, TAction::ShowVersion, {}},  // the first request counts
      {{"--help", "--version"}, TAction::ShowHelp, {}},
      // Options the toolkit did not take are no files; "--" ends the options.
      {{"-unknown", "--other", "x.bmp"}, TAction::Run, {"x.bmp"}},
      {{"--", "--help", "-x.jpg"}, TAction::Run, {"--help", "-x.jpg"}},
      {{"a.jpg", "--", "--"}, TAction::Run, {"a.jpg", "--"}},
      {{"-"}, TAction::Run, {}},
      {{""}, TAction::Run, {""}},
  };
  for (const TCase& c : cases) {
    const TWKCommandLine line = ParseCommandLine(c.Arguments);
    std::string shown;
    for (const std::string& a : c.Arguments) shown += "[" + a + "]";
    EXPECT_EQ(line.Action, c.Action) << shown;
    EXPECT_EQ(line.Files, c.Files) << shown;
  }
}

TEST(CommandLine, UsageIsInTheCurrentLanguageAndVersionNamesTheProgram) {
  TTempFolder languages;
  languages.Write("English.ini",
                  "[Language]\nLangId=1033\nLanguage=English\n[Strings]\n3900=Usage:\n3901=[options] [file]\n"
                  "3902=Opens a file.\n3903=Options:\n3904=Help.\n3905=Version.\n");
  languages.Write("German.ini",
                  "[Language]\nLangId=1031\nLanguage=Deutsch\n[Strings]\n3900=Aufruf:\n3901=[Optionen] [Datei]\n"
                  "3902=Öffnet eine Datei.\n3903=Optionen:\n3904=Hilfe.\n3905=Version.\n");
  auto previous = SetGlobalLocalizer(std::make_unique<TWKLocalizer>(languages.Path(), 1031));
  EXPECT_EQ(CommandLineUsage("quillmoor"),
            "Aufruf: quillmoor [Optionen] [Datei]\n\nÖffnet eine Datei.\n\nOptionen:\n"
            "  -h, --help     Hilfe.\n  --version      Version.\n");
  SelectLanguage(1033);
  EXPECT_EQ(CommandLineUsage("qm").substr(0, 27), "Usage: qm [options] [file]\n");
  SetGlobalLocalizer(std::move(previous));
  EXPECT_EQ(VersionText("1.2.3"), "Quillmoor 1.2.3\n");
}
