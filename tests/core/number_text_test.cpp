// Expected values come from hand reasoning about the decimal and binary forms
// (ties, carries, the double range), not from the code under test.

#include "core/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <ostream>
#include <limits>
#include <string>

#include "tests/core/expect_error.h"
#include "tests/support/escaped.h"
#include "core/run_error.h"
#include "core/utf16.h"

namespace quorvel {
namespace {

constexpr double kMaxDouble = std::numeric_limits<double>::max();
constexpr double kMinSubnormal = std::numeric_limits<double>::denorm_min();
constexpr double kMaxSubnormal = std::numeric_limits<double>::min() - kMinSubnormal;

// Shortest round-trip form of a double, for test names.
std::string Shortest(double v) {
    char buffer[32];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), v);
    return std::string(buffer, result.ptr);
}

// ---------------------------------------------------------------- ReadNumber

struct ReadCase {
    std::u16string text;
    double expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << '"' << test::Escaped(c.text) << '"'; }

class ReadNumberTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumberTest, ReadsNumberAtStart) {
    const ReadCase& c = GetParam();
    const double got = ReadNumber(c.text);
    EXPECT_EQ(got, c.expected);
    EXPECT_EQ(std::signbit(got), std::signbit(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, ReadNumberTest,
    testing::Values(
        ReadCase{u"", 0}, ReadCase{u"abc", 0}, ReadCase{u".", 0}, ReadCase{u"-", 0},
        ReadCase{u"+", 0}, ReadCase{u"--5", 0}, ReadCase{u"-3.5", -3.5}, ReadCase{u"+.5", 0.5},
        ReadCase{u"5.", 5}, ReadCase{u"1..2", 1}, ReadCase{u"1.2.3", 1.2},
        ReadCase{u"1e3", 1000}, ReadCase{u"1D3", 1000}, ReadCase{u"1d-3", 0.001},
        ReadCase{u"1E+2", 100}, ReadCase{u"1e", 1}, ReadCase{u"1e+", 1}, ReadCase{u"2ex", 2},
        ReadCase{u"1f3", 1}, ReadCase{u".e5", 0},
        // Blanks are removed wherever they stand, other characters stop.
        ReadCase{u" 4 2 ", 42}, ReadCase{u"1 000", 1000}, ReadCase{u"\t1\n5", 15},
        ReadCase{u"1 e 3", 1000}, ReadCase{u"- 7", -7}, ReadCase{u"1\r2", 1},
        ReadCase{u"2,5", 2}, ReadCase{u"12MHz", 12}, ReadCase{u"25 NYQUIST!", 25},
        ReadCase{u"60 NYQUIST! NYQUIST!", 60}, ReadCase{u"25\u20AC", 25},
        ReadCase{u"\u00A025", 0},   // a no-break space is no blank
        ReadCase{u"\uFF11", 0},     // nor is a full-width digit a digit
        ReadCase{u"&H10", 0}, ReadCase{u"&O17", 0}));  // no radix prefixes

INSTANTIATE_TEST_SUITE_P(
    Rounding, ReadNumberTest,
    testing::Values(
        // 2^53 + 1 is a tie between 2^53 and 2^53 + 2: to even.
        ReadCase{u"9007199254740993", 9007199254740992.0},
        // ...but any non-zero digit far behind breaks the tie upward.
        ReadCase{u"9007199254740993.00000000000000000000000000001", 9007199254740994.0},
        // 1 + 2^-53 exactly, a tie between 1 and 1 + 2^-52.
        ReadCase{u"1.00000000000000011102230246251565404236316680908203125", 1.0},
        ReadCase{u"1.00000000000000011102230246251565404236316680908203126",
                 1.0000000000000002220446049250313},
        ReadCase{u"0.1", 0.1}, ReadCase{u"100.00004", 100.00004},
        ReadCase{u"-0", -0.0}, ReadCase{u"-0.000", -0.0}, ReadCase{u"0e999999999999999999999", 0},
        // Leading zeros on either side of the point move nothing.
        ReadCase{u"000000000000000000000000000025", 25},
        ReadCase{u"0.000000000000000000000000000000000000000000000000001e51", 1},
        ReadCase{u"1000000000000000000000000000000000000000000000000000e-51", 1}));

INSTANTIATE_TEST_SUITE_P(
    Range, ReadNumberTest,
    testing::Values(
        ReadCase{u"1.7976931348623157e308", kMaxDouble},
        // Below the halfway point to 2^1024 still rounds to the largest double.
        ReadCase{u"1.7976931348623158e308", kMaxDouble},
        ReadCase{u"4.9406564584124654e-324", kMinSubnormal},
        // Just below the smallest normal double: a hard case for readers.
        ReadCase{u"2.2250738585072011e-308", kMaxSubnormal},
        // Just above half the smallest subnormal rounds up to it...
        ReadCase{u"2.4703282292062328e-324", kMinSubnormal},
        // ...just below it reads as zero, of the number's sign.
        ReadCase{u"2.4703282292062327e-324", 0.0}, ReadCase{u"1e-400", 0.0},
        ReadCase{u"-1e-400", -0.0}, ReadCase{u"1e-99999999999999999999999", 0.0}));

TEST(ReadNumber, TooLargeIsOverflow) {
    for (const char16_t* text :
         {u"1.7976931348623159e308", u"1e309", u"-1e400", u"1e99999999999999999999999",
          u"0.0000000000000000000000001e334"}) {
        SCOPED_TRACE("\"" + test::Escaped(text) + "\"");
        ExpectError([&] { ReadNumber(text); }, ErrorKind::kOverflow);
    }
}

// --------------------------------------------------------------- ReadBitSize

struct BitSizeCase {
    std::u16string text;
    std::int16_t expected;
};

void PrintTo(const BitSizeCase& c, std::ostream* os) { *os << '"' << test::Escaped(c.text) << '"'; }

class ReadBitSizeTest : public testing::TestWithParam<BitSizeCase> {};

TEST_P(ReadBitSizeTest, ReadsWholeText) { EXPECT_EQ(ReadBitSize(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Valid, ReadBitSizeTest,
    testing::Values(BitSizeCase{u"48", 48}, BitSizeCase{u" 32 ", 32}, BitSizeCase{u"+48", 48},
                    BitSizeCase{u"-8", -8}, BitSizeCase{u"32.", 32}, BitSizeCase{u".5e2", 50},
                    BitSizeCase{u"2.5e1", 25}, BitSizeCase{u"1E3", 1000},
                    BitSizeCase{u"0032", 32}, BitSizeCase{u"1e-99999", 0},
                    // Ties go to the even neighbour.
                    BitSizeCase{u"32.5", 32}, BitSizeCase{u"33.5", 34}, BitSizeCase{u"-0.5", 0},
                    BitSizeCase{u"32.500001", 33}, BitSizeCase{u"32767.4", 32767},
                    BitSizeCase{u"-32768.5", -32768}, BitSizeCase{u"-32768", -32768}));

TEST(ReadBitSize, AnythingButOneNumberIsTypeMismatch) {
    for (const char16_t* text :
         {u"", u"   ", u"32 bits", u"3 2", u"x32", u".", u"+", u"1e", u"1e+", u"1D3", u"2,5",
          u"\t32", u"32\n", u"&H20", u"32..", u"\uFF13\uFF12"}) {
        SCOPED_TRACE("\"" + test::Escaped(text) + "\"");
        ExpectError([&] { ReadBitSize(text); }, ErrorKind::kTypeMismatch);
    }
}

TEST(ReadBitSize, OutsideSixteenBitsIsOverflow) {
    for (const char16_t* text : {u"40000", u"32768", u"32767.5", u"-32769", u"-32768.6", u"1e400"}) {
        SCOPED_TRACE("\"" + test::Escaped(text) + "\"");
        ExpectError([&] { ReadBitSize(text); }, ErrorKind::kOverflow);
    }
}

// --------------------------------------------------------------- DecimalText

struct DecimalCase {
    double value;
    std::u16string expected;
};

void PrintTo(const DecimalCase& c, std::ostream* os) { *os << Shortest(c.value); }

class DecimalTextTest : public testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalTextTest, Writes) { EXPECT_EQ(std::u16string(DecimalText(GetParam().value)), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    PlainForm, DecimalTextTest,
    testing::Values(DecimalCase{0.0, u" 0"}, DecimalCase{-0.0, u" 0"}, DecimalCase{100, u" 100"},
                    DecimalCase{-100, u"-100"}, DecimalCase{0.5, u" .5"}, DecimalCase{-0.25, u"-.25"},
                    DecimalCase{0.0001, u" .0001"}, DecimalCase{100.00004, u" 100.00004"},
                    DecimalCase{1073741824, u" 1073741824"},
                    DecimalCase{70368744177664, u" 70368744177664"},
                    DecimalCase{999999999999999, u" 999999999999999"},
                    DecimalCase{100000000 / 4294967296.0, u" .023283064365387"},
                    DecimalCase{1.0 / 3, u" .333333333333333"},
                    DecimalCase{0.00012, u" .00012"}));

INSTANTIATE_TEST_SUITE_P(
    ExponentForm, DecimalTextTest,
    testing::Values(DecimalCase{1e15, u" 1E+15"}, DecimalCase{-1e15, u"-1E+15"},
                    DecimalCase{100000000 / 281474976710656.0, u" 3.5527136788005E-07"},
                    DecimalCase{125000000 / 4294967296.0, u" 2.91038304567337E-02"},
                    DecimalCase{1.0 / 24, u" 4.16666666666667E-02"},
                    DecimalCase{1.0 / 7 * 1e-3, u" 1.42857142857143E-04"},
                    DecimalCase{1e-5, u" 1E-05"}, DecimalCase{0.000099, u" 9.9E-05"},
                    DecimalCase{1e-10, u" 1E-10"}, DecimalCase{1e100, u" 1E+100"},
                    DecimalCase{-1.5e-300, u"-1.5E-300"},
                    DecimalCase{123456789012345678.0, u" 1.23456789012346E+17"},
                    DecimalCase{kMaxDouble, u" 1.79769313486232E+308"},
                    DecimalCase{kMinSubnormal, u" 4.94065645841247E-324"}));

INSTANTIATE_TEST_SUITE_P(
    RoundingFirst, DecimalTextTest,
    testing::Values(
        // The rounding to 15 digits decides the form.
        DecimalCase{999999999999999.9, u" 1E+15"}, DecimalCase{99999.99999999999, u" 100000"},
        DecimalCase{0.99999999999999995, u" 1"}, DecimalCase{9.999999999999999e-05, u" .0001"},
        // Exact halves at the 16th digit go to the even 15th digit.
        DecimalCase{23.84185791015625, u" 23.8418579101562"},
        DecimalCase{10.00018310546875, u" 10.0001831054688"},
        // The shortest form (.6060429913939825) is a half, the exact value
        // (.606042991393982544...) lies above it.
        DecimalCase{0.6060429913939825, u" .606042991393983"},
        // A 5 at the 16th digit with more digits after it is no half.
        DecimalCase{16.679904155225753, u" 16.6799041552258"}));

TEST(DecimalText, NonFiniteIsOverflow) {
    ExpectError([] { DecimalText(std::numeric_limits<double>::infinity()); }, ErrorKind::kOverflow);
    ExpectError([] { DecimalText(std::numeric_limits<double>::quiet_NaN()); }, ErrorKind::kOverflow);
}

// ------------------------------------------------- HexText and NearestInt32

struct HexCase {
    double value;
    std::u16string expected;
};

void PrintTo(const HexCase& c, std::ostream* os) { *os << Shortest(c.value); }

class HexTextTest : public testing::TestWithParam<HexCase> {};

TEST_P(HexTextTest, Writes) { EXPECT_EQ(HexText(GetParam().value), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Values, HexTextTest,
    testing::Values(HexCase{65535, u"FFFF"}, HexCase{0, u"0"}, HexCase{-0.0, u"0"},
                    HexCase{2147483647, u"7FFFFFFF"}, HexCase{-1, u"FFFFFFFF"},
                    HexCase{-2147483648.0, u"80000000"}, HexCase{2.5, u"2"}, HexCase{10.5, u"A"},
                    HexCase{255.5, u"100"}, HexCase{-0.5, u"0"}, HexCase{-1.5, u"FFFFFFFE"},
                    HexCase{2147483647.4, u"7FFFFFFF"}, HexCase{-2147483648.5, u"80000000"}));

TEST(HexText, IntegerOverloadIsTwosComplement) {
    EXPECT_EQ(HexText(std::int32_t{-1}), u"FFFFFFFF");
    EXPECT_EQ(HexText(std::int32_t{-2147483647 - 1}), u"80000000");
    EXPECT_EQ(HexText(std::int32_t{43981}), u"ABCD");
}

TEST(HexText, OutsideThirtyTwoBitsIsOverflow) {
    for (double v : {2147483648.0, 2147483647.5, -2147483649.0, -2147483648.75, 1e300,
                     std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(v);
        ExpectError([&] { HexText(v); }, ErrorKind::kOverflow);
        ExpectError([&] { NearestInt32(v); }, ErrorKind::kOverflow);
    }
}

TEST(NearestInt32, TiesToEven) {
    const struct {
        double in;
        std::int32_t out;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999999999999996, 2},
                 {0.5, 0}, {1.5, 2}, {2147483646.5, 2147483646}, {-2147483647.5, -2147483647 - 1}};
    for (const auto& c : cases) EXPECT_EQ(NearestInt32(c.in), c.out) << c.in;
}

TEST(WholePart, TowardMinusInfinity) {
    EXPECT_EQ(WholePart(2.7), 2);
    EXPECT_EQ(WholePart(-2.5), -3);
    EXPECT_EQ(WholePart(-0.1), -1);
    EXPECT_EQ(WholePart(1e300), 1e300);
    EXPECT_TRUE(std::signbit(WholePart(-0.0)));
}

}  // namespace
}  // namespace quorvel
