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

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

// The text of a number: always short, so it lives without the heap. Every
// decimal text fits: a sign, 15 digits, a point and up to 15 more digits, or
// a sign, 15 digits, a point and an exponent such as "E-324".
class NumberText {
public:
    static constexpr std::size_t kCapacity = 40;

    std::u16string_view view() const { return {data_.data(), size_}; }
    operator std::u16string_view() const { return view(); }
    operator std::u16string() const { return std::u16string(view()); }
    friend bool operator==(const NumberText& a, std::u16string_view b) { return a.view() == b; }

    void Put(char ascii) { data_[size_++] = static_cast<char16_t>(ascii); }
    void Put(std::string_view ascii) {
        for (char c : ascii) Put(c);
    }
    void Repeat(char ascii, int count) {
        for (int i = 0; i < count; ++i) Put(ascii);
    }

private:
    std::array<char16_t, kCapacity> data_;  // only the first size_ are set
    std::size_t size_ = 0;
};

double ReadNumber(std::u16string_view text);
std::int16_t ReadBitSize(std::u16string_view text);
NumberText DecimalText(double value);
std::u16string HexText(double value);
std::u16string HexText(std::int32_t value);
double WholePart(double value);

// The digits of HexText(std::int32_t) without a heap allocation, for callers
// that assemble longer texts from them.
class HexDigits {
public:
    static constexpr std::size_t kMaxDigits = 8;
    explicit HexDigits(std::int32_t value);
    std::u16string_view view() const { return {digits_.data(), size_}; }

private:
    std::array<char16_t, kMaxDigits> digits_;  // only the first size_ are set
    std::size_t size_ = 0;
};

std::int32_t NearestInt32(double value);

}  // namespace quorvel
