#pragma once
// The tuning-word arithmetic of a DDS generator with a phase accumulator of
// `bits` bits clocked at `clock` hertz:  Fout = N * clock / 2^bits.
// Every formula is evaluated in doubles in the order written here; another
// order changes the last bits and can move a word that lies near a rounding
// boundary. Each may raise Overflow or Division by zero, nothing else.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

inline constexpr double kHertzPerMegahertz = 1000000;
// The wanted frequency is marked above this fraction of the clock (not 0.5).
inline constexpr double kNyquistFraction = 0.499;

// ReadNumber(text) * 1000000: a field in MHz as hertz.
double Hertz(std::u16string_view megahertz_text);

// fout > clock * 0.499, strictly.
bool AboveNyquist(double fout, double clock);

// clock / 2^bits, in hertz per step.
double Resolution(double clock, std::int32_t bits);

// WholePart(fout / clock * 2^bits + 0.5): the nearest word, halves rounded up.
double TuningWord(double fout, double clock, std::int32_t bits);

// (fout + fdiff) * 2^bits / word: with `word` loaded the generator put out
// fout + fdiff, so its clock is that frequency times 2^bits / word.
double InferredClock(double fout, double fdiff, double word, std::int32_t bits);

// The word as "0x " and hexadecimal digits: a high part, a blank and the low
// 16 bits as four digits, zero-padded in front to bits/4 digits; at 48 bits
// the high part is split once more after four digits.
//   (1073741824, 32)      -> "0x 4000 0000"
//   (2814749767107, 48)   -> "0x 028F 5C28 F5C3"
//   (42949673, 28)        -> "0x 028 F5C3"
//   (-1, 32)              -> "0x FFFFFFFF FFFF"
//   A high part beyond 32 bits (a word of 2^47 or more) is an Overflow.
std::u16string HexWord(double word, std::int32_t bits);

}  // namespace quorvel
