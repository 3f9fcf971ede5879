#include "core/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/decimal_scan.h"
#include "core/run_error.h"

namespace quorvel {
namespace {

constexpr double kInt32Min = -2147483648.0;
constexpr double kInt32Max = 2147483647.0;
constexpr std::int32_t kInt16Min = -32768;
constexpr std::int32_t kInt16Max = 32767;
// A whole number of more integer digits than this is outside 16 bits
// whatever its digits; up to this many fit an int32_t with room to spare.
constexpr std::int64_t kMaxInt16IntegerDigits = 5;

// 15 significant digits: 1 before the point and 14 after in scientific form.
constexpr int kSignificantDigits = 15;
// The plain form holds at most this many digits after the point...
constexpr int kMaxPlainFractionDigits = 15;
// ...and is used from 1E-04 up to, not including, 1E+15.
constexpr int kSmallestPlainExponent = -4;
constexpr int kLargestPlainExponent = 14;

// Nearest whole number, ties to the even one, as a double. No integer
// conversion happens here, so any double is safe, NaN and infinities included.
double RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;  // exact: both lie within one unit
    if (fraction > 0.5) return floor + 1;
    if (fraction < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1;
}

// The magnitude rounded to 15 significant digits: digits without trailing
// zeros, and the power of ten of the first digit.
struct RoundedMagnitude {
    std::array<char, kSignificantDigits> digit_storage;  // only the first count are set
    std::size_t count = 0;
    int exponent = 0;
    std::string_view digits() const { return {digit_storage.data(), count}; }
};

// The number rounded to the nearest whole number, ties to even, decided from
// its decimal digits alone (no double in between, so no digit is lost
// however many are written), if it lies within 16 bits; nothing otherwise.
// One pass over the digits.
//   0.50000000000000000001 -> 1    0.5 -> 0    1.5 -> 2
//   -32768.5 -> -32768    -32768.5000000000000001 -> nothing
std::optional<std::int32_t> NearestWholeInInt16(const DecimalNumber& number) {
    const std::string_view digits = number.digits;  // value = 0.digits * 10^exponent
    if (digits.empty()) return 0;
    if (number.exponent > kMaxInt16IntegerDigits) return std::nullopt;

    // The whole part: the first `exponent` digits, zeros standing in for
    // those not written. None below 1.
    const std::size_t integer_digits =
        number.exponent > 0 ? static_cast<std::size_t>(number.exponent) : 0;
    std::int32_t whole = 0;
    for (std::size_t i = 0; i < integer_digits; ++i) {
        whole = whole * 10 + (i < digits.size() ? digits[i] - '0' : 0);
    }

    // The fraction: the digits after those, behind -exponent zeros when the
    // number is below 0.1. Digits hold no trailing zeros, so a fraction that
    // starts with 5 is exactly a half only when that 5 is its last digit.
    if (number.exponent >= 0 && integer_digits < digits.size()) {
        const std::string_view fraction = digits.substr(integer_digits);
        const bool above_half = fraction[0] > '5' || (fraction[0] == '5' && fraction.size() > 1);
        const bool half = fraction == "5";
        if (above_half || (half && whole % 2 != 0)) ++whole;
    }

    const std::int32_t value = number.negative ? -whole : whole;
    if (value < kInt16Min || value > kInt16Max) return std::nullopt;
    return value;
}

RoundedMagnitude RoundTo15Digits(double magnitude) {
    // to_chars rounds the exact binary value, exact halves to even:
    // "d.ddddddddddddddde+XX".
    char buffer[32];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), magnitude,
                                      std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');

    RoundedMagnitude rounded;
    rounded.digit_storage[0] = text[0];
    const std::string_view fraction = text.substr(2, e - 2);
    std::copy(fraction.begin(), fraction.end(), rounded.digit_storage.begin() + 1);
    rounded.count = 1 + fraction.size();
    while (rounded.count > 1 && rounded.digit_storage[rounded.count - 1] == '0') --rounded.count;

