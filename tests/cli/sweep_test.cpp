// The wanted texts of a sweep, its bad forms, and its rows in both shapes.
// The wanted texts are worked out by hand; the rows are worked cases of the
// shared table.

#include "cli/sweep.h"

#include <sstream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "cli/exit_status.h"
#include "core/utf16.h"
#include "tests/support/batch_harness.h"
#include "tests/support/worked_cases.h"

namespace quorvel::cli {
namespace {

// A sweep text as a test name: "-1.5:-1:.25" -> "m1p5_m1_p25".
std::string SweepName(std::string_view sweep) {
    if (sweep.empty()) return "empty";
    std::string name;
    for (const char c : sweep) {
        switch (c) {
            case ':': name += '_'; break;
            case '.': name += 'p'; break;
            case '-': name += 'm'; break;
            case '+': name += "plus"; break;
            case ' ': name += "blank"; break;
            case ',': name += "comma"; break;
            default: name += c;  // the tables hold digits and letters otherwise
        }
    }
    return name;
}

template <class Case>
std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return SweepName(info.param.sweep);
}

struct SteppingCase {
    const char* sweep;
    std::vector<std::string> texts;
};
void PrintTo(const SteppingCase& stepping, std::ostream* out) { *out << stepping.sweep; }

const SteppingCase kSteppingCases[] = {
    {"0:0.3:0.1", {"0", "0.1", "0.2", "0.3"}},  // where doubles give 0.30000000000000004
    {"10:10.05:0.0125", {"10", "10.0125", "10.025", "10.0375", "10.05"}},  // lands on TO
    {"10:10.049:0.0125", {"10", "10.0125", "10.025", "10.0375"}},          // stops short of TO
    {"1:0:-0.3", {"1", "0.7", "0.4", "0.1"}},
    {"0.5:-0.5:-0.25", {"0.5", "0.25", "0", "-0.25", "-0.5"}},  // no "-0"
    {"-1.5:-1:.25", {"-1.5", "-1.25", "-1"}},
    {"7:7:-1", {"7"}},
    {"+010.50:11:0.25", {"10.5", "10.75", "11"}},
    {"5.:6:.5", {"5", "5.5", "6"}},
    {"0.1:0.35:0.1", {"0.1", "0.2", "0.3"}},  // TO's extra decimal adds none to the texts
    {"123456789.123456789:123456789.1234567891:0.0000000001",
     {"123456789.123456789", "123456789.1234567891"}},
    {"0:1:0.3333333333333333333333",
     {"0", "0.3333333333333333333333", "0.6666666666666666666666", "0.9999999999999999999999"}},
    {"99999999999999999999:100000000000000000001:1",
     {"99999999999999999999", "100000000000000000000", "100000000000000000001"}},
};

class SweepStepping : public testing::TestWithParam<SteppingCase> {};

TEST_P(SweepStepping, WritesEachExactDecimalPlainly) {
    const auto parsed = ParseSweep(GetParam().sweep);
    ASSERT_TRUE(std::holds_alternative<SweepPlan>(parsed));
    const SweepPlan& plan = std::get<SweepPlan>(parsed);
    WantedTexts wanted(plan);
    std::vector<std::string> texts;
    for (std::int64_t row = 0; row < plan.rows; ++row) texts.emplace_back(wanted.Next());
    EXPECT_EQ(texts, GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(Cases, SweepStepping, testing::ValuesIn(kSteppingCases), CaseName<SteppingCase>);

TEST(SweepStepping, TenMillionRowsIsTheMost) {
    const auto parsed = ParseSweep("0:9.999999:0.000001");
    ASSERT_TRUE(std::holds_alternative<SweepPlan>(parsed));
    EXPECT_EQ(std::get<SweepPlan>(parsed).rows, 10'000'000);
}

struct BadSweep {
    const char* sweep;
    const char* message_part;
};
void PrintTo(const BadSweep& bad, std::ostream* out) { *out << bad.sweep; }

const BadSweep kBadSweeps[] = {
    {"10:11", "FROM:TO:STEP"},
    {"abc:11", "FROM:TO:STEP"},
    {"10:11:0.1:5", "FROM:TO:STEP"},
    {"", "FROM:TO:STEP"},
    {":11:0.1", "FROM is not a plain decimal"},
    {"10::0.1", "TO is not a plain decimal"},
    {"1e1:11:0.1", "FROM is not a plain decimal"},
    {"10:11: 0.1", "STEP is not a plain decimal"},
    {"10:11:0,1", "STEP is not a plain decimal"},
    {"10:11:.", "STEP is not a plain decimal"},
    {"10:11:-", "STEP is not a plain decimal"},
    {"10:1.1.1:1", "TO is not a plain decimal"},
    {"10:11:0x1", "STEP is not a plain decimal"},
    {"10:11:0", "STEP is 0"},
    {"10:11:-0.000", "STEP is 0"},
    {"10:11:-0.1", "STEP leads away from TO"},
    {"11:10:0.1", "STEP leads away from TO"},
    {"0:10:0.000001", "more than 10000000 rows"},
};

class SweepRefused : public testing::TestWithParam<BadSweep> {};

TEST_P(SweepRefused, ExitsTwoWithAMessageAndNoOutput) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunSweep({GetParam().sweep, {}, RowFormat::kCsv}, out, err), kExitInvalidInput);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find(GetParam().message_part), std::string::npos) << err.str();
}

