#include "core/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

#include "core/run_error.h"

namespace quorvel {
namespace {

constexpr double kInt32Min = -2147483648.0;
constexpr double kInt32Max = 2147483647.0;
constexpr double kInt16Min = -32768.0;
constexpr double kInt16Max = 32767.0;

// 15 significant digits: 1 before the point and 14 after in scientific form.
constexpr int kSignificantDigits = 15;
// The plain form holds at most this many digits after the point...
constexpr int kMaxPlainFractionDigits = 15;
// ...and is used from 1E-04 up to, not including, 1E+15.
constexpr int kSmallestPlainExponent = -4;
constexpr int kLargestPlainExponent = 14;

// Decimal exponents past which a number certainly overflows, or certainly
// lies below half the smallest subnormal, whatever its digits.
constexpr std::int64_t kCertainOverflowExponent = 310;
constexpr std::int64_t kCertainUnderflowExponent = -330;
// Saturation bound for exponents while reading, far beyond both of the above
// and far from the limits of a 64-bit integer.
constexpr std::int64_t kExponentSaturation = std::int64_t{1} << 50;

constexpr bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Blanks that the number reader removes wherever they stand.
constexpr bool IsIgnoredBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    const std::int64_t sum = a + b;  // both operands stay within +-2^51
    if (sum > kExponentSaturation) return kExponentSaturation;
    if (sum < -kExponentSaturation) return -kExponentSaturation;
    return sum;
}

// Walks a text one code unit at a time.
class PlainCursor {
public:
    explicit PlainCursor(std::u16string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    char16_t Peek() const { return AtEnd() ? u'\0' : text_[pos_]; }
    void Advance() { ++pos_; }

private:
    std::u16string_view text_;
    std::size_t pos_ = 0;
};

// Walks a text as if every ignored blank had been removed from it.
class BlankSkippingCursor {
public:
    explicit BlankSkippingCursor(std::u16string_view text) : text_(text) { SkipBlanks(); }
    bool AtEnd() const { return pos_ >= text_.size(); }
    char16_t Peek() const { return AtEnd() ? u'\0' : text_[pos_]; }
    void Advance() {
        ++pos_;
        SkipBlanks();
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() && IsIgnoredBlank(text_[pos_])) ++pos_;
    }
    std::u16string_view text_;
    std::size_t pos_ = 0;
};

// A decimal number as read: value = (-1)^negative * 0.digits * 10^exponent.
// `digits` starts with a non-zero digit; no digits means zero.
struct DecimalNumber {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;
};

enum class ExponentLetters { kEOnly, kEOrD };

bool IsExponentLetter(char16_t c, ExponentLetters letters) {
    if (c == u'E' || c == u'e') return true;
    return letters == ExponentLetters::kEOrD && (c == u'D' || c == u'd');
}

// Reads "[+|-]digits[.digits][(E|D)[+|-]digits]" from the cursor, leaving it
// just past the last character that belongs to the number. Nothing when the
// mantissa has no digit. An exponent letter without digits after it is not
// part of the number, so the cursor goes back to before the letter.
template <typename Cursor>
std::optional<DecimalNumber> ScanDecimal(Cursor& cursor, ExponentLetters letters) {
    DecimalNumber number;
    if (cursor.Peek() == u'+' || cursor.Peek() == u'-') {
        number.negative = cursor.Peek() == u'-';
        cursor.Advance();
    }

    bool any_digit = false;
    std::int64_t integer_digits = 0;        // integer digits kept after leading zeros
    std::int64_t leading_fraction_zeros = 0;  // zeros between the point and the first digit
    auto take_digit = [&](char16_t c, bool in_fraction) {
        any_digit = true;
        if (number.digits.empty() && c == u'0') {
            if (in_fraction) ++leading_fraction_zeros;
            return;
        }
        number.digits.push_back(static_cast<char>(c));
        if (!in_fraction) ++integer_digits;
    };
    for (; IsDigit(cursor.Peek()); cursor.Advance()) take_digit(cursor.Peek(), false);
    if (cursor.Peek() == u'.') {
        cursor.Advance();
        for (; IsDigit(cursor.Peek()); cursor.Advance()) take_digit(cursor.Peek(), true);
    }
    if (!any_digit) return std::nullopt;

    std::int64_t exponent = 0;
    if (IsExponentLetter(cursor.Peek(), letters)) {
        Cursor before_letter = cursor;
        cursor.Advance();
        bool exponent_negative = false;
        if (cursor.Peek() == u'+' || cursor.Peek() == u'-') {
            exponent_negative = cursor.Peek() == u'-';
            cursor.Advance();
        }
        if (!IsDigit(cursor.Peek())) {
            cursor = before_letter;
        } else {
            for (; IsDigit(cursor.Peek()); cursor.Advance()) {
                if (exponent < kExponentSaturation) exponent = exponent * 10 + (cursor.Peek() - u'0');
            }
            if (exponent > kExponentSaturation) exponent = kExponentSaturation;
            if (exponent_negative) exponent = -exponent;
        }
    }

    while (!number.digits.empty() && number.digits.back() == '0') number.digits.pop_back();
    const std::int64_t point_shift = integer_digits > 0 ? integer_digits : -leading_fraction_zeros;
    number.exponent = SaturatingAdd(std::min(point_shift, kExponentSaturation), exponent);
    return number;
}

// The double nearest to the number. Too large is Overflow; too small for the
// smallest subnormal is a zero of the number's sign.
double ToDouble(const DecimalNumber& number) {
    const double zero = number.negative ? -0.0 : 0.0;
    if (number.digits.empty()) return zero;
    // The number lies in [10^(exponent-1), 10^exponent).
    if (number.exponent > kCertainOverflowExponent) throw RunTimeError(ErrorKind::kOverflow);
    if (number.exponent < kCertainUnderflowExponent) return zero;

    // "-0." + digits + "e" + exponent. Ordinary numbers fit on the stack; a
    // pasted wall of digits goes to the heap, once.
    constexpr std::size_t kOverhead = 32;
    constexpr std::size_t kStackDigits = 64;
    std::array<char, kStackDigits + kOverhead> stack_buffer;
    std::string heap_buffer;
    char* begin = stack_buffer.data();
    if (number.digits.size() > kStackDigits) {
        heap_buffer.resize(number.digits.size() + kOverhead);
        begin = heap_buffer.data();
    }
    char* p = begin;
    if (number.negative) *p++ = '-';
    *p++ = '0';
    *p++ = '.';
    p = std::copy(number.digits.begin(), number.digits.end(), p);
    *p++ = 'e';
    p = std::to_chars(p, p + kOverhead - 4, number.exponent).ptr;

    double value = 0;
    const auto result = std::from_chars(begin, p, value);
    if (result.ec == std::errc::result_out_of_range) {
        if (number.exponent > 0) throw RunTimeError(ErrorKind::kOverflow);
        return zero;
    }
    return value;
}

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
            out.Repeat('0', integer_digits - count);
        } else {
            const auto split = static_cast<std::size_t>(integer_digits);
            out.Put(digits.substr(0, split));
            out.Put('.');
            out.Put(digits.substr(split));
        }
    } else {
        // No "0" before the point.
        out.Put('.');
        out.Repeat('0', -m.exponent - 1);
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
    BlankSkippingCursor cursor(text);
    const std::optional<DecimalNumber> number = ScanDecimal(cursor, ExponentLetters::kEOrD);
    return number ? ToDouble(*number) : 0.0;
}

