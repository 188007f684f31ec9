// The program's command line: the image to open, or a request for the usage or version text.
#pragma once

#include <string>
#include <vector>

struct TWKCommandLine {
  enum class TAction { Run, ShowHelp, ShowVersion };
  TAction Action = TAction::Run;
  // The arguments that are not options, in order; the program opens the first.
  std::vector<std::string> Files;
};

// Reads the arguments that follow the program name. "-h"/"--help" and "--version" ask for a
// text (the first of them counts); "--" ends the options, every argument after it is a file.
// Other arguments that start with "-" belong to the toolkit and are left out of Files.
TWKCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text in the current language, several lines ending in a line break.
std::string CommandLineUsage(const std::string& programName);
// "Quillmoor" and the version, e.g. "Quillmoor 1.2.0", ending in a line break.
std::string VersionText(const std::string& version);
