#include "print/WKPrintUnits.h"

#include <charconv>
#include <cmath>

#include "view/WKMapMode.h"

namespace {

// Language strings of the unit captions: mm, cm, in, pt.
constexpr int kUnitCaptions[PrintUnitCount] = {509, 510, 759, 760};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string WithSeparator(std::string text, const std::string& decimalSeparator) {
  const size_t dot = text.find('.');
  if (dot != std::string::npos) text.replace(dot, 1, decimalSeparator);
  return text;
}

// At most decimals digits after the point, trailing zeros and a bare point dropped.
std::string FixedText(double value, int decimals) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "0";
  std::string text(buffer, result.ptr);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

int PrintUnitCaptionId(int unit) {
  return unit >= 0 && unit < PrintUnitCount ? kUnitCaptions[unit] : 0;
}

bool PrintUnitToHiMetric(int unit, double value, int32_t& result) {
  const auto single = static_cast<float>(value);
  switch (unit) {
    case PrintUnitMillimeter: result = TWKHiMetric::FromMillimeters(single); return true;
    case PrintUnitCentimeter: result = TWKHiMetric::FromCentimeters(single); return true;
    case PrintUnitInch: result = TWKHiMetric::FromInches(single); return true;
    case PrintUnitPoint: result = TWKHiMetric::FromPoints(single); return true;
    default: return false;
  }
}

std::string PrintUnitText(int unit, int32_t hiMetric, const std::string& decimalSeparator) {
  float value = 0;
  switch (unit) {
    case PrintUnitMillimeter: value = TWKHiMetric::ToMillimeters(hiMetric); break;
    case PrintUnitCentimeter: value = TWKHiMetric::ToCentimeters(hiMetric); break;
    case PrintUnitInch: value = TWKHiMetric::ToInches(hiMetric); break;
    case PrintUnitPoint: value = TWKHiMetric::ToPoints(hiMetric); break;
    default: return {};
  }
  return WithSeparator(FixedText(value, 3), decimalSeparator);
}

std::string PrintScaleText(double scale, const std::string& decimalSeparator) {
  std::string text = FixedText(scale * 100.0, 2);
  // The pattern shows no digit for a zero integer part.
  if (text == "0") text.clear();
  else if (text.rfind("0.", 0) == 0) text.erase(0, 1);
  else if (text.rfind("-0.", 0) == 0) text.erase(1, 1);
  return WithSeparator(text, decimalSeparator) + "%";
}

namespace {

// Appends the digits at text[i...] to plain; their count.
size_t TakeDigits(std::string_view text, size_t& i, std::string& plain) {
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) plain += text[i++], ++digits;
  return digits;
}

// An optional exponent ("e", a sign, digits); false when the "e" has no digits.
bool TakeExponent(std::string_view text, size_t& i, std::string& plain) {
  if (i >= text.size() || (text[i] != 'e' && text[i] != 'E')) return true;
  plain += text[i++];
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
  return TakeDigits(text, i, plain) > 0;
}

}  // namespace

bool ParsePrintNumber(std::string_view text, const std::string& decimalSeparator, double& value) {
  std::string plain;
  size_t i = 0;
  if (i < text.size() && text[i] == '-') plain += text[i++];
  size_t digits = TakeDigits(text, i, plain);
  if (!decimalSeparator.empty() && text.substr(i, decimalSeparator.size()) == decimalSeparator) {
    i += decimalSeparator.size();
    plain += '.';
    digits += TakeDigits(text, i, plain);
  }
  if (digits == 0 || !TakeExponent(text, i, plain) || i != text.size()) return false;
  if (plain.back() == '.') plain.pop_back();
  double parsed = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), parsed);
  if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) return false;
  if (!std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

std::string FormatPrintNumber(double value, const std::string& decimalSeparator) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  if (result.ec != std::errc()) return "0";
  return WithSeparator(std::string(buffer, result.ptr), decimalSeparator);
}

bool AcceptPrintFieldKey(TWKPrintField field, std::string_view text, size_t selectionStart,
                         size_t selectionEnd, char typed, const std::string& decimalSeparator,
                         std::string& inserted) {
  const bool scale = field == TWKPrintField::Scale;
  const bool position = field == TWKPrintField::Left || field == TWKPrintField::Top;
  const bool caretAtEnd = selectionStart >= text.size();
  inserted.assign(1, typed);
  if (typed == '\b') return true;
  if (IsDigit(typed)) return !(scale && EndsWith(text, "%") && caretAtEnd);
  if (typed == ',' || typed == '.') {
    inserted = decimalSeparator;
    return selectionStart != 0;
  }
  if (typed == '-') return position && selectionStart == 0;
  if (typed == '%')
    return scale && !text.empty() && !EndsWith(text, "%") && selectionEnd >= text.size();
  return false;
}

std::string PrintFieldExitText(TWKPrintField field, std::string_view text,
                               const std::string& decimalSeparator) {
  std::string rest(text);
  const size_t percent = rest.find('%');
  if (percent != std::string::npos) rest.erase(percent, 1);
  if (!decimalSeparator.empty() && EndsWith(rest, decimalSeparator))
    rest.erase(rest.size() - decimalSeparator.size());
  double value = 0;
  std::string result =
      ParsePrintNumber(rest, decimalSeparator, value) ? FormatPrintNumber(value, decimalSeparator) : "0";
  if (field == TWKPrintField::Scale) result += "%";
  return result;
}
