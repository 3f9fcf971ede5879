#include "core/decimal_scan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include <fast_float/fast_float.h>

#include "core/run_error.h"

namespace quorvel {
namespace {

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
    std::int64_t integer_digits = 0;          // integer digits kept after leading zeros
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
    if (number.digits.empty()) return number;  // zero: no exponent to keep
    const std::int64_t point_shift = integer_digits > 0 ? integer_digits : -leading_fraction_zeros;
    number.exponent = SaturatingAdd(std::min(point_shift, kExponentSaturation), exponent);
    return number;
}

}  // namespace

std::optional<DecimalNumber> ScanNumberAtStart(std::u16string_view text) {
    BlankSkippingCursor cursor(text);
    return ScanDecimal(cursor, ExponentLetters::kEOrD);
}

std::optional<DecimalNumber> ScanWholeNumber(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) return std::nullopt;
    const std::size_t last = text.find_last_not_of(u' ');
    PlainCursor cursor(text.substr(first, last - first + 1));
    std::optional<DecimalNumber> number = ScanDecimal(cursor, ExponentLetters::kEOnly);
    if (!cursor.AtEnd()) return std::nullopt;
    return number;
}

double NearestDouble(const DecimalNumber& number) {
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

    // fast_float reads any number of digits correctly rounded, in every
    // build alike (the WebAssembly C++ library has no floating-point
    // from_chars). Beyond the largest double it gives infinity; below half
    // the smallest subnormal, a zero of the number's sign.
    double value = 0;
    fast_float::from_chars(begin, p, value);
    if (std::isinf(value)) throw RunTimeError(ErrorKind::kOverflow);
    return value;
}

}  // namespace quorvel
