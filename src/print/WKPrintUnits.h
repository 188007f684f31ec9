// The units of the print layout's fields and the numbers typed into and shown in them. Texts
// use the platform's decimal separator, given by the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum : int {
  PrintUnitMillimeter = 0,
  PrintUnitCentimeter = 1,
  PrintUnitInch = 2,
  PrintUnitPoint = 3,
  PrintUnitCount = 4,
};

// The language string of the unit's caption; 0 for an index outside the table.
int PrintUnitCaptionId(int unit);
// value in the unit as hundredths of a millimetre (through single precision, halves to even);
// false for an index outside the table.
bool PrintUnitToHiMetric(int unit, double value, int32_t& result);
// value in the unit with at most three decimals and no trailing zeros; empty for an index
// outside the table.
std::string PrintUnitText(int unit, int32_t hiMetric, const std::string& decimalSeparator);
// scale (1 = 100 %) as per cent with at most two decimals, no leading zero, and "%".
std::string PrintScaleText(double scale, const std::string& decimalSeparator);

// A decimal number: an optional "-", digits with at most one decimal separator (digits on at
// least one side of it) and an optional exponent. Blanks, "+", "inf", "nan" and hexadecimal
// are not numbers.
bool ParsePrintNumber(std::string_view text, const std::string& decimalSeparator, double& value);
// The general form with up to 15 significant digits.
std::string FormatPrintNumber(double value, const std::string& decimalSeparator);

enum class TWKPrintField { Left, Top, Width, Height, Scale };

// Whether the character typed into a field is taken. The caret's selection runs from
// selectionStart to selectionEnd (byte offsets into text); "," and "." are taken as the
// decimal separator, which replaces them in inserted.
bool AcceptPrintFieldKey(TWKPrintField field, std::string_view text, size_t selectionStart,
                         size_t selectionEnd, char typed, const std::string& decimalSeparator,
                         std::string& inserted);
// The text a field keeps when the user leaves it: the number written back in its general
// form ("0" for anything else), the scale with "%".
std::string PrintFieldExitText(TWKPrintField field, std::string_view text,
                               const std::string& decimalSeparator);
