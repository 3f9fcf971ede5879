#pragma once
// The rules for turning field text into numbers and numbers into field text.
// Field text is UTF-16 code units; every text produced here is plain ASCII.
// Nothing here consults the locale: "." is the only decimal point.
//
// ReadNumber: the number at the start of the text, blanks ignored anywhere.
//   "25 NYQUIST!" -> 25    "1 000" -> 1000    "2,5" -> 2    "abc" -> 0
//   "1D3" -> 1000          "1e400" -> Overflow             "1e-400" -> 0
//   The result is the double nearest to the decimal number read, however many
//   digits it has (ties to even).
//
// ReadBitSize: the whole text must be one number; rounded to a whole number,
// ties to even, and it must fit 16 bits.
//   " 32 " -> 32    "32.5" -> 32    "33.5" -> 34    "32 bits" -> Type mismatch
//   "40000" -> Overflow
//
// DecimalText: 15 significant digits of the double's exact value, rounded to
// nearest with exact halves going to the even digit; a blank or "-" first.
//   100 -> " 100"    0.5 -> " .5"    -100 -> "-100"    1e15 -> " 1E+15"
//   1/24 -> " 4.16666666666667E-02"    1e-5 -> " 1E-05"
//   23.84185791015625 -> " 23.8418579101562" (a tie, to even)
//
// HexText: upper-case hexadecimal of a 32-bit value, two's complement below 0.
//   65535 -> "FFFF"    -1 -> "FFFFFFFF"    2147483648 -> Overflow
//   A double is first rounded to nearest, ties to even (2.5 -> "2").
//
// WholePart: toward minus infinity (2.7 -> 2, -2.5 -> -3).
// NearestInt32: to nearest, ties to even, Overflow outside 32 bits.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

double ReadNumber(std::u16string_view text);
std::int16_t ReadBitSize(std::u16string_view text);
std::u16string DecimalText(double value);
std::u16string HexText(double value);
std::u16string HexText(std::int32_t value);
double WholePart(double value);
std::int32_t NearestInt32(double value);

}  // namespace quorvel
