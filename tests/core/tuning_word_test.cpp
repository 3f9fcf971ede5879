// Worked DDS examples: expected words and texts follow from N = Fout/Fc * 2^bits
// rounded half up, computed by hand; nothing here is produced by the code
// under test.

#include "core/tuning_word.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <limits>

#include "core/arithmetic.h"
#include "tests/core/expect_error.h"
#include "core/run_error.h"

namespace quorvel {
namespace {

constexpr double kTwo32 = 4294967296.0;
constexpr double kTwo47 = 140737488355328.0;

TEST(Arithmetic, NonFiniteResultsAreOverflow) {
    ExpectError([] { Add(1.7e308, 1.7e308); }, ErrorKind::kOverflow);
    ExpectError([] { Subtract(-1.7e308, 1.7e308); }, ErrorKind::kOverflow);
    ExpectError([] { Multiply(1e200, 1e200); }, ErrorKind::kOverflow);
    ExpectError([] { Divide(1e308, 1e-308); }, ErrorKind::kOverflow);
    EXPECT_EQ(Multiply(1e-200, 1e-200), 0.0);  // too small is zero, no error
}

TEST(Arithmetic, DivisionByZero) {
    ExpectError([] { Divide(1, 0); }, ErrorKind::kDivisionByZero);
    ExpectError([] { Divide(-1, -0.0); }, ErrorKind::kDivisionByZero);
    ExpectError([] { Divide(0, 0); }, ErrorKind::kOverflow);
    ExpectError([] { Divide(-0.0, 0); }, ErrorKind::kOverflow);
}

TEST(Arithmetic, PowerOfTwo) {
    EXPECT_EQ(PowerOfTwo(32), kTwo32);
    EXPECT_EQ(PowerOfTwo(-1), 0.5);
    EXPECT_EQ(PowerOfTwo(1023), std::ldexp(1.0, 1023));
    EXPECT_EQ(PowerOfTwo(-1074), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(PowerOfTwo(-1075), 0.0);  // a tie between 0 and 2^-1074, to even
    EXPECT_EQ(PowerOfTwo(-32768), 0.0);
    ExpectError([] { PowerOfTwo(1024); }, ErrorKind::kOverflow);
    ExpectError([] { PowerOfTwo(32767); }, ErrorKind::kOverflow);
}

TEST(Hertz, ScalesMegahertz) {
    EXPECT_EQ(Hertz(u"100"), 100e6);
    EXPECT_EQ(Hertz(u"25 NYQUIST!"), 25e6);
    EXPECT_EQ(Hertz(u""), 0);
    ExpectError([] { Hertz(u"1e303"); }, ErrorKind::kOverflow);  // finite in MHz, not in Hz
}

TEST(AboveNyquist, StrictlyAboveTheFraction) {
    const double clock = Hertz(u"100");
    EXPECT_FALSE(AboveNyquist(Hertz(u"49.8"), clock));
    EXPECT_TRUE(AboveNyquist(Hertz(u"50"), clock));
    EXPECT_FALSE(AboveNyquist(Hertz(u"49.9"), clock));  // equal in doubles: no mark
    EXPECT_TRUE(AboveNyquist(Hertz(u"49.900001"), clock));
    EXPECT_TRUE(AboveNyquist(1, 0));
    EXPECT_FALSE(AboveNyquist(0, 0));
}

TEST(TuningWord, RoundsHalfUp) {
    EXPECT_EQ(TuningWord(25e6, 100e6, 32), 1073741824);
    EXPECT_EQ(TuningWord(1e6, 100e6, 32), 42949673);  // 42949672.96
    EXPECT_EQ(TuningWord(1e6, 100e6, 48), 2814749767107);
    EXPECT_EQ(TuningWord(10e6, 180e6, 48), 15637498706148);
    // Exactly half a step: up, toward plus infinity, for either sign.
    EXPECT_EQ(TuningWord(2.375, 1, 2), 10);  // 9.5 -> 10
    EXPECT_EQ(TuningWord(-2.375, 1, 2), -9);  // -9.5 -> -9: halves go up, not away
}

TEST(TuningWord, Failures) {
    ExpectError([] { TuningWord(1e6, 0, 32); }, ErrorKind::kDivisionByZero);
    ExpectError([] { TuningWord(0, 0, 32); }, ErrorKind::kOverflow);
    // The quotient is formed before the power of two, so it fails first.
    ExpectError([] { TuningWord(1e6, 0, 2000); }, ErrorKind::kDivisionByZero);
    ExpectError([] { TuningWord(1e6, 1e6, 2000); }, ErrorKind::kOverflow);
}

TEST(Resolution, HugeAndTinyWidths) {
    EXPECT_EQ(Resolution(100e6, 32), 100e6 / kTwo32);
    ExpectError([] { Resolution(100e6, 1024); }, ErrorKind::kOverflow);
    ExpectError([] { Resolution(100e6, -1075); }, ErrorKind::kDivisionByZero);
    ExpectError([] { Resolution(0, -1075); }, ErrorKind::kOverflow);
    // 2^-1074 is still a number, but 1 / 2^-1074 is no finite double.
    ExpectError([] { Resolution(1, -1074); }, ErrorKind::kOverflow);
}

TEST(InferredClock, FromMeasuredError) {
    // (25 MHz + 10 Hz) * 2^32 / 2^30 = 100.00004 MHz exactly in decimal.
    EXPECT_DOUBLE_EQ(InferredClock(25e6, 10, 1073741824, 32), 100000040);
    ExpectError([] { InferredClock(1e6, 0, 0, 32); }, ErrorKind::kDivisionByZero);
    ExpectError([] { InferredClock(1e6, -1e6, 0, 32); }, ErrorKind::kOverflow);
}

struct HexWordCase {
    double word;
    std::int32_t bits;
    std::u16string expected;
};

void PrintTo(const HexWordCase& c, std::ostream* os) {
    *os << static_cast<long long>(c.word) << " at " << c.bits;
}

class HexWordTest : public testing::TestWithParam<HexWordCase> {};

TEST_P(HexWordTest, Renders) {
    EXPECT_EQ(HexWord(GetParam().word, GetParam().bits), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, HexWordTest,
    testing::Values(
        HexWordCase{1073741824, 32, u"0x 4000 0000"}, HexWordCase{0, 32, u"0x 0000 0000"},
        HexWordCase{1073741395, 32, u"0x 3FFF FE53"}, HexWordCase{2576980378, 32, u"0x 9999 999A"},
        HexWordCase{42949673, 32, u"0x 028F 5C29"},
        HexWordCase{70368744177664, 48, u"0x 4000 0000 0000"},
        HexWordCase{2814749767107, 48, u"0x 028F 5C28 F5C3"},
        HexWordCase{15637498706148, 48, u"0x 0E38 E38E 38E4"},
        HexWordCase{0, 48, u"0x 0000 0000 0000"},
        // Seven digits at 28 bits; 30 bits ask for 7.5 digits and get 8.
        HexWordCase{2684355, 28, u"0x 028 F5C3"}, HexWordCase{1, 30, u"0x 0000 0001"},
        // Narrow and negative widths pad nothing; nothing is ever cut.
        HexWordCase{1, 8, u"0x 0 0001"}, HexWordCase{1, -8, u"0x 0 0001"},
        HexWordCase{kTwo32, 32, u"0x 10000 0000"}, HexWordCase{1, 64, u"0x 000000000000 0001"},
        // At 48 bits the padding comes before the regrouping.
        HexWordCase{0xABC * 65536.0 + 0x12, 48, u"0x 0000 0ABC 0012"},
        // The largest word that renders at 48 bits, and the most negative.
        HexWordCase{kTwo47 - 1, 48, u"0x 7FFF FFFF FFFF"},
        HexWordCase{-kTwo47, 48, u"0x 8000 0000 0000"},
        // Negative words: two's complement high part, non-negative low part.
        HexWordCase{-1, 32, u"0x FFFFFFFF FFFF"}, HexWordCase{-1, 48, u"0x FFFF FFFF FFFF"},
        HexWordCase{-65536, 32, u"0x FFFFFFFF 0000"}));

TEST(HexWord, HighPartBeyondThirtyTwoBitsIsOverflow) {
    ExpectError([] { HexWord(kTwo47, 48); }, ErrorKind::kOverflow);
    ExpectError([] { HexWord(-kTwo47 - 1, 48); }, ErrorKind::kOverflow);
    ExpectError([] { HexWord(1e300, 32); }, ErrorKind::kOverflow);
}

}  // namespace
}  // namespace quorvel
