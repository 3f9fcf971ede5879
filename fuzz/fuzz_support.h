#pragma once
// What the fuzz targets share: turning fuzz bytes into field texts and
// numbers, and the checks of the properties every text the calculator writes
// must have. A failed check prints what went wrong and aborts, which libFuzzer
// reports as a crash and saves the input that caused it.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_error.h"

namespace quorvel::fuzz {

[[noreturn]] void Fail(std::string_view what, std::u16string_view text = {});
void Require(bool condition, std::string_view what, std::u16string_view text = {});

// An error escaped that is not one of `allowed`.
void RequireErrorKind(const RunTimeError& error, std::initializer_list<ErrorKind> allowed);

// Fuzz bytes as field texts, so that every UTF-16 code unit can reach the
// core while ASCII seeds stay readable:
//   a byte below 0xFE is the code unit of the same value (so 0x80...0xFD are
//   the non-ASCII characters U+0080...U+00FD);
//   0xFE takes the next two bytes, high byte first, as one code unit (lone
//   surrogates and U+FFFF included);
//   0xFF ends a text and starts the next one (when splitting; otherwise it
//   is the code unit U+00FF).
inline constexpr std::uint8_t kRawCodeUnitByte = 0xFE;
inline constexpr std::uint8_t kTextSeparatorByte = 0xFF;

std::u16string DecodeText(const std::uint8_t* data, std::size_t size);

// Reference scan, written apart from the core: "[+|-]digits[.digits]" from
// text[i] on, appended to `ascii` in the form from_chars takes (no "+").
// Leaves i after the last character taken; false when there is no digit.
bool ScanReferenceMantissa(std::u16string_view text, std::size_t& i, std::string& ascii);

// Reference reader of a field's number, written apart from the core: drop
// every blank, take the longest "[+-]digits[.digits][(E|D)[+-]digits]" at
// the start, and give it as ASCII that from_chars accepts (no "+", "e" for
// the exponent letter). Nothing when the text starts with no number.
std::optional<std::string> NumberAtStart(std::u16string_view text);

constexpr bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
// Exactly `count` texts; missing ones are empty, extra ones are dropped.
std::vector<std::u16string> DecodeTexts(const std::uint8_t* data, std::size_t size,
                                        std::size_t count);

// A decimal text of `value`: a blank for zero and positive values, "-" for
// negative ones; " 0" for zero; digits with at most one point, or one digit
// with an optional point and more digits, "E", a sign and at least two
// exponent digits; at most 15 significant digits, no trailing zeros after a
// point and no "0" before it. Read back, it lies within half a unit of the
// 15th significant digit of `value` (plus the spacing of doubles there, which
// the read-back may round across), and writing the read-back value again
// gives the same text.
void CheckDecimalText(double value, std::u16string_view text);

// "0x " followed by upper-case hexadecimal digits and blanks only.
void CheckHexCharacters(std::u16string_view text);

// The grouped hexadecimal text of a whole word at a width, worked out with
// 64-bit integer arithmetic: the words that render lie in -2^47 ... 2^47 - 1.
// Empty when the word does not render (its high part needs more than 32 bits,
// or it is not a whole finite number).
std::u16string ExpectedHexWord(double word, std::int32_t bits);

}  // namespace quorvel::fuzz
