// The word fields' tooltips after a run, against the shared worked cases (a
// field has a tooltip exactly when the run wrote it, and the figures panel
// shows the tooltip's lines unchanged), two tooltips in full (figures worked
// out with exact fractions), and the plain hex literal.

#include "action/word_details.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <optional>
#include <string>

#include "tests/support/escaped.h"
#include "tests/support/worked_cases.h"

namespace quorvel {
namespace {

constexpr std::array<Field, 4> kWordFields = {Field::kNideal, Field::kNhex, Field::kNewN, Field::kNewNhex};

// The panel's text without the indented lines that repeat its figures in full.
std::u16string WithoutFullLines(const std::u16string& panel) {
    std::u16string kept;
    for (std::size_t start = 0; start < panel.size();) {
        const std::size_t end = std::min(panel.find(u'\n', start), panel.size());
        if (panel[start] != u' ') kept.append(kept.empty() ? u"" : u"\n").append(panel, start, end - start);
        start = end + 1;
    }
    return kept;
}

class WordTips : public testing::TestWithParam<test::WorkedCase> {};

TEST_P(WordTips, OnlyOnTheWordFieldsTheRunWrote) {
    const test::WorkedCase& c = GetParam();
    WordFigureCalculator calculator;
    const DetailedOutcome run = RunActionWithFigures(test::InputFields(c), calculator);
    EXPECT_EQ(run.outcome.error, c.error);
    WrittenFields written;
    for (const FieldWriteLog::Write& write : c.writes) written.set(static_cast<std::size_t>(write.field));
    for (Field field : kAllFields) {
        const std::u16string tip = WordFieldTip(field, run.figures, written);
        const bool is_word_field = std::find(kWordFields.begin(), kWordFields.end(), field) != kWordFields.end();
        EXPECT_EQ(!tip.empty(), is_word_field && written[static_cast<std::size_t>(field)]) << FieldName(field);
        EXPECT_EQ(WithoutFullLines(WordFieldFigures(field, run.figures, written)), tip) << FieldName(field);
    }
}

INSTANTIATE_TEST_SUITE_P(Worked, WordTips, testing::ValuesIn(test::AllWorkedCases()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

DetailedOutcome RunWith(std::u16string_view bits, std::u16string_view wanted) {
    FieldTexts fields;
    fields.SetText(Field::kBitSize, bits);
    fields.SetText(Field::kFwanted, wanted);
    WordFigureCalculator calculator;
    return RunActionWithFigures(fields, calculator);
}

std::u16string TipAfter(Field field, std::u16string_view bits, std::u16string_view wanted) {
    return WordFieldTip(field, RunWith(bits, wanted).figures, WrittenFields().set());
}

TEST(WordTips, InitialTexts) {
    EXPECT_EQ(test::Escaped(TipAfter(Field::kNewNhex, u"32", u"25")),
              "Modified N 1073741824 with the inferred clock 100 MHz, wanted 25 MHz\\n"
              "Output +25.000 0 MHz\\nError 0 Hz (0 ppb)\\nExact nearest word: the same");
    EXPECT_EQ(test::Escaped(WordFieldFigures(Field::kNideal, RunWith(u"32", u"25").figures, WrittenFields().set())),
              "Wanted N 1073741824 with the entered clock 100 MHz, wanted 25 MHz\\n"
              "Output +25.000 0 MHz\\n    25000000 Hz\\nError 0 Hz (0 ppb)\\n    0 Hz (0 ppb)\\n"
              "Exact nearest word: the same");
}

// Clock 100 MHz, wanted 23.711649 MHz, 48 bits: the exact quotient is
// ...462.4963, its double ...462.5, so the word shown is one step high.
TEST(WordTips, WorkedExampleOneStepHigh) {
    EXPECT_EQ(test::Escaped(TipAfter(Field::kNhex, u"48", u"23.711649")),
              "Wanted N 66742358500463 with the entered clock 100 MHz, wanted 23.711649 MHz\\n"
              "Output +23.711 6 MHz\\n"
              "Error +178.944 nHz (+0.000 007 546 67 ppb)\\n"
              "Exact nearest word 66742358500462 (-1 step)\\n"
              "Its output +23.711 6 MHz\\n"
              "Its error -176.327 nHz (-0.000 007 436 32 ppb)");
}

// Errors below a part per billion either way, by hand at 32 bits of 100 MHz:
// 10 MHz is 429496729.6 steps, the word 429496730 gives 10000000.0093132...
// Hz (+0.9313225 ppb); 10.0375 MHz is 431107342.336 steps, the word
// 431107342 gives 10037499.9921768... Hz (-0.7793882 ppb).
TEST(WordTips, ErrorsBelowAPartPerBillion) {
    EXPECT_EQ(test::Escaped(TipAfter(Field::kNideal, u"32", u"10")),
              "Wanted N 429496730 with the entered clock 100 MHz, wanted 10 MHz\\n"
              "Output +10.000 0 MHz\\nError +9.313 23 mHz (+0.931 323 ppb)\\nExact nearest word: the same");
    EXPECT_EQ(test::Escaped(TipAfter(Field::kNideal, u"32", u"10.0375")),
              "Wanted N 431107342 with the entered clock 100 MHz, wanted 10.0375 MHz\\n"
              "Output +10.037 5 MHz\\nError -7.823 11 mHz (-0.779 388 ppb)\\nExact nearest word: the same");
}

// Each word's figures in full, as the panel and the companion give them.
struct FullTip {
    const char* name;
    Field field;
    std::u16string_view bits, clock, wanted, error;
    std::string tip;  // escaped
};

void PrintTo(const FullTip& c, std::ostream* os) { *os << c.name; }

class FiguresInFull : public testing::TestWithParam<FullTip> {};

TEST_P(FiguresInFull, OfEachWord) {
    const FullTip& c = GetParam();
    FieldTexts fields;
    fields.SetText(Field::kBitSize, c.bits);
    fields.SetText(Field::kFclock, c.clock);
    fields.SetText(Field::kFwanted, c.wanted);
    fields.SetText(Field::kFerror, c.error);
    WordFigureCalculator calculator;
    const DetailedOutcome run = RunActionWithFigures(fields, calculator);
    const bool ideal = c.field == Field::kNideal || c.field == Field::kNhex;
    const std::optional<WordFigures>& figures = ideal ? run.figures.ideal : run.figures.corrected;
    ASSERT_TRUE(figures.has_value());
    EXPECT_EQ(test::Escaped(WordFiguresText(*figures)), c.tip);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FiguresInFull,
    testing::Values(
        FullTip{"InitialTexts", Field::kNewNhex, u"32", u"100", u"25", u"",
                "Output 25000000 Hz\\nError 0 Hz (0 ppb)\\nExact nearest word: the same"},
        // Clock 100 MHz, wanted 23.711649 MHz, 48 bits: the exact quotient is
        // ...462.4963, its double ...462.5, so the word shown is one step high.
        FullTip{"WorkedExampleOneStepHigh", Field::kNhex, u"48", u"100", u"23.711649", u"",
                "Output 23711649.000000178944 Hz\\n"
                "Error 0.00000017894399206852540374 Hz (0.000007546670081 ppb)\\n"
                "Exact nearest word 66742358500462 (-1 step)\\n"
                "Its output 23711648.999999823673 Hz\\n"
                "Its error -0.0000001763273758115246892 Hz (-0.000007436318571 ppb)"},
        // N2 = 81198007799325 with the inferred clock; the exact inferred clock
        // starts from the loaded word N = 81198023843395, not from N2.
        FullTip{"CorrectedWordOneStepHigh", Field::kNewN, u"48", u"100", u"28.847333", u"5.7",
                "Output 28847333.000000177425 Hz\\n"
                "Error 0.00000017742545056619767151 Hz (0.000006150497537 ppb)\\n"
                "Exact nearest word 81198007799324 (-1 step)\\n"
                "Its output 28847332.999999822154 Hz\\n"
                "Its error -0.00000017784598751260683884 Hz (-0.000006165075555 ppb)"},
        // The written error cancels the written wanted frequency exactly; their
        // doubles differ by 2^-25 Hz, so the run goes on to N2 (and stops at its hex).
        FullTip{"NoExactClock", Field::kNewN, u"32", u"1000", u"256.816", u"-256816000",
                "Output 256815999.99999997087 Hz\\n"
                "Error 6.7688511426774868214e-10 Hz (2.635681244e-9 ppb)\\n"
                "No exact cross-check: the written numbers give a clock of 0"}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(PlainHexLiteral, WithoutBlanks) {
    const std::array<std::pair<std::u16string_view, std::optional<std::u16string>>, 7> cases = {{
        {u"0x 4000 0000", u"0x40000000"},
        {u"0x 028F 5C28 F5C3", u"0x028F5C28F5C3"},
        {u"0x FFFFFFFF FFFF", u"0xFFFFFFFFFFFF"},
        {u"", std::nullopt},
        {u"0x ", std::nullopt},
        {u"4000 0000", std::nullopt},
        {u"0x 40G0 0000", std::nullopt},
    }};
    for (const auto& [text, literal] : cases) EXPECT_EQ(PlainHexLiteral(text), literal) << test::Escaped(text);
}

}  // namespace
}  // namespace quorvel
