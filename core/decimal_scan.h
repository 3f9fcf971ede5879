#pragma once
// Reading a decimal number out of field text, digit for digit, before any
// rounding: the shared first half of ReadNumber and ReadBitSize, and of
// whatever needs the exact value a field holds rather than its double.
// Internal to the core.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// A decimal number exactly as written: (-1)^negative * 0.digits * 10^exponent.
// `digits` holds ASCII digits, starting with a non-zero one and without
// trailing zeros; no digits means zero (of the written sign). Exponents are
// saturated far beyond the double range (at +-2^50), so a pasted exponent of
// any length stays finite. Written below as {sign, digits, exponent}.
struct DecimalNumber {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;
};

// The number at the start of the text, with every space, tab and line feed
// removed wherever it stands, an exponent letter E or D in either case, and
// the rest of the text ignored. Nothing when the text starts with no number.
//   ScanNumberAtStart("-12.50 MHz") -> {-, "125", 2}
//   ScanNumberAtStart("0.0031") -> {+, "31", -2}
//   ScanNumberAtStart("7 D3") -> {+, "7", 4}
//   ScanNumberAtStart("0.000") -> {+, "", 0}
//   ScanNumberAtStart("abc") -> nothing
std::optional<DecimalNumber> ScanNumberAtStart(std::u16string_view text);

// The whole text as one number, spaces allowed only around it and an
// exponent letter E only. Nothing when the text is anything else.
//   ScanWholeNumber(" 32.5 ") -> {+, "325", 2}
//   ScanWholeNumber("1E-3") -> {+, "1", -2}
//   ScanWholeNumber("32 bits") -> nothing
//   ScanWholeNumber("1D3") -> nothing
std::optional<DecimalNumber> ScanWholeNumber(std::u16string_view text);

// The double nearest to the number, exact ties to even. A number too large
// for a double is Overflow; one below half the smallest subnormal is a zero
// of the number's sign.
double NearestDouble(const DecimalNumber& number);

}  // namespace quorvel
