#include "framework/WKCommandLine.h"

#include "framework/WKLocalizer.h"

namespace {

// Language strings of the usage text.
constexpr int kUsage = 3900;
constexpr int kUsageArguments = 3901;
constexpr int kUsageDescription = 3902;
constexpr int kUsageOptions = 3903;
constexpr int kHelpOption = 3904;
constexpr int kVersionOption = 3905;

}  // namespace

TWKCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  TWKCommandLine line;
  bool options = true;
  for (const std::string& argument : arguments) {
    if (options && argument == "--") {
      options = false;
    } else if (!options || argument.empty() || argument[0] != '-') {
      line.Files.push_back(argument);
    } else if (line.Action != TWKCommandLine::TAction::Run) {
      continue;
    } else if (argument == "-h" || argument == "--help") {
      line.Action = TWKCommandLine::TAction::ShowHelp;
    } else if (argument == "--version") {
      line.Action = TWKCommandLine::TAction::ShowVersion;
    }
  }
  return line;
}

std::string CommandLineUsage(const std::string& programName) {
  return LanguageString(kUsage) + " " + programName + " " + LanguageString(kUsageArguments) + "\n\n" +
         LanguageString(kUsageDescription) + "\n\n" + LanguageString(kUsageOptions) + "\n" +
         "  -h, --help     " + LanguageString(kHelpOption) + "\n" +
         "  --version      " + LanguageString(kVersionOption) + "\n";
}

std::string VersionText(const std::string& version) { return "Quillmoor " + version + "\n"; }
