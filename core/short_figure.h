#pragma once
// Figures at a glance: a frequency or error in a few grouped digits with an
// SI prefix, the form every front end shows first, before the figure in
// full. Standard library only.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

// An exact value given by its leading decimal digits:
// (-1)^negative * 0.digits * 10^exponent, plus something below the last
// digit given when `more` is set. `digits` are ASCII digits starting with a
// non-zero one; none means zero. Written below as a quoted decimal number,
// with "..." after it for `more`.
struct LeadingDigits {
    bool negative = false;
    std::string_view digits;
    std::int64_t exponent = 0;
    bool more = false;
};

// Six significant digits: enough to tell a hertz from a millihertz at any
// prefix, few enough to take in at once.
inline constexpr int kShortSignificantDigits = 6;

// Whether the unit takes an SI prefix: hertz do, parts per billion do not.
enum class UnitPrefix { kSi, kNone };

// The value rounded once, from its exact digits, to kShortSignificantDigits
// significant digits, an exact half to the even digit, trailing zeros kept;
// then written with its sign ("+" or "-"), the digits grouped in threes on
// either side of the point with a plain space, a space and the unit.
// With UnitPrefix::kSi the unit takes the prefix p, n, µ (U+00B5), m, none,
// k, M or G that puts one to three digits before the point; the prefix is
// chosen after rounding, so a carry moves to the next one. Without a prefix
// the digits stand in place, zeros after the point or before it as needed.
// A rounded value below 10^-12 or from 10^12 up takes no prefix and is
// written as one digit, the point, the rest and "e" with a signed exponent.
// Zero is "0" and the unit, without a sign.
//   ShortFigure("0.00000017894399206852540374", "Hz") -> "+178.944 nHz"
//   ShortFigure("-1.2548709311536142444e-9", "Hz") -> "-1.254 87 nHz"
//   ShortFigure("23711649.000000178944", "Hz") -> "+23.711 6 MHz"
//   ShortFigure("0.0009999995", "Hz") -> "+1.000 00 mHz"
//   ShortFigure("0.0009999994999", "Hz") -> "+999.999 µHz"
//   ShortFigure("0.0009999994999...", "Hz") -> "+999.999 µHz"
//   ShortFigure("0.0009999995...", "Hz") -> "+1.000 00 mHz"
//   ShortFigure("1.2345650", "Hz") -> "+1.234 56 Hz"
//   ShortFigure("1.2345650...", "Hz") -> "+1.234 57 Hz"
//   ShortFigure("999999499999", "Hz") -> "+999.999 GHz"
//   ShortFigure("999999500000", "Hz") -> "+1.000 00e+12 Hz"
//   ShortFigure("0.0000000000009999995", "Hz") -> "+1.000 00 pHz"
//   ShortFigure("0.000000000000999999", "Hz") -> "+9.999 99e-13 Hz"
//   ShortFigure("-25000000", "Hz") -> "-25.000 0 MHz"
//   ShortFigure("0", "Hz") -> "0 Hz"
//   ShortFigure("0.000007546670081", "ppb", none) -> "+0.000 007 546 67 ppb"
//   ShortFigure("-1000000000", "ppb", none) -> "-1 000 000 000 ppb"
//   ShortFigure("1234.5678", "ppb", none) -> "+1 234.57 ppb"
//   ShortFigure("3e15", "ppb", none) -> "+3.000 00e+15 ppb"
std::string ShortFigure(const LeadingDigits& value, std::string_view unit, UnitPrefix prefix = UnitPrefix::kSi);

}  // namespace quorvel
