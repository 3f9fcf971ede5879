#pragma once
// Phase offset words: the word a phase register of Q bits takes for an
// angle, and the angle a word gives. Exact throughout.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quorvel {

// Phase registers from 1 to 64 bits.
inline constexpr std::int32_t kMaxPhaseBits = 64;

struct PhaseWord {
    std::string word;                   // every decimal digit
    std::string hex;                    // "0x1000": upper case, no leading zeros
    std::string degrees;                // the phase the word gives, in full
    std::optional<std::string> error;   // that phase minus the angle asked for, in full
};

enum class PhaseFault {
    kBitsOutOfRange,  // Q outside 1..64
    kNotANumber,      // an angle that is no decimal number
    kBeyondExactRange,  // an angle that needs more than kMaxExactDigits digits
    kNotWhole,        // a word that is no whole number
    kWordTooLarge,    // a word of 2^Q or more, or a negative one
};

// p = round(angle / 360 * 2^Q) mod 2^Q, exact halves to the even word;
// negative angles and angles of a turn or more wrap. The error is the
// phase the word gives minus the angle, taken before the wrap, so a
// multiple of a turn never shows in it.
//   "90", 14    -> 4096, 90 degrees, error 0
//   "-90", 14   -> 12288, 270 degrees, error 0
//   "1", 8      -> 1 (0.711 rounds to 1), 1.40625 degrees, error 0.40625
//   "0.703125", 8 -> 0 (exactly half a step: to even), 0 degrees, error -0.703125
std::variant<PhaseWord, PhaseFault> PhaseWordOfAngle(std::u16string_view degrees, std::int32_t bits);

// The phase of a word: p * 360 / 2^Q degrees. No error.
//   "0x2000", 14 -> "180"    "1", 32 -> "8.381903171539306640625e-8"
std::variant<PhaseWord, PhaseFault> PhaseOfWord(std::u16string_view word, std::int32_t bits);

// The fault in words, e.g. "the phase word is 2^14 or more".
std::string PhaseFaultText(PhaseFault fault, std::int32_t bits);

}  // namespace quorvel
