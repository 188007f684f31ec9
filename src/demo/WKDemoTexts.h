// The messages of the demonstration playback, as numbered language strings.
#pragma once

#include <string>

enum class TWKDemoText {
  UnknownCommand = 3930,   // %s: the command's name
  InvalidArguments = 3931,
  BadNumber = 3932,        // %s: the text that is not a number
  TooManyLines = 3933,     // %s: the directive
  MissingOd = 3934,        // %s: the directive
  CannotOpenFile = 3935,
  NoPointerControl = 3936, // %s: the desktop
  InternalError = 3937,    // %s: what failed
  CannotReadScript = 3938, // %s: the file
};

// The language string, with its "%s" filled by argument.
std::string DemoText(TWKDemoText text, const std::string& argument = {});