INSTANTIATE_TEST_SUITE_P(Cases, SweepRefused, testing::ValuesIn(kBadSweeps), CaseName<BadSweep>);

TEST(SweepRefused, InputTextThatIsNotUtf8) {
    std::ostringstream out;
    std::ostringstream err;
    const SweepRequest request{"1:2:1", {{Field::kFclock, "--clock", "\xFF"}}, RowFormat::kJsonLines};
    EXPECT_EQ(RunSweep(request, out, err), kExitInvalidInput);
    EXPECT_EQ(out.str(), "");
}

// The worked cases a sweep 0:1:1 on the initial texts runs through: 0 MHz
// stops at a run-time error, 1 MHz runs to the end.
const std::vector<std::string_view> kSweepZeroToOneCases = {"ZeroWantedNoError", "Wanted1MHz"};
const SweepRequest kZeroToOne{"0:1:1", {}, RowFormat::kJsonLines};

TEST(SweepRows, JsonLinesGoOnAfterARunTimeErrorAndExitOne) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunSweep(kZeroToOne, out, err), kExitRunTimeError);
    std::string expected;
    for (std::string_view name : kSweepZeroToOneCases) expected += test::ExpectedLine(test::FindWorkedCase(name)) + "\n";
    EXPECT_EQ(out.str(), expected);
    EXPECT_EQ(err.str(), "");
}

TEST(SweepRows, CsvHeaderThenOneRowEachWithTheErrorInTwoColumns) {
    SweepRequest request = kZeroToOne;
    request.format = RowFormat::kCsv;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunSweep(request, out, err), kExitRunTimeError);
    // No text of these cases needs quotes: the row is the texts joined by commas.
    std::string expected =
        "BitSize,Fclock,Fwanted,Ferror,Resol,Nideal,Nhex,ActualClock,NewN,NewNhex,"
        "error_number,error_description\r\n";
    for (std::string_view name : kSweepZeroToOneCases) {
        const test::WorkedCase& worked = test::FindWorkedCase(name);
        const FieldTexts fields = test::FieldsAfter(worked);
        for (Field field : kAllFields) expected += Utf16ToUtf8(fields[field]) + ",";
        if (worked.error) {
            expected += std::to_string(static_cast<int>(*worked.error)) + "," + std::string(Description(*worked.error));
        } else {
            expected += ",";
        }
        expected += "\r\n";
    }
    EXPECT_EQ(out.str(), expected);
}

TEST(SweepRows, EveryRowFineExitsZero) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunSweep({"10:11:0.5", {}, RowFormat::kJsonLines}, out, err), kExitOk);
    EXPECT_NE(out.str().find(R"("Fwanted":"10.5")"), std::string::npos);
}

}  // namespace
}  // namespace quorvel::cli
