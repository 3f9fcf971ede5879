// The Calculate action on a plain set of fields: the worked examples, and a
// failure at each step with exactly the earlier fields written, in order.

#include "window/calculate_action.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "core/run_error.h"
#include "core/utf16.h"

namespace quorvel {
namespace {

struct Inputs {
    std::u16string bits = u"32";
    std::u16string clock = u"100";
    std::u16string wanted = u"25";
    std::u16string error = u"";
};

// Fields that record every write, and the order of writes and reactions.
class RecordingFields final : public FieldAccess {
public:
    explicit RecordingFields(const Inputs& in) {
        texts_.SetText(Field::kBitSize, in.bits);
        texts_.SetText(Field::kFclock, in.clock);
        texts_.SetText(Field::kFwanted, in.wanted);
        texts_.SetText(Field::kFerror, in.error);
    }
    std::u16string Text(Field field) const override { return texts_.Text(field); }
    void SetText(Field field, std::u16string_view text) override {
        texts_.SetText(field, text);
        writes.emplace_back(field, std::u16string(text));
        // Stands for the window's change reaction, which must run before the
        // action goes on.
        if (field == Field::kFwanted) ++wanted_reactions;
    }
    const std::u16string& operator[](Field field) const { return texts_[field]; }

    std::vector<std::pair<Field, std::u16string>> writes;
    int wanted_reactions = 0;

private:
    FieldTexts texts_;
};

struct ActionRun {
    RecordingFields fields;
    CalculatorVariables vars;
    std::optional<ErrorKind> error;
};

ActionRun Calculated(const Inputs& in, CalculatorVariables vars = {}) {
    ActionRun run{RecordingFields(in), vars, std::nullopt};
    try {
        Calculate(run.fields, run.vars);
    } catch (const RunTimeError& e) {
        run.error = e.kind();
    }
    return run;
}

using Writes = std::vector<std::pair<Field, std::u16string>>;

void PrintTo(const Inputs& in, std::ostream* os) {
    *os << Utf16ToUtf8(in.bits) << '|' << Utf16ToUtf8(in.clock) << '|' << Utf16ToUtf8(in.wanted) << '|'
        << Utf16ToUtf8(in.error);
}

TEST(CalculateAction, InitialTexts) {
    const ActionRun run = Calculated({});
    ASSERT_FALSE(run.error);
    const Writes expected = {
        {Field::kResol, u" .023283064365387"}, {Field::kNideal, u" 1073741824"},
        {Field::kNhex, u"0x 4000 0000"},       {Field::kActualClock, u" 100"},
        {Field::kNewN, u" 1073741824"},        {Field::kNewNhex, u"0x 4000 0000"},
    };
    EXPECT_EQ(run.fields.writes, expected);
    EXPECT_EQ(run.fields[Field::kFwanted], u"25");
    EXPECT_EQ(run.vars.Bits, 32);
    EXPECT_EQ(run.vars.Fc, 100e6);
    EXPECT_EQ(run.vars.N, 1073741824);
    EXPECT_EQ(run.vars.Fdiff, 0);
}

struct Example {
    Inputs in;
    std::u16string resol, nideal, nhex, actual_clock, new_n, new_nhex;
};

void PrintTo(const Example& e, std::ostream* os) { PrintTo(e.in, os); }

class WorkedExample : public testing::TestWithParam<Example> {};

TEST_P(WorkedExample, WritesEveryOutput) {
    const Example& e = GetParam();
    const ActionRun run = Calculated(e.in);
    ASSERT_FALSE(run.error);
    EXPECT_EQ(run.fields[Field::kResol], e.resol);
    EXPECT_EQ(run.fields[Field::kNideal], e.nideal);
    EXPECT_EQ(run.fields[Field::kNhex], e.nhex);
    EXPECT_EQ(run.fields[Field::kActualClock], e.actual_clock);
    EXPECT_EQ(run.fields[Field::kNewN], e.new_n);
    EXPECT_EQ(run.fields[Field::kNewNhex], e.new_nhex);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, WorkedExample,
    testing::Values(
        Example{{u"32", u"100", u"25", u"10"}, u" .023283064365387", u" 1073741824", u"0x 4000 0000",
                u" 100.00004", u" 1073741395", u"0x 3FFF FE53"},
        Example{{u"32", u"100", u"1", u""}, u" .023283064365387", u" 42949673", u"0x 028F 5C29",
                u" 99.9999999068677", u" 42949673", u"0x 028F 5C29"},
        Example{{u"48", u"100", u"25", u""}, u" 3.5527136788005E-07", u" 70368744177664",
                u"0x 4000 0000 0000", u" 100", u" 70368744177664", u"0x 4000 0000 0000"},
        Example{{u"48", u"100", u"1", u""}, u" 3.5527136788005E-07", u" 2814749767107",
                u"0x 028F 5C28 F5C3", u" 99.9999999999844", u" 2814749767107", u"0x 028F 5C28 F5C3"},
        Example{{u"48", u"180", u"10", u""}, u" 6.3948846218409E-07", u" 15637498706148",
                u"0x 0E38 E38E 38E4", u" 179.999999999995", u" 15637498706148", u"0x 0E38 E38E 38E4"},
        Example{{u"32", u"100", u"60", u""}, u" .023283064365387", u" 2576980378", u"0x 9999 999A",
                u" 99.999999984478", u" 2576980378", u"0x 9999 999A"},
        // The error field is hertz, blanks and all, and not scaled.
        Example{{u" 32 ", u"1 00", u"2 5", u"1 0 Hz"}, u" .023283064365387", u" 1073741824",
                u"0x 4000 0000", u" 100.00004", u" 1073741395", u"0x 3FFF FE53"}));

TEST(CalculateAction, ClockOf125) {
    const ActionRun run = Calculated({u"32", u"125", u"25", u""});
    EXPECT_EQ(run.fields[Field::kResol], u" 2.91038304567337E-02");
    EXPECT_EQ(run.fields[Field::kNideal], u" 858993459");
    EXPECT_EQ(run.fields[Field::kNhex], u"0x 3333 3333");
}

TEST(CalculateAction, MarkerIsWrittenFirstAndKeepsTheText) {
    const ActionRun run = Calculated({u"32", u"100", u"60 MHz \u2713", u""});
    ASSERT_FALSE(run.error);
    ASSERT_FALSE(run.fields.writes.empty());
    EXPECT_EQ(run.fields.writes.front(),
              std::make_pair(Field::kFwanted, std::u16string(u"60 MHz \u2713 NYQUIST!")));
    EXPECT_EQ(run.fields.wanted_reactions, 1);
    EXPECT_EQ(run.fields.writes.size(), 7u);
}

TEST(CalculateAction, MarkerAddsUpOverRuns) {
    ActionRun run = Calculated({u"32", u"100", u"60", u""});
    for (int i = 0; i < 2; ++i) Calculate(run.fields, run.vars);
    EXPECT_EQ(run.fields[Field::kFwanted], u"60 NYQUIST! NYQUIST! NYQUIST!");
    EXPECT_EQ(run.fields[Field::kNideal], u" 2576980378");
}

TEST(CalculateAction, NoMarkerAtTheLimit) {
    // 49.9 MHz is exactly 0.499 of 100 MHz in doubles; the test is strict.
    EXPECT_EQ(Calculated({u"32", u"100", u"49.9", u""}).fields[Field::kFwanted], u"49.9");
    EXPECT_EQ(Calculated({u"32", u"100", u"50", u""}).fields[Field::kFwanted], u"50 NYQUIST!");
}

struct Failure {
    const char* name;
    Inputs in;
    ErrorKind error;
    Writes writes;  // exactly these, in this order
};

void PrintTo(const Failure& f, std::ostream* os) { *os << f.name; }

class FailingRun : public testing::TestWithParam<Failure> {};

TEST_P(FailingRun, StopsAtItsStepWithEarlierWritesKept) {
    const Failure& f = GetParam();
    const ActionRun run = Calculated(f.in);
    ASSERT_TRUE(run.error);
    EXPECT_EQ(*run.error, f.error);
    EXPECT_EQ(run.fields.writes, f.writes);
}

const std::u16string kResol32 = u" .023283064365387";

INSTANTIATE_TEST_SUITE_P(
    Steps, FailingRun,
    testing::Values(
        Failure{"EmptyBitSize", {u"", u"100", u"60", u""}, ErrorKind::kTypeMismatch, {}},
        Failure{"WordsInBitSize", {u"32 bits", u"100", u"25", u""}, ErrorKind::kTypeMismatch, {}},
        Failure{"BitSizeTooLarge", {u"40000", u"100", u"25", u""}, ErrorKind::kOverflow, {}},
        Failure{"ClockBeyondDouble", {u"32", u"1e303", u"25", u""}, ErrorKind::kOverflow, {}},
        Failure{"WantedBeyondDouble", {u"32", u"100", u"1e303", u""}, ErrorKind::kOverflow, {}},
        Failure{"ZeroClock",
                {u"32", u"0", u"25", u""},
                ErrorKind::kDivisionByZero,
                {{Field::kFwanted, u"25 NYQUIST!"}, {Field::kResol, u" 0"}}},
        Failure{"ZeroClockAndWanted", {u"32", u"", u"0", u""}, ErrorKind::kOverflow, {{Field::kResol, u" 0"}}},
        Failure{"ZeroWantedNoError",
                {u"32", u"100", u"0", u""},
                ErrorKind::kOverflow,
                {{Field::kResol, kResol32}, {Field::kNideal, u" 0"}, {Field::kNhex, u"0x 0000 0000"}}},
        Failure{"ZeroWantedWithError",
                {u"32", u"100", u"0", u"5"},
                ErrorKind::kDivisionByZero,
                {{Field::kResol, kResol32}, {Field::kNideal, u" 0"}, {Field::kNhex, u"0x 0000 0000"}}},
        Failure{"ErrorCancelsWanted",
                {u"32", u"100", u"25", u"-25000000"},
                ErrorKind::kDivisionByZero,
                {{Field::kResol, kResol32},
                 {Field::kNideal, u" 1073741824"},
                 {Field::kNhex, u"0x 4000 0000"},
                 {Field::kActualClock, u" 0"}}},
        Failure{"HalfTheClockAt48Bits",
                {u"48", u"100", u"50", u""},
                ErrorKind::kOverflow,
                {{Field::kFwanted, u"50 NYQUIST!"},
                 {Field::kResol, u" 3.5527136788005E-07"},
                 {Field::kNideal, u" 140737488355328"}}},
        Failure{"WidthOf1024", {u"1024", u"100", u"25", u""}, ErrorKind::kOverflow, {}},
        Failure{"WidthOf1024Marked",
                {u"1024", u"100", u"60", u""},
                ErrorKind::kOverflow,
                {{Field::kFwanted, u"60 NYQUIST!"}}},
        Failure{"TinyWidth", {u"-1075", u"100", u"25", u""}, ErrorKind::kDivisionByZero, {}},
        Failure{"ErrorBeyondDouble",
                {u"32", u"100", u"25", u"1e309"},
                ErrorKind::kOverflow,
                {{Field::kResol, kResol32}, {Field::kNideal, u" 1073741824"}, {Field::kNhex, u"0x 4000 0000"}}},
        // An error that nearly cancels the wanted frequency infers a clock of
        // a few microhertz; the corrected word is then far too wide for hex.
        Failure{"CorrectedWordTooWide",
                {u"32", u"100", u"25", u"-24999999.999999"},
                ErrorKind::kOverflow,
                {{Field::kResol, kResol32},
                 {Field::kNideal, u" 1073741824"},
                 {Field::kNhex, u"0x 4000 0000"},
                 {Field::kActualClock, u" 3.99351119995117E-12"},
                 {Field::kNewN, u" 2.68871619544507E+22"}}}),
    [](const testing::TestParamInfo<Failure>& p) { return p.param.name; });

TEST(CalculateAction, VariablesKeepEarlierValuesAfterAStop) {
    CalculatorVariables before;
    before.Fc2 = 7;
    before.N2 = 8;
    const ActionRun run = Calculated({u"32", u"100", u"0", u""}, before);
    ASSERT_EQ(run.error, ErrorKind::kOverflow);
    EXPECT_EQ(run.vars.N, 0);
    EXPECT_EQ(run.vars.Fdiff, 0);
    EXPECT_EQ(run.vars.Fc2, 7);  // not reached
    EXPECT_EQ(run.vars.N2, 8);
}

}  // namespace
}  // namespace quorvel
