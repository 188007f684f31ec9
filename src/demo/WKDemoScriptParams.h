// The arguments of one script line, read by position: integers (type 5), reals (type 10) and
// strings (type 11), true and false stored as the integers -1 and 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/WKProperties.h"

class TWKDemoScriptParams : public TWKProperties {
 public:
  TWKDemoScriptParams() = default;
  TWKDemoScriptParams(const TWKDemoScriptParams& other) { Assign(other); }
  TWKDemoScriptParams& operator=(const TWKDemoScriptParams& other) {
    if (this != &other) Assign(other);
    return *this;
  }

  void AddInteger(int32_t value) { SetInteger(Count(), value); }
  void AddDouble(double value) { SetDouble(Count(), value); }
  void AddString(const std::string& value) { SetString(Count(), value); }

  // An integer or a real at that position.
  bool IsNumber(int index) const;
  bool Number(int index, double& value) const;
  // The argument as text: strings as they are, numbers in decimal; empty when absent.
  std::string Text(int index) const;
};

// Fills params from a line's argument text; "." is the decimal separator whatever the
// process's locale. False, with params holding the arguments read so far and error naming the
// text, when a number cannot be read ("1.2.3", a lone "-", an integer beyond 32 bits).
bool ParseArguments(TWKDemoScriptParams& params, std::string_view text, std::string& error);
