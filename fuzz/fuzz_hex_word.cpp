// Hex rendering of a word at a width: HexWord of a whole word and a 16-bit
// width, and HexText of the raw double. Only Overflow may escape; every text
// holds only "0x ", upper-case hex digits and blanks, and equals the text
// worked out with 64-bit integer arithmetic.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <bit>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_support.h"
#include "core/number_text.h"
#include "core/tuning_word.h"

namespace {

using quorvel::ErrorKind;
using quorvel::RunTimeError;
using quorvel::fuzz::Require;

constexpr double kInt32Smallest = -2147483648.0;
constexpr double kInt32Largest = 2147483647.0;
constexpr std::uint8_t kIntegerWordFlag = 0x80;
constexpr std::uint8_t kShiftMask = 63;

// Raw double bits seldom land on the words that matter (2^16 ... 2^48), so
// half the inputs build the word from a shifted 64-bit integer instead.
double Word(std::uint8_t mode, std::int64_t integer, double raw) {
    if (mode & kIntegerWordFlag) return static_cast<double>(integer >> (mode & kShiftMask));
    return std::isfinite(raw) ? std::floor(raw) : raw;
}

void CheckHexWord(double word, std::int32_t bits) {
    const std::u16string expected = quorvel::fuzz::ExpectedHexWord(word, bits);
    std::u16string text;
    try {
        text = quorvel::HexWord(word, bits);
    } catch (const RunTimeError& error) {
        quorvel::fuzz::RequireErrorKind(error, {ErrorKind::kOverflow});
        Require(expected.empty(), "a word that renders raised Overflow", expected);
        return;
    }
    quorvel::fuzz::CheckHexCharacters(text);
    Require(!expected.empty(), "a word beyond 2^47 rendered", text);
    Require(text == expected, "the word rendered differs from its 64-bit rendering", text);
}

void CheckHexText(double value) {
    // The default rounding mode rounds to nearest, ties to even.
    const double rounded = std::nearbyint(value);
    std::u16string text;
    try {
        text = quorvel::HexText(value);
    } catch (const RunTimeError& error) {
        quorvel::fuzz::RequireErrorKind(error, {ErrorKind::kOverflow});
        Require(!(rounded >= kInt32Smallest && rounded <= kInt32Largest),
                "a value within 32 bits raised Overflow");
        return;
    }
    Require(rounded >= kInt32Smallest && rounded <= kInt32Largest, "a value beyond 32 bits rendered",
            text);
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(rounded));
    char buffer[8];
    std::string digits(buffer, std::to_chars(std::begin(buffer), std::end(buffer), bits, 16).ptr);
    std::transform(digits.begin(), digits.end(), digits.begin(),
                   [](char c) { return c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c; });
    Require(text == std::u16string(digits.begin(), digits.end()),
            "HexText is not the 32-bit two's complement in upper-case hex", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const auto bits = provider.ConsumeIntegral<std::int16_t>();
    const auto mode = provider.ConsumeIntegral<std::uint8_t>();
    const auto integer = provider.ConsumeIntegral<std::int64_t>();
    const auto raw = std::bit_cast<double>(integer);

    CheckHexWord(Word(mode, integer, raw), bits);
    CheckHexText(raw);
    return 0;
}
