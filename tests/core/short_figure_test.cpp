// Figures at a glance over the value ranges each prefix and sign meets:
// below 1, exactly at a prefix's boundary, rounded up across one, negative,
// and at the edges of the positional form. Expected texts worked out by hand
// from the value in the row's comment.

#include "core/short_figure.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/escaped.h"

namespace quorvel {
namespace {

struct GlanceCase {
    const char* name;
    LeadingDigits value;  // (-1)^negative * 0.digits * 10^exponent
    UnitPrefix prefix;
    std::string expected;
};

void PrintTo(const GlanceCase& c, std::ostream* os) { *os << c.name; }

constexpr UnitPrefix kSi = UnitPrefix::kSi;
constexpr UnitPrefix kNone = UnitPrefix::kNone;

class ShortFigures : public testing::TestWithParam<GlanceCase> {};

TEST_P(ShortFigures, AsWorkedOutByHand) {
    const GlanceCase& c = GetParam();
    const std::string unit = c.prefix == kSi ? "Hz" : "ppb";
    EXPECT_EQ(test::Escaped(ShortFigure(c.value, unit, c.prefix)), test::Escaped(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ShortFigures,
    testing::Values(
        GlanceCase{"HertzBelowOne", {false, "713724", 0}, kSi, "+713.724 mHz"},                   // 0.713724
        GlanceCase{"ExactlyOneHertz", {false, "1", 1}, kSi, "+1.000 00 Hz"},                      // 1
        GlanceCase{"ExactlyOneKilohertz", {false, "1", 4}, kSi, "+1.000 00 kHz"},                 // 1000
        GlanceCase{"ExactlyOneMillihertz", {false, "1", -2}, kSi, "+1.000 00 mHz"},               // 0.001
        GlanceCase{"ExactlyOnePicohertz", {false, "1", -11}, kSi, "+1.000 00 pHz"},               // 1e-12
        GlanceCase{"ExactlyOneGigahertz", {false, "1", 10}, kSi, "+1.000 00 GHz"},                // 1e9
        GlanceCase{"ThreeDigitsOfMicrohertz", {false, "123456", -3}, kSi, "+123.456 \u00B5Hz"},   // 0.000123456
        GlanceCase{"TwoDigitsOfKilohertz", {true, "123456", 5}, kSi, "-12.345 6 kHz"},            // -12345.6
        GlanceCase{"RoundsUpIntoKilohertz", {false, "9999995", 3}, kSi, "+1.000 00 kHz"},         // 999.9995
        GlanceCase{"NegativeRoundsUpIntoHertz", {true, "9999995", 0}, kSi, "-1.000 00 Hz"},       // -0.9999995
        GlanceCase{"HalfToEvenStaysBelowHertz", {true, "9999985", 0}, kSi, "-999.998 mHz"},       // -0.9999985
        GlanceCase{"NegativeBelowPicohertz", {true, "15", -12}, kSi, "-1.500 00e-13 Hz"},         // -1.5e-13
        GlanceCase{"NegativeZero", {true, "", 0}, kSi, "0 Hz"},                                   // -0
        GlanceCase{"PpbBelowOne", {false, "713724", 0}, kNone, "+0.713 724 ppb"},                 // 0.713724
        GlanceCase{"NegativePpbBelowOne", {true, "5", 0}, kNone, "-0.500 000 ppb"},               // -0.5
        GlanceCase{"PpbBelowATenth", {false, "713724", -1}, kNone, "+0.071 372 4 ppb"},           // 0.0713724
        GlanceCase{"PpbRoundsUpToOne", {false, "9999995", 0}, kNone, "+1.000 00 ppb"},            // 0.9999995
        GlanceCase{"PpbExactlyAThousand", {false, "1", 4}, kNone, "+1 000.00 ppb"},               // 1000
        GlanceCase{"PpbRoundsUpToAMillion", {false, "9999995", 6}, kNone, "+1 000 000 ppb"},      // 999999.5
        GlanceCase{"NegativePpbPaddedWithZeros", {true, "1234567", 7}, kNone, "-1 234 570 ppb"},  // -1234567
        GlanceCase{"PpbAtTheLowestPower", {false, "1", -11}, kNone, "+0.000 000 000 001 000 00 ppb"},  // 1e-12
        GlanceCase{"PpbJustBelowTheLowestPower", {false, "9999994", -12}, kNone, "+9.999 99e-13 ppb"},  // 9.999994e-13
        GlanceCase{"PpbRoundsUpToTheExponentForm", {false, "9999995", 12}, kNone, "+1.000 00e+12 ppb"}),  // 999999500000
    [](const testing::TestParamInfo<GlanceCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quorvel
