#include "core/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include <fmt/compile.h>
#include <fmt/format.h>

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

// A double's shortest form has at most 17 significant digits.
constexpr std::size_t kMaxShortestDigits = 17;

// A positive number's significant digits, without leading or trailing zeros,
// and the power of ten of the first digit.
struct SignificantDigits {
    std::array<char, kMaxShortestDigits> digit_storage;  // only the first count are set
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

// Any double as {fmt} writes it: at most 17 digits, a point, "0." and
// "e-324" or up to 4 leading zeros after the point.
constexpr std::size_t kFormattedCapacity = 32;

// A positive finite double as text, written by {fmt}: the same digits in
// every build, WebAssembly included (whose C++ library has no floating-point
// to_chars), and never the locale's.
class FormattedDouble {
public:
    // The fewest digits that read back as the same double, and of those the
    // nearest to it; in positional form or, for large and small magnitudes,
    // exponent form: "1250", "0.00125", "1.25e-07".
    static FormattedDouble Shortest(double magnitude) {
        FormattedDouble text;
        text.end_ = fmt::format_to(text.buffer_.data(), FMT_COMPILE("{}"), magnitude);
        return text;
    }
    // The exact binary value rounded to 15 significant digits, exact halves
    // to even: "1.25000000000000e-07".
    static FormattedDouble Significant15(double magnitude) {
        FormattedDouble text;
        text.end_ = fmt::format_to(text.buffer_.data(), FMT_COMPILE("{:.14e}"), magnitude);
        return text;
    }
    std::string_view view() const {
        return {buffer_.data(), static_cast<std::size_t>(end_ - buffer_.data())};
    }

private:
    std::array<char, kFormattedCapacity> buffer_;
    char* end_ = nullptr;
};
static_assert(kSignificantDigits == 15, "FormattedDouble::Significant15 writes 14 digits after the first");

// The text without its trailing zeros.
std::string_view WithoutTrailingZeros(std::string_view digits) {
    return digits.substr(0, digits.find_last_not_of('0') + 1);  // npos + 1 == 0
}

// The significant digits of a text from FormattedDouble.
//   "1250" -> {"125", 3}    "0.00125" -> {"125", -3}    "1.25e-07" -> {"125", -7}
SignificantDigits SignificantDigitsOf(std::string_view text) {
    const std::size_t e = text.find('e');
    int exponent = 0;
    if (e != std::string_view::npos) {
        // from_chars takes no "+": skip it.
        const std::size_t first = text[e + 1] == '+' ? e + 2 : e + 1;
        std::from_chars(text.data() + first, text.data() + text.size(), exponent);
    }
    const std::string_view mantissa = text.substr(0, e);
    const std::size_t point = mantissa.find('.');
    std::string_view whole = mantissa.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
    SignificantDigits significant;
    significant.exponent = static_cast<int>(whole.size()) - 1 + exponent;
    if (whole == "0") {
        // Below 1: the digits start at the fraction's first non-zero one.
        const std::size_t zeros = fraction.find_first_not_of('0');
        whole = {};
        fraction.remove_prefix(zeros);
        significant.exponent = -static_cast<int>(zeros) - 1 + exponent;
    }
    fraction = WithoutTrailingZeros(fraction);
    if (fraction.empty()) whole = WithoutTrailingZeros(whole);
    significant.count = whole.size() + fraction.size();
    if (significant.count > kMaxShortestDigits) throw std::length_error("more digits than a double has");
    std::copy(fraction.begin(), fraction.end(),
              std::copy(whole.begin(), whole.end(), significant.digit_storage.begin()));
    return significant;
}

// Shortest digits, 16 or 17 of them and not exactly halfway between two
// 15-digit numbers, rounded to 15 digits (a tie cannot arise).
//   {"99999999999999999", 2} -> {"1", 3}    {"12345678901234549", 0} -> {"123456789012345", 0}
SignificantDigits RoundedTo15(SignificantDigits shortest) {
    const auto kept_digits = static_cast<std::size_t>(kSignificantDigits);
    const std::string_view digits = shortest.digits();
    std::uint64_t kept = 0;
    std::from_chars(digits.data(), digits.data() + kept_digits, kept);
    // Digits have no trailing zeros, and "5" alone is the excluded half.
    if (digits.substr(kept_digits) > "5") ++kept;

    SignificantDigits rounded;
    const auto written = std::to_chars(rounded.digit_storage.data(),
                                       rounded.digit_storage.data() + kMaxShortestDigits, kept);
    const std::size_t length = static_cast<std::size_t>(written.ptr - rounded.digit_storage.data());
    // 999999999999999 rounded up has a 16th digit: a power of ten more.
    rounded.exponent = shortest.exponent + (length > kept_digits ? 1 : 0);
    rounded.count = WithoutTrailingZeros(std::string_view(rounded.digit_storage.data(), length)).size();
    return rounded;
}

SignificantDigits RoundTo15Digits(double magnitude) {
    // For a normal double, half a unit in the last place is below a ninth of
    // a unit in the 15th significant digit. So a shortest form of at most 15
    // digits is already the exact value rounded to 15 digits. One of 16 or 17
    // digits rounds the same way as the exact value unless it is itself a
    // halfway point ("...5" at the 16th digit): any halfway point nearer to
    // the value, and so nearer than the shortest form, would have been a
    // shorter form or a nearer one of the same length. The shortest form is
    // much cheaper to find than the exact rounding. Subnormals have fewer
    // bits, and so no such margin.
    if (magnitude >= std::numeric_limits<double>::min()) {
        const SignificantDigits shortest = SignificantDigitsOf(FormattedDouble::Shortest(magnitude).view());
        const std::string_view digits = shortest.digits();
        if (digits.size() <= static_cast<std::size_t>(kSignificantDigits)) return shortest;
        if (digits.substr(static_cast<std::size_t>(kSignificantDigits)) != "5") return RoundedTo15(shortest);
    }
    return SignificantDigitsOf(FormattedDouble::Significant15(magnitude).view());
}

void PutPlainForm(const SignificantDigits& m, NumberText& out) {
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

void PutExponentForm(const SignificantDigits& m, NumberText& out) {
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

bool NeedsExponentForm(const SignificantDigits& m) {
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

    const SignificantDigits magnitude = RoundTo15Digits(std::fabs(value));
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
