// The Calculate action on a plain set of fields: every worked case writes
// exactly its texts, in order, and stops with its error at its step.

#include "action/calculate_action.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "action/field_write_log.h"
#include "tests/support/escaped.h"
#include "tests/support/worked_cases.h"

namespace quorvel {
namespace {

using test::WorkedCase;

std::string Describe(const std::vector<FieldWriteLog::Write>& writes) {
    std::string text;
    for (const FieldWriteLog::Write& write : writes) {
        text.append("\n  ").append(FieldName(write.field)).append(" = \"").append(test::Escaped(write.text)).append("\"");
    }
    return text;
}

struct ActionRun {
    FieldTexts fields;
    CalculatorVariables vars;
    std::vector<FieldWriteLog::Write> writes;
    std::optional<ErrorKind> error;
};

ActionRun Calculated(const WorkedCase& c, CalculatorVariables vars = {}) {
    ActionRun run{test::InputFields(c), vars, {}, std::nullopt};
    FieldWriteLog log(run.fields);
    run.error = CalculateCatchingRunTimeError(log, run.vars);
    run.writes = log.writes();
    return run;
}

class WorkedCaseTest : public testing::TestWithParam<WorkedCase> {};

TEST_P(WorkedCaseTest, WritesItsTextsInOrderAndStopsAtItsStep) {
    const WorkedCase& c = GetParam();
    const ActionRun run = Calculated(c);
    EXPECT_EQ(run.error, c.error);
    EXPECT_EQ(run.writes, c.writes) << "written:" << Describe(run.writes) << "\nexpected:" << Describe(c.writes);
}

std::string CaseName(const testing::TestParamInfo<WorkedCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Finished, WorkedCaseTest, testing::ValuesIn(test::FinishedRuns()), CaseName);
INSTANTIATE_TEST_SUITE_P(Failed, WorkedCaseTest, testing::ValuesIn(test::FailedRuns()), CaseName);
INSTANTIATE_TEST_SUITE_P(Edges, WorkedCaseTest, testing::ValuesIn(test::EdgeRuns()), CaseName);

TEST(CalculateAction, KeepsTheVariablesOfTheRun) {
    const ActionRun run = Calculated(test::FindWorkedCase("Error10Hz"));
    EXPECT_EQ(run.vars.Bits, 32);
    EXPECT_EQ(run.vars.Fc, 100e6);
    EXPECT_EQ(run.vars.Fout, 25e6);
    EXPECT_EQ(run.vars.N, 1073741824);
    EXPECT_EQ(run.vars.Fdiff, 10);
    EXPECT_EQ(run.vars.N2, 1073741395);
}

TEST(CalculateAction, MarkerKeepsWhateverFollowsTheNumber) {
    WorkedCase c = test::FindWorkedCase("AboveNyquist");
    c.inputs[2] = u"60 MHz \u2713";
    const ActionRun run = Calculated(c);
    ASSERT_FALSE(run.writes.empty());
    EXPECT_EQ(run.writes.front().field, Field::kFwanted);
    EXPECT_EQ(run.writes.front().text, u"60 MHz \u2713 NYQUIST!");
}

TEST(CalculateAction, MarkerAddsUpOverRuns) {
    ActionRun run = Calculated(test::FindWorkedCase("AboveNyquist"));
    for (int i = 0; i < 2; ++i) Calculate(run.fields, run.vars);
    EXPECT_EQ(run.fields[Field::kFwanted], u"60 NYQUIST! NYQUIST! NYQUIST!");
    EXPECT_EQ(run.fields[Field::kNideal], u" 2576980378");
}

TEST(CalculateAction, NoMarkerAtTheLimit) {
    // 49.9 MHz is exactly 0.499 of 100 MHz in doubles; the test is strict.
    WorkedCase c = test::FindWorkedCase("InitialTexts");
    c.inputs[2] = u"49.9";
    EXPECT_EQ(Calculated(c).fields[Field::kFwanted], u"49.9");
    c.inputs[2] = u"49.900001";
    EXPECT_EQ(Calculated(c).fields[Field::kFwanted], u"49.900001 NYQUIST!");
}

TEST(CalculateAction, VariablesKeepEarlierValuesAfterAStop) {
    CalculatorVariables before;
    before.Fc2 = 7;
    before.N2 = 8;
    const ActionRun run = Calculated(test::FindWorkedCase("ZeroWantedNoError"), before);
    ASSERT_EQ(run.error, ErrorKind::kOverflow);
    EXPECT_EQ(run.vars.N, 0);
    EXPECT_EQ(run.vars.Fdiff, 0);
    EXPECT_EQ(run.vars.Fc2, 7);  // not reached
    EXPECT_EQ(run.vars.N2, 8);
}

TEST(RunAction, StartsFromAFreshWindowAndKeepsTheError) {
    const ActionOutcome outcome = RunAction(test::InputFields(test::FindWorkedCase("ZeroClock")));
    EXPECT_EQ(outcome.error, ErrorKind::kDivisionByZero);
    EXPECT_EQ(outcome.variables.Fc, 0);
    EXPECT_EQ(outcome.variables.Fout, 25e6);
    EXPECT_EQ(outcome.fields[Field::kNideal], u"");
}

}  // namespace
}  // namespace quorvel
