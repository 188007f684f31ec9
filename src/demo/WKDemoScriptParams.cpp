#include "demo/WKDemoScriptParams.h"

#include <charconv>
#include <cmath>
#include <variant>

#include "demo/WKDemoTexts.h"

namespace {

// Far more than any command takes; keeps a hostile line from building a huge list.
constexpr int kMaxArguments = 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNumberChar(char c) { return c == '+' || c == '-' || c == '.' || c == 'E' || (c >= '0' && c <= '9'); }

class TArgumentReader {
 public:
  TArgumentReader(TWKDemoScriptParams& params, std::string_view text) : Params_(params), Text_(text) {}

  bool Run(std::string& error) {
    while (Pos_ < Text_.size()) {
      SkipBlanks();
      if (Pos_ >= Text_.size()) break;
      if (Params_.Count() >= kMaxArguments) return Fail(DemoText(TWKDemoText::InvalidArguments), error);
      if (!ReadOne(error)) return false;
      SkipBlanks();
      if (Pos_ >= Text_.size() || Text_[Pos_] != ',') break;
      ++Pos_;
    }
    return true;
  }

 private:
  void SkipBlanks() {
    while (Pos_ < Text_.size() && IsBlank(Text_[Pos_])) ++Pos_;
  }

  bool Fail(const std::string& message, std::string& error) {
    error = message;
    return false;
  }

  bool ReadOne(std::string& error) {
    const char c = Text_[Pos_];
    if (c == '"' || c == '\'') {
      ReadQuoted(c);
      return true;
    }
    if (c == '+' || c == '-' || (c >= '0' && c <= '9')) return ReadNumber(error);
    if (Text_.substr(Pos_, 5) == "false") {
      Pos_ += 5;
      Params_.AddInteger(0);
      return true;
    }
    if (Text_.substr(Pos_, 4) == "true") {
      Pos_ += 4;
      Params_.AddInteger(-1);
      return true;
    }
    const size_t start = Pos_;
    while (Pos_ < Text_.size() && !IsBlank(Text_[Pos_]) && Text_[Pos_] != ',') ++Pos_;
    Params_.AddString(std::string(Text_.substr(start, Pos_ - start)));
    return true;
  }

  // Up to the closing quote or the end; backslash-n becomes a line feed, a doubled quote one
  // quote character.
  void ReadQuoted(char quote) {
    std::string value;
    ++Pos_;
    while (Pos_ < Text_.size()) {
      if (Text_[Pos_] == quote) {
        if (Pos_ + 1 >= Text_.size() || Text_[Pos_ + 1] != quote) break;
        value += quote;
        Pos_ += 2;
        continue;
      }
      if (Text_[Pos_] == '\\' && Pos_ + 1 < Text_.size() && Text_[Pos_ + 1] == 'n') {
        value += '\n';
        Pos_ += 2;
        continue;
      }
      value += Text_[Pos_++];
    }
    if (Pos_ < Text_.size()) ++Pos_;
    Params_.AddString(value);
  }

  bool ReadNumber(std::string& error) {
    const size_t start = Pos_;
    bool real = false;
    while (Pos_ < Text_.size() && IsNumberChar(Text_[Pos_])) {
      real = real || Text_[Pos_] == '.' || Text_[Pos_] == 'E';
      ++Pos_;
    }
    const std::string_view token = Text_.substr(start, Pos_ - start);
    std::string_view digits = token;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-' && digits[1] != '+')
      digits.remove_prefix(1);
    const char* end = digits.data() + digits.size();
    if (real) {
      double value = 0;
      const auto r = std::from_chars(digits.data(), end, value, std::chars_format::general);
      if (r.ec != std::errc() || r.ptr != end || !std::isfinite(value))
        return Fail(DemoText(TWKDemoText::BadNumber, std::string(token)), error);
      Params_.AddDouble(value);
      return true;
    }
    int32_t value = 0;
    const auto r = std::from_chars(digits.data(), end, value);
    if (r.ec != std::errc() || r.ptr != end)
      return Fail(DemoText(TWKDemoText::BadNumber, std::string(token)), error);
    Params_.AddInteger(value);
    return true;
  }

  TWKDemoScriptParams& Params_;
  std::string_view Text_;
  size_t Pos_ = 0;
};

}  // namespace

bool TWKDemoScriptParams::IsNumber(int index) const {
  double value;
  return Number(index, value);
}

bool TWKDemoScriptParams::Number(int index, double& value) const {
  const TWKVariant v = GetVariant(index);
  if (const auto* i = std::get_if<int32_t>(&v)) {
    value = *i;
    return true;
  }
  if (const auto* d = std::get_if<double>(&v)) {
    value = *d;
    return true;
  }
  return false;
}

std::string TWKDemoScriptParams::Text(int index) const {
  const TWKVariant v = GetVariant(index);
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* i = std::get_if<int32_t>(&v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&v)) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, *d);
    return std::string(buffer, r.ptr);
  }
  return {};
}

bool ParseArguments(TWKDemoScriptParams& params, std::string_view text, std::string& error) {
  params.Clear();
  error.clear();
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return true;
  text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
  return TArgumentReader(params, text).Run(error);
}
