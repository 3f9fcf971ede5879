// Exact figures of a tuning word. Every expected text was worked out with
// exact fractions (Python's fractions module): output = word * clock / 2^bits,
// its error against the wanted frequency, the nearest word of the written
// decimals (halves up), each rounded to 20 (hertz) or 10 (ppb) significant
// digits, halves to even; at a glance, to 6 from the exact value.

#include "core/exact_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "core/number_text.h"
#include "core/tuning_word.h"
#include "core/utf16.h"

namespace quorvel {
namespace {

struct Figures {
    std::string output, error;
    std::optional<std::string> ppb = std::nullopt;
    std::optional<std::string> output_short = std::nullopt;  // checked where given
};

struct WordCase {
    const char* name;
    std::int32_t bits;
    std::u16string clock, wanted, error;  // error only for the corrected word
    double word;                          // the word the calculation shows
    Figures produced;
    std::string exact_word, steps;
    std::optional<Figures> exact;  // when the words differ
};

void PrintTo(const WordCase& c, std::ostream* os) { *os << c.name; }

void ExpectFigures(const FrequencyFigures& actual, const Figures& expected) {
    EXPECT_EQ(actual.output_hz, expected.output);
    EXPECT_EQ(actual.error_hz, expected.error);
    EXPECT_EQ(actual.error_ppb, expected.ppb);
}

void ExpectWord(const WordFigures& actual, const WordCase& expected) {
    ExpectFigures(actual.produced, expected.produced);
    ASSERT_TRUE(std::holds_alternative<CrossCheck>(actual.cross_check));
    const CrossCheck& check = std::get<CrossCheck>(actual.cross_check);
    EXPECT_EQ(check.word, expected.exact_word);
    EXPECT_EQ(check.steps, expected.steps);
    ASSERT_EQ(check.figures.has_value(), expected.exact.has_value());
    if (expected.exact) ExpectFigures(*check.figures, *expected.exact);
}

class IdealWord : public testing::TestWithParam<WordCase> {};

TEST_P(IdealWord, FiguresAndCrossCheck) {
    const WordCase& c = GetParam();
    const WordInUse used{c.word, Hertz(c.clock), Hertz(c.wanted), c.bits};
    ExpectWord(WordFigureCalculator().Ideal(used, c.clock, c.wanted), c);
}

// The 36-digit wanted frequency lies a hair below 25 MHz plus half a step:
// its double rounds onto the half, the written number does not.
INSTANTIATE_TEST_SUITE_P(
    Worked, IdealWord,
    testing::Values(
        WordCase{"WorkedExample48Bits", 48, u"100", u"23.711649", u"", 66742358500463,
                 {"23711649.000000178944", "0.00000017894399206852540374", "0.000007546670081"},
                 "66742358500462", "-1",
                 Figures{"23711648.999999823673", "-0.0000001763273758115246892", "-0.000007436318571"}},
        WordCase{"Agrees32Bits", 32, u"100", u"1", u"", 42949673,
                 {"1000000.0009313225746", "0.00093132257461547851562", "0.9313225746"}, "42949673", "0", {}},
        WordCase{"NegativeWanted", 32, u"100", u"-1", u"", -42949673,
                 {"-1000000.0009313225746", "-0.00093132257461547851562", "0.9313225746"}, "-42949673", "0", {}},
        WordCase{"WordZeroHasNoPpb", 32, u"100", u"0", u"", 0, {"0", "0", std::nullopt}, "0", "0", {}},
        WordCase{"EveryWrittenDigitCounts", 32, u"100", u"25.0000000116415321826934814453124999", u"",
                 1073741825, {"25000000.023283064365", "0.011641532182693481445", "0.4656612871"},
                 "1073741824", "-1", Figures{"25000000", "-0.011641532182693481445", "-0.4656612871"}},
        // 0.0976742207390840583... ppb: the scaled quotient has exactly the
        // ten kept digits, and the remainder rounds the last one up.
        WordCase{"PpbRoundedByTheRemainder", 36, u"2752", u"129.83771", u"", 3242143711,
                 {"129837710.01268178225", "0.012681797146797180176", "0.09767422074"}, "3242143711", "0", {}},
        WordCase{"ExactHalfRoundsUp", 32, u"100", u"25.0000000116415321826934814453125", u"", 1073741825,
                 {"25000000.023283064365", "0.011641532182693481445", "0.4656612871"}, "1073741825", "0", {}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

class CorrectedWord : public testing::TestWithParam<WordCase> {};

TEST_P(CorrectedWord, FiguresAndCrossCheckFromTheExactInferredClock) {
    const WordCase& c = GetParam();
    const double fout = Hertz(c.wanted);
    const double n = TuningWord(fout, Hertz(c.clock), c.bits);
    const double fc2 = InferredClock(fout, ReadNumber(c.error), n, c.bits);
    const WordInUse used{c.word, fc2, fout, c.bits};
    ExpectWord(WordFigureCalculator().Corrected(used, n, c.wanted, c.error), c);
}

INSTANTIATE_TEST_SUITE_P(
    Worked, CorrectedWord,
    testing::Values(
        WordCase{"WorkedCorrection32Bits", 32, u"100", u"25", u"10", 1073741395,
                 {"25000000.011561391875", "0.011561391875147819519", "0.462455675"}, "1073741395", "0", {}},
        WordCase{"OneStepOff48Bits", 48, u"100", u"28.847333", u"5.7", 81198007799325,
                 {"28847333.000000177425", "0.00000017742545056619767151", "0.000006150497537"},
                 "81198007799324", "-1",
                 Figures{"28847332.999999822154", "-0.00000017784598751260683884", "-0.000006165075555"}},
        WordCase{"NegativeError48Bits", 48, u"100", u"16.969625", u"-14.5", 47765288830543,
                 {"16969625.00000017764", "0.0000001776400513502553442", "0.00001046811885"}, "47765288830542",
                 "-1", Figures{"16969624.999999822369", "-0.00000017763101296180914232", "-0.00001046758623"}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// Written numbers at and past the digit bound; none of them may hang.
TEST(ExactFigures, CrossCheckOnlyWithinTheDigitBound) {
    const WordInUse used{0, 100e6, 0, 32};
    WordFigureCalculator calculator;
    auto ideal = [&](std::u16string_view wanted) { return calculator.Ideal(used, u"100", wanted).cross_check; };
    auto corrected = [&](std::u16string_view error) { return calculator.Corrected(used, 1, u"25", error).cross_check; };
    EXPECT_TRUE(std::holds_alternative<CrossCheck>(ideal(u"1e-4000")));  // 4000 digits after the point
    EXPECT_EQ(std::get<NoCrossCheck>(ideal(u"1e-4001")), NoCrossCheck::kBeyondExactRange);
    EXPECT_EQ(std::get<NoCrossCheck>(ideal(u"1e-99999999999999999999")), NoCrossCheck::kBeyondExactRange);
    EXPECT_EQ(std::get<NoCrossCheck>(ideal(u"." + std::u16string(4001, u'7'))), NoCrossCheck::kBeyondExactRange);
    EXPECT_EQ(std::get<NoCrossCheck>(corrected(u"1e99999999999")), NoCrossCheck::kBeyondExactRange);
    EXPECT_EQ(std::get<NoCrossCheck>(corrected(u"-25000000")), NoCrossCheck::kNoExactClock);
}

// Figures of typed words, where word * clock / 2^bits is easy to choose:
// with a clock of 2^70 Hz and 70 bits the output is the word itself.
const double kTwo70 = std::ldexp(1.0, 70);
struct QueryCase {
    const char* name;
    std::u16string word;
    double clock;
    std::int32_t bits;
    std::optional<double> wanted;
    std::string decimal, hex;
    Figures figures;
};

void PrintTo(const QueryCase& c, std::ostream* os) { *os << c.name << " \"" << Utf16ToUtf8(c.word) << '"'; }

class TypedWord : public testing::TestWithParam<QueryCase> {};

// The figures in full are the same whether the short forms are given or
// left out; left out, none of them is there.
TEST_P(TypedWord, ReadAndRounded) {
    const QueryCase& c = GetParam();
    for (const ShortForms short_forms : {ShortForms::kGiven, ShortForms::kOmitted}) {
        const bool given = short_forms == ShortForms::kGiven;
        SCOPED_TRACE(given ? "short forms given" : "short forms omitted");
        const auto result = WordFigureCalculator(short_forms).Typed(c.word, c.clock, c.bits, c.wanted);
        ASSERT_TRUE(std::holds_alternative<WordQueryFigures>(result));
        const WordQueryFigures& figures = std::get<WordQueryFigures>(result);
        EXPECT_EQ(figures.word, c.decimal);
        EXPECT_EQ(figures.hex_literal, c.hex);
        EXPECT_EQ(figures.produced.output_hz, c.figures.output);
        EXPECT_EQ(figures.produced.error_hz.value_or("none"), c.figures.error);
        EXPECT_EQ(figures.produced.error_ppb, c.figures.ppb);
        EXPECT_EQ(figures.produced.output_short.has_value(), given);
        EXPECT_EQ(figures.produced.error_short.has_value(), given && figures.produced.error_hz);
        EXPECT_EQ(figures.produced.error_ppb_short.has_value(), given && figures.produced.error_ppb);
        if (given && c.figures.output_short) {
            EXPECT_EQ(figures.produced.output_short, *c.figures.output_short);
        }
    }
}

const std::string k1e20 = "100000000000000000000";
INSTANTIATE_TEST_SUITE_P(
    Cases, TypedWord,
    testing::Values(
        QueryCase{"GroupedHex", u"0x 4000 0000", 100e6, 32, {}, "1073741824", "0x40000000", {"25000000", "none"}},
        QueryCase{"PlainHex", u"0x40000000", 100e6, 32, {}, "1073741824", "0x40000000", {"25000000", "none"}},
        QueryCase{"DecimalAsShown", u" 1073741824", 100e6, 32, 25e6, "1073741824", "0x40000000",
                  {"25000000", "0", "0"}},
        QueryCase{"WholeWithExponent", u"1.073741824E9", 100e6, 32, {}, "1073741824", "0x40000000",
                  {"25000000", "none"}},
        QueryCase{"ThreeGroupHex", u"0x 028F 5C28 F5C3", 100e6, 48, 1e6, "2814749767107", "0x28F5C28F5C3",
                  {"1000000.0000001563194", "0.00000015631940186722204089", "0.0001563194019"}},
        QueryCase{"Zero", u"0", 100e6, 32, 0, "0", "0x0", {"0", "0", std::nullopt}},
        QueryCase{"NegativeZero", u"-0", 100e6, 32, {}, "0", "0x0", {"0", "none"}},
        QueryCase{"TieToEvenStays", u"123456789012345678905", kTwo70, 70, {}, "123456789012345678905",
                  "0x6B14E9F812F366C39", {"123456789012345678900", "none"}},
        QueryCase{"TieToEvenUp", u"123456789012345678915", kTwo70, 70, {}, "123456789012345678915",
                  "0x6B14E9F812F366C43", {"123456789012345678920", "none"}},
        QueryCase{"CarryIntoExponentForm", u"999999999999999999995", kTwo70, 70, {}, "999999999999999999995",
                  "0x3635C9ADC5DE9FFFFB", {"1e+21", "none"}},
        QueryCase{"PositionalBelowTenTo21", u"1e20", kTwo70, 70, {}, k1e20, "0x56BC75E2D63100000", {k1e20, "none"}},
        QueryCase{"SmallTieToEven", u"1", 1, 30, {}, "1", "0x1", {"9.3132257461547851562e-10", "none"}},
        QueryCase{"ExponentFormBelowTenToMinus7", u"1", 1, 24, {}, "1", "0x1", {"5.9604644775390625e-8", "none"}},
        QueryCase{"PositionalFromTenToMinus7", u"1", 1, 23, {}, "1", "0x1", {"0.00000011920928955078125", "none"}},
        QueryCase{"PpbTenDigits", u"2", 4, 2, 3, "2", "0x2", {"2", "-1", "-333333333.3"}},
        // 0.1234565 and 3.9e-31 more: the full figure ends in the 5, which
        // rounded again would go down to even.
        QueryCase{"GlanceFromTheExactValue", u"156499706327076403105877739275", 1, 100, {},
                  "156499706327076403105877739275", "0x1F9AD85DFA871A3B14A90470B",
                  {"0.1234565", "none", std::nullopt, "+123.457 mHz"}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ExactFigures, LargestWordOfTheWidestWidth) {
    const auto result = WordFigureCalculator().Typed(u"0x7" + std::u16string(8191, u'F'), 100e6, 32767, std::nullopt);
    ASSERT_TRUE(std::holds_alternative<WordQueryFigures>(result));
    EXPECT_EQ(std::get<WordQueryFigures>(result).produced.output_hz, "100000000");  // 1e8 - 1e8 / 2^32767
}

struct FaultCase {
    const char* name;
    std::u16string word;
    std::int32_t bits;
    WordTextFault fault;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name << " \"" << Utf16ToUtf8(c.word) << '"'; }

class TypedWordFault : public testing::TestWithParam<FaultCase> {};

TEST_P(TypedWordFault, IsRefused) {
    const FaultCase& c = GetParam();
    const auto result = WordFigureCalculator().Typed(c.word, 100e6, c.bits, std::nullopt);
    ASSERT_TRUE(std::holds_alternative<WordTextFault>(result));
    EXPECT_EQ(std::get<WordTextFault>(result), c.fault);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedWordFault,
    testing::Values(FaultCase{"Fraction", u"1.5", 32, WordTextFault::kNotWhole},
                    FaultCase{"Empty", u"", 32, WordTextFault::kNotWhole},
                    FaultCase{"PrefixOnly", u"0x", 32, WordTextFault::kNotWhole},
                    FaultCase{"NotHex", u"0x 40G0", 32, WordTextFault::kNotWhole},
                    FaultCase{"TrailingUnit", u"25 MHz", 32, WordTextFault::kNotWhole},
                    FaultCase{"Negative", u"-1", 32, WordTextFault::kNegative},
                    FaultCase{"NegativeHex", u"-0x1", 32, WordTextFault::kNegative},
                    FaultCase{"TwoToTheBits", u"4294967296", 32, WordTextFault::kTooLarge},
                    FaultCase{"TwoToTheBitsHex", u"0x 1 0000 0000", 32, WordTextFault::kTooLarge},
                    FaultCase{"OneAtNegativeWidth", u"1", -1, WordTextFault::kTooLarge},
                    FaultCase{"HugeExponent", u"1e99999999999", 32767, WordTextFault::kTooLarge},
                    FaultCase{"TwoToTheWidest", u"0x8" + std::u16string(8191, u'0'), 32767,
                              WordTextFault::kTooLarge}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace quorvel
