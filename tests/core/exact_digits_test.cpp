// The bit size decided from every digit written, and the hex padding at
// widths that are no multiple of 4. Expected values worked out by hand: a
// long fraction is above, at or below a half by its digits alone; a width
// asks for ceil(bits / 4) hex digits.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "core/number_text.h"
#include "core/run_error.h"
#include "core/tuning_word.h"
#include "tests/core/expect_error.h"
#include "tests/support/escaped.h"

namespace quorvel {
namespace {

using test::Escaped;

struct BitSizeDigits {
    std::u16string text;
    std::optional<std::int16_t> bits;  // nothing: Overflow
};

void PrintTo(const BitSizeDigits& c, std::ostream* os) { *os << '"' << Escaped(c.text) << '"'; }

class BitSizeFromDigits : public testing::TestWithParam<BitSizeDigits> {};

TEST_P(BitSizeFromDigits, RoundsTheNumberAsWritten) {
    const BitSizeDigits& c = GetParam();
    if (c.bits) {
        EXPECT_EQ(ReadBitSize(c.text), *c.bits);
    } else {
        ExpectError([&] { ReadBitSize(c.text); }, ErrorKind::kOverflow);
    }
}

INSTANTIATE_TEST_SUITE_P(
    LongFractions, BitSizeFromDigits,
    testing::Values(
        // Just above a half, by a digit far past what a double keeps.
        BitSizeDigits{u"0.50000000000000000001", 1}, BitSizeDigits{u"30.50000000000000001", 31},
        BitSizeDigits{u"-32768.5000000000000001", std::nullopt},
        BitSizeDigits{u"32766.50000000000000000000000000000001", 32767},
        BitSizeDigits{u"32767.5000000000000000000000000000001", std::nullopt},
        // Just below a half: down, even where the nearest double is the half.
        BitSizeDigits{u"1023.49999999999999999", 1023}, BitSizeDigits{u"32767.4999999999999999", 32767},
        BitSizeDigits{u"-32768.4999999999999999", -32768}, BitSizeDigits{u"2.4999999999999999999e1", 25},
        // Exact halves, however written, go to the even neighbour.
        BitSizeDigits{u"0.5", 0}, BitSizeDigits{u"1.5", 2}, BitSizeDigits{u"2.50000", 2},
        BitSizeDigits{u"-1.5", -2}, BitSizeDigits{u"325e-1", 32}, BitSizeDigits{u"0.0335e3", 34},
        BitSizeDigits{u"-32768.5", -32768}, BitSizeDigits{u"32767.5", std::nullopt},
        // Below one, and digits that only the exponent makes whole.
        BitSizeDigits{u"0.6", 1}, BitSizeDigits{u"0.4999999999999999999999", 0},
        BitSizeDigits{u"0.09", 0}, BitSizeDigits{u".000000000000000000000000000000000006", 0},
        BitSizeDigits{u"0.00032767e8", 32767}, BitSizeDigits{u"3.2768e4", std::nullopt},
        BitSizeDigits{u"1e5", std::nullopt}, BitSizeDigits{u"99999.9", std::nullopt},
        BitSizeDigits{u"-0.5", 0}, BitSizeDigits{u"-0.50000000000000000001", -1},
        BitSizeDigits{u"1e999999999999999999999", std::nullopt}));

TEST(BitSizeFromDigits, AMillionDigitsStayExact) {
    // 2.5, a million zeros and a 1: above the half, so 3; without the 1
    // exactly 2.5, so the even 2.
    const std::u16string zeros(1000000, u'0');
    EXPECT_EQ(ReadBitSize(u"2.5" + zeros + u"1"), 3);
    EXPECT_EQ(ReadBitSize(u"2.5" + zeros), 2);
}

// ------------------------------------------------------------- hex padding

struct PaddedHex {
    double word;
    std::int32_t bits;
    std::u16string text;
};

void PrintTo(const PaddedHex& c, std::ostream* os) {
    *os << static_cast<long long>(c.word) << " at " << c.bits << " bits";
}

class HexPadding : public testing::TestWithParam<PaddedHex> {};

TEST_P(HexPadding, PadsToAQuarterOfTheWidthRoundedUp) {
    EXPECT_EQ(HexWord(GetParam().word, GetParam().bits), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    WidthsModuloFour, HexPadding,
    testing::Values(
        // digits asked for: 21 -> 6, 29 -> 8, 30 -> 8, 31 -> 8, 33 -> 9, 35 -> 9,
        // 47 -> 12, 49 -> 13; a one-digit high part and four low digits to start.
        PaddedHex{1, 21, u"0x 00 0001"}, PaddedHex{1, 29, u"0x 0000 0001"},
        PaddedHex{1, 31, u"0x 0000 0001"}, PaddedHex{1, 33, u"0x 00000 0001"},
        PaddedHex{1, 34, u"0x 00000 0001"}, PaddedHex{1, 35, u"0x 00000 0001"},
        PaddedHex{1, 36, u"0x 00000 0001"}, PaddedHex{1, 37, u"0x 000000 0001"},
        PaddedHex{1, 47, u"0x 00000000 0001"}, PaddedHex{1, 49, u"0x 000000000 0001"},
        PaddedHex{1, 5, u"0x 0 0001"}, PaddedHex{1, 23, u"0x 00 0001"}, PaddedHex{1, 25, u"0x 000 0001"},
        // A high part already as wide as asked, or wider, gets nothing.
        PaddedHex{0x123456789p0, 33, u"0x 12345 6789"}, PaddedHex{0x123456789p0, 21, u"0x 12345 6789"},
        // Only 48 bits regroup: its neighbours keep two groups.
        PaddedHex{0x0ABC00120034p0, 47, u"0x 0ABC0012 0034"},
        PaddedHex{0x0ABC00120034p0, 49, u"0x 00ABC0012 0034"},
        PaddedHex{0x0ABC00120034p0, 48, u"0x 0ABC 0012 0034"},
        // A negative word keeps its eight-digit high part at any width.
        PaddedHex{-2, 21, u"0x FFFFFFFF FFFE"}, PaddedHex{-2, 49, u"0x 0FFFFFFFF FFFE"}),
    [](const testing::TestParamInfo<PaddedHex>& p) {
        return "case" + std::to_string(p.index) + "_" + std::to_string(p.param.bits) + "bits";
    });

}  // namespace
}  // namespace quorvel