    const std::string_view exponent = text.substr(e + 1);
    // from_chars takes no "+": skip it.
    const std::size_t skip = exponent.front() == '+' ? 1 : 0;
    std::from_chars(exponent.data() + skip, exponent.data() + exponent.size(), rounded.exponent);
    return rounded;
}

void PutPlainForm(const RoundedMagnitude& m, NumberText& out) {
    const std::string_view digits = m.digits();
    const auto count = static_cast<int>(digits.size());
    if (m.exponent >= 0) {
        const int integer_digits = m.exponent + 1;
        if (count <= integer_digits) {
            out.Put(digits);
            out.Repeat('0', static_cast<std::size_t>(integer_digits - count));
        } else {
            const auto split = static_cast<std::size_t>(integer_digits);
            out.Put(digits.substr(0, split));
            out.Put('.');
            out.Put(digits.substr(split));
        }
    } else {
        // No "0" before the point.
        out.Put('.');
        out.Repeat('0', static_cast<std::size_t>(-m.exponent - 1));
        out.Put(digits);
    }
}

void PutExponentForm(const RoundedMagnitude& m, NumberText& out) {
    const std::string_view digits = m.digits();
    out.Put(digits[0]);
    if (digits.size() > 1) {
        out.Put('.');
        out.Put(digits.substr(1));
    }
    out.Put('E');
    out.Put(m.exponent < 0 ? '-' : '+');
    const int magnitude = m.exponent < 0 ? -m.exponent : m.exponent;
    if (magnitude < 10) out.Put('0');  // at least two exponent digits
    char buffer[8];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), magnitude);
    out.Put(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

bool NeedsExponentForm(const RoundedMagnitude& m) {
    if (m.exponent > kLargestPlainExponent || m.exponent < kSmallestPlainExponent) return true;
    const int fraction_digits = static_cast<int>(m.count) - 1 - m.exponent;
    return fraction_digits > kMaxPlainFractionDigits;
}

}  // namespace

double ReadNumber(std::u16string_view text) {
    const std::optional<DecimalNumber> number = ScanNumberAtStart(text);
    return number ? NearestDouble(*number) : 0.0;
}

std::int16_t ReadBitSize(std::u16string_view text) {
    const std::optional<DecimalNumber> number = ScanWholeNumber(text);
    if (!number) throw RunTimeError(ErrorKind::kTypeMismatch);

    const std::optional<std::int32_t> rounded = NearestWholeInInt16(*number);
    if (!rounded) throw RunTimeError(ErrorKind::kOverflow);
    return static_cast<std::int16_t>(*rounded);
}

NumberText DecimalText(double value) {
    if (!std::isfinite(value)) throw RunTimeError(ErrorKind::kOverflow);
    NumberText text;
    if (value == 0) {  // either sign
        text.Put(" 0");
        return text;
    }

    const RoundedMagnitude magnitude = RoundTo15Digits(std::fabs(value));
    text.Put(std::signbit(value) ? '-' : ' ');
    if (NeedsExponentForm(magnitude)) {
        PutExponentForm(magnitude, text);
    } else {
        PutPlainForm(magnitude, text);
    }
    return text;
}

std::u16string HexText(double value) { return HexText(NearestInt32(value)); }

std::u16string HexText(std::int32_t value) { return HexDigits(value); }

FixedText<kMaxHexDigits> HexDigits(std::int32_t value) {
    // Two's complement of a negative value: the conversion to unsigned is
    // defined as modulo 2^32.
    constexpr int kHexBase = 16;
    char buffer[kMaxHexDigits];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer),
                                      static_cast<std::uint32_t>(value), kHexBase);
    FixedText<kMaxHexDigits> digits;
    for (const char* p = buffer; p != result.ptr; ++p) {
        const char c = *p;
        digits.Put(c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return digits;
}

double WholePart(double value) { return std::floor(value); }

std::int32_t NearestInt32(double value) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= kInt32Min && rounded <= kInt32Max)) throw RunTimeError(ErrorKind::kOverflow);
    return static_cast<std::int32_t>(rounded);
}

}  // namespace quorvel
