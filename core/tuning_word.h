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

// A field in MHz as hertz: ReadNumber(text) * 1000000.
//   Hertz("100") -> 100000000
//   Hertz("25 NYQUIST!") -> 25000000
//   Hertz("1e303") -> Overflow
double Hertz(std::u16string_view megahertz_text);

// Hertz as the megahertz a field shows: hertz / 1000000.
//   Megahertz(100000040) -> 100.00004
double Megahertz(double hertz);

// fout > clock * 0.499, strictly.
//   AboveNyquist(50000000, 100000000) -> true
//   AboveNyquist(49900000, 100000000) -> false
bool AboveNyquist(double fout, double clock);

// clock / 2^bits, in hertz per step.
//   Resolution(100000000, 1024) -> Overflow
//   Resolution(100000000, -1075) -> Division by zero
double Resolution(double clock, std::int32_t bits);

// WholePart(fout / clock * 2^bits + 0.5): the nearest word, halves rounded
// up; the quotient is formed (and can fail) before the power of two.
//   TuningWord(25000000, 100000000, 32) -> 1073741824
//   TuningWord(1000000, 100000000, 32) -> 42949673
//   TuningWord(2.375, 1, 2) -> 10
//   TuningWord(-2.375, 1, 2) -> -9
//   TuningWord(1000000, 0, 32) -> Division by zero
//   TuningWord(0, 0, 32) -> Overflow
double TuningWord(double fout, double clock, std::int32_t bits);

// (fout + fdiff) * 2^bits / word: with `word` loaded the generator put out
// fout + fdiff, so its clock is that frequency times 2^bits / word.
//   InferredClock(25000000, 10, 1073741824, 32) -> 100000040
//   InferredClock(1000000, 0, 0, 32) -> Division by zero
double InferredClock(double fout, double fdiff, double word, std::int32_t bits);

// The word as "0x " and hexadecimal digits: a high part, a blank and the low
// 16 bits as four digits, zero-padded in front to bits/4 digits (a real
// quotient: 30 bits get 8 digits); at 48 bits the high part is split once
// more after four digits. The high part is the 32-bit two's complement of a
// negative word; beyond 32 bits (a word of 2^47 or more) it is Overflow.
//   HexWord(1073741824, 32) -> "0x 4000 0000"
//   HexWord(2814749767107, 48) -> "0x 028F 5C28 F5C3"
//   HexWord(2684355, 28) -> "0x 028 F5C3"
//   HexWord(-1, 32) -> "0x FFFFFFFF FFFF"
//   HexWord(140737488355328, 48) -> Overflow
std::u16string HexWord(double word, std::int32_t bits);

}  // namespace quorvel
