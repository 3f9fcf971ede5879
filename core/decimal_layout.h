#pragma once
// Writing exact values as decimal text: the rounding and the layout every
// exact figure shares, and exact rational numbers written through them.
// Internal to the core (GMP in the interface).

#include <gmpxx.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/decimal_scan.h"
#include "core/exact_figures.h"

namespace quorvel {

// Positional notation from 1e-7 up to below 1e21; exponent form beyond.
inline constexpr std::int64_t kLowestPositionalExponent = -6;
inline constexpr std::int64_t kHighestPositionalExponent = 21;

// Rounds the digit string to `significant` digits, halves to even; `sticky`
// says whether non-zero digits follow the string. A carry out of the first
// digit ("999" -> "1000") moves the decimal exponent up by one.
//   "12345", 3 -> "123"    "12350", 3 -> "124"    "125", 2 -> "12"
void RoundDigits(std::string& digits, std::size_t significant, bool sticky, std::int64_t& exponent);

// Writes -?0.digits * 10^exponent the way JavaScript writes numbers:
//   "125", 2 -> "12.5"    "1", -7 -> "1e-8"    "5", 22 -> "5e+21"
std::string Layout(bool negative, std::string_view digits, std::int64_t exponent);

// A rational number whose denominator has no prime factor but 2 and 5, in
// full; nothing for any other.
//   1825/96 -> nothing    3/8 -> "0.375"    144/100 -> "1.44"    -7 -> "-7"
std::optional<std::string> FiniteDecimalText(const mpq_class& value);

// A rational number rounded once to `significant` digits, halves to even,
// trailing zeros dropped.
//   1825/96, 15 -> "19.0104166666667"    2/3, 3 -> "0.667"
std::string RoundedText(const mpq_class& value, int significant);

// "a/b" in lowest terms, "a" for a whole number: 1825/96, -3/8, 7.
std::string FractionText(const mpq_class& value);

// The exact value of a scanned number; nothing when it needs more than
// kMaxExactDigits digits written out (see exact_figures.h).
//   {-, "125", 2} -> -25/2    {+, "1", -2000000} -> nothing
std::optional<mpq_class> ExactValue(const DecimalNumber& number);

// A word typed in decimal or after "0x" in hexadecimal, blanks allowed as
// the hex fields show them, as a whole number, or why it is none; its
// range is the caller's to check.
//   "0x 4000 0000" -> 1073741824    "1e3" -> 1000    "1.5" -> kNotWhole
std::variant<mpz_class, WordTextFault> ReadWholeWord(std::u16string_view text);

}  // namespace quorvel
