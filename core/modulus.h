#pragma once
// Tuning words for firmware, worked out exactly from the decimal numbers as
// written: for an accumulator of 2^bits or of any whole modulus M, signed
// words in two's complement, and the fractional part A/B of an accumulator
// with a programmable modulus. Standard library in the interface; GMP
// inside, no double anywhere.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quorvel {

// Exact figures that are not finite decimals keep 15 significant digits,
// next to their fraction in lowest terms.
inline constexpr int kRationalSignificantDigits = 15;
// The largest denominator of A/B unless the user says otherwise: 2^32 - 1.
inline constexpr std::u16string_view kDefaultMaxDenominator = u"4294967295";

struct AccumulatorRequest {
    // The width when there is no modulus: the accumulator wraps at 2^bits.
    std::int32_t bits = 0;
    // A whole M >= 2, decimal or "0x" hexadecimal: the accumulator wraps at M.
    std::optional<std::u16string> modulus;
    std::u16string clock;                  // MHz, the number at the start of the text
    std::optional<std::u16string> wanted;  // MHz, as the clock
    std::optional<std::u16string> word;    // the register's value, 0 to M - 1
    bool is_signed = false;
    // With a wanted frequency: the word rounded down and the rest as A/B.
    bool fraction = false;
    std::u16string max_denominator{kDefaultMaxDenominator};
};

// An exact value: in full when it is a finite decimal; otherwise rounded to
// kRationalSignificantDigits with its fraction in lowest terms beside it.
//   57031250/3 -> {"19010416.6666667", "57031250/3"}   1440000 -> {"1440000", nothing}
struct ExactNumber {
    std::string decimal;
    std::optional<std::string> fraction;
};

struct AccumulatorWord {
    std::string word;                       // the register's value, every decimal digit
    std::string hex;                        // "0x3333333": upper case, no leading zeros
    std::int32_t register_bits = 0;         // bits holding 0..M-1: bits, or the length of M - 1
    std::string modulus;                    // M, every digit
    std::string clock_mhz;                  // the clock as read, in full
    std::optional<std::string> signed_word; // with is_signed: the word as a signed number
    // With `fraction`: A/B in lowest terms, and whether it is the exact rest.
    std::optional<std::string> numerator;
    std::optional<std::string> denominator;
    bool exact = true;
    ExactNumber output_hz;                  // Fc * (word + A/B) / M
    std::optional<ExactNumber> error_hz;    // output minus wanted
    std::optional<ExactNumber> error_ppb;   // per 10^9 of the wanted frequency, when not 0
};

enum class AccumulatorFault {
    kBitsOutOfRange,     // a width below 1
    kBadModulus,         // not a whole number of 2 or more
    kBadClock,           // no number, or not above 0
    kBadWanted,          // no number
    kBeyondExactRange,   // a number with more than kMaxExactDigits digits
    kBadWord,            // not a whole number from 0 to M - 1
    kWordOutOfRange,     // the wanted frequency needs a word outside 0..M-1
    kOutsideSignedRange, // signed, and the wanted frequency outside (-Fc/2, Fc/2)
    kBadMaxDenominator,  // not a whole number of 1 or more
};

// The word and what it gives. With a wanted frequency the word is the
// nearest to wanted * M / clock, halves up (or, with `fraction`, the one
// below and the rest as A/B); with a word, that word.
//   120 MHz, M 1000, word 12       -> output 1440000 Hz
//   100 MHz, M 1536, wanted 19 MHz -> word 292, output 19010416.6666667 Hz (57031250/3)
//   2500 MHz, 32 bits, wanted 150 MHz, fraction -> 257698037 + 19/25, exact
//   65 MHz, 32 bits, wanted -10 MHz, signed -> 3634203097, signed -660764199
// The rest A/B is the exact one while B stays within the largest
// denominator, else the nearest fraction within it (the best rational
// approximation, by continued fractions), and `exact` is false.
std::variant<AccumulatorWord, AccumulatorFault> AccumulatorWordOf(const AccumulatorRequest& request);

// The fault in words, e.g. "the modulus must be a whole number of 2 or more".
std::string AccumulatorFaultText(AccumulatorFault fault);

}  // namespace quorvel