std::int16_t ReadBitSize(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) throw RunTimeError(ErrorKind::kTypeMismatch);
    const std::size_t last = text.find_last_not_of(u' ');
    const std::u16string_view body = text.substr(first, last - first + 1);

    PlainCursor cursor(body);
    const std::optional<DecimalNumber> number = ScanDecimal(cursor, ExponentLetters::kEOnly);
    if (!number || !cursor.AtEnd()) throw RunTimeError(ErrorKind::kTypeMismatch);

    const double rounded = RoundHalfEven(ToDouble(*number));
    if (!(rounded >= kInt16Min && rounded <= kInt16Max)) throw RunTimeError(ErrorKind::kOverflow);
    return static_cast<std::int16_t>(rounded);
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

std::u16string HexText(std::int32_t value) { return std::u16string(HexDigits(value).view()); }

HexDigits::HexDigits(std::int32_t value) {
    // Two's complement of a negative value: the conversion to unsigned is
    // defined as modulo 2^32.
    char buffer[kMaxDigits];
    const auto result =
        std::to_chars(std::begin(buffer), std::end(buffer), static_cast<std::uint32_t>(value), 16);
    for (const char* p = buffer; p != result.ptr; ++p) {
        const char c = *p;
        digits_[size_++] = static_cast<char16_t>(c >= 'a' ? c - 'a' + 'A' : c);
    }
}

double WholePart(double value) { return std::floor(value); }

std::int32_t NearestInt32(double value) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= kInt32Min && rounded <= kInt32Max)) throw RunTimeError(ErrorKind::kOverflow);
    return static_cast<std::int32_t>(rounded);
}

}  // namespace quorvel
