#pragma once
// The rules for turning field text into numbers and numbers into field text.
// Field text is UTF-16 code units; every text produced here is plain ASCII.
// Nothing here consults the locale: "." is the only decimal point.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/fixed_text.h"

namespace quorvel {

// The number at the start of the text. Spaces, tabs and line feeds are
// removed wherever they stand; the exponent letter is E or D in either case;
// whatever cannot continue the number ends it. The result is the double
// nearest to the decimal number read, however many digits it has (exact ties
// to even). Text with no number at its start reads as 0; a number too large
// for a double is Overflow, one too small for it reads as a zero of its sign.
//   ReadNumber("25 NYQUIST!") -> 25
//   ReadNumber("1 000") -> 1000
//   ReadNumber("2,5") -> 2
//   ReadNumber("abc") -> 0
//   ReadNumber("1D3") -> 1000
//   ReadNumber("1e400") -> Overflow
//   ReadNumber("1e-400") -> 0
double ReadNumber(std::u16string_view text);

// The bit-size box: the whole text must be one number (spaces around it
// allowed, exponent letter E only), rounded to the nearest whole number with
// ties to the even one, and within -32768...32767. The rounding looks at the
// number as written, every digit of it, not at a double near it.
//   ReadBitSize(" 32 ") -> 32
//   ReadBitSize("32.5") -> 32
//   ReadBitSize("33.5") -> 34
//   ReadBitSize("30.50000000000000001") -> 31
//   ReadBitSize("32767.4999999999999999") -> 32767
//   ReadBitSize("32 bits") -> Type mismatch
//   ReadBitSize("40000") -> Overflow
std::int16_t ReadBitSize(std::u16string_view text);

// Every decimal text fits: a sign, 15 digits, a point and up to 15 more
// digits, or a sign, 15 digits, a point and an exponent such as "E-324".
inline constexpr std::size_t kNumberTextCapacity = 40;
using NumberText = FixedText<kNumberTextCapacity>;

// The double's exact value rounded to 15 significant digits (exact halves to
// the even digit), trailing zeros dropped, a blank or "-" in front. Plain
// positional form without a "0" before the point from 1E-04 up to 1E+15 when
// at most 15 digits follow the point; exponent form ("E", sign, at least two
// digits) otherwise. A value that is not finite is Overflow.
//   DecimalText(100) -> " 100"
//   DecimalText(0.5) -> " .5"
//   DecimalText(-100) -> "-100"
//   DecimalText(1e15) -> " 1E+15"
//   DecimalText(0.041666666666666664) -> " 4.16666666666667E-02"
//   DecimalText(1e-5) -> " 1E-05"
//   DecimalText(23.84185791015625) -> " 23.8418579101562"
NumberText DecimalText(double value);

// Upper-case hexadecimal of a 32-bit value, no prefix and no leading zeros,
// the 32-bit two's complement below zero. A double is first rounded to the
// nearest whole number, ties to even, and must then fit 32 bits.
//   HexText(65535) -> "FFFF"
//   HexText(-1) -> "FFFFFFFF"
//   HexText(2.5) -> "2"
//   HexText(2147483648) -> Overflow
std::u16string HexText(double value);
std::u16string HexText(std::int32_t value);

// The digits of HexText(std::int32_t) without a heap allocation, for callers
// that assemble longer texts from them.
inline constexpr std::size_t kMaxHexDigits = 8;
FixedText<kMaxHexDigits> HexDigits(std::int32_t value);

// The largest whole number not above the value, still a double.
//   WholePart(2.7) -> 2
//   WholePart(-2.5) -> -3
double WholePart(double value);

// The nearest 32-bit integer, ties to even; Overflow outside 32 bits.
//   NearestInt32(2.5) -> 2
//   NearestInt32(-3.5) -> -4
//   NearestInt32(2147483647.5) -> Overflow
std::int32_t NearestInt32(double value);

}  // namespace quorvel
