#include "cli/batch.h"
#include "cli/outcome_text.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/utf16.h"
#include "tests/support/batch_harness.h"
#include "tests/support/escaped.h"

namespace quorvel::cli {
namespace {

using test::RunBatchOn;

const std::string kInitialOutcome = test::ExpectedLine(test::FindWorkedCase("InitialTexts"));

TEST(Batch, WritesEveryWorkedCaseInInputOrderEachOnFreshFields) {
    // "{}" after each case: nothing of a case, a marker least of all, may
    // reach the line after it.
    std::string input;
    std::vector<std::string> expected;
    for (const test::WorkedCase& c : test::AllWorkedCases()) {
        input += test::InputLine(c) + "\n{}\n";
        expected.push_back(test::ExpectedLine(c));
        expected.push_back(kInitialOutcome);
    }
    input.pop_back();  // the last line has no newline
    const test::BatchRun run = RunBatchOn(input);
    EXPECT_TRUE(run.all_valid);
    ASSERT_EQ(run.lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(run.lines[i], expected[i]) << "line " << i + 1;
}

TEST(Batch, ReadsCrLfLines) {
    const test::BatchRun run = RunBatchOn("{}\r\n\r\n{}\r\n");
    const std::vector<std::string> expected = {kInitialOutcome, R"({"invalid":"empty line"})",
                                               kInitialOutcome};
    EXPECT_EQ(run.lines, expected);
}

TEST(Batch, KeepsNonAsciiTextExactly) {
    const test::BatchRun run = RunBatchOn(R"({"Fwanted":"60 — ünï 😀 \u00e9"})" "\n");
    ASSERT_EQ(run.lines.size(), 1U);
    EXPECT_EQ(nlohmann::json::parse(run.lines[0])["fields"]["Fwanted"], "60 — ünï 😀 é NYQUIST!");
}

struct InvalidCase {
    const char* name;
    const char* line;
    const char* reason;  // the whole reason, or its start for the parser's reports
};

void PrintTo(const InvalidCase& invalid, std::ostream* out) { *out << invalid.name; }

std::string CaseName(const testing::TestParamInfo<InvalidCase>& case_info) {
    return case_info.param.name;
}

class BatchInvalidLine : public testing::TestWithParam<InvalidCase> {};

TEST_P(BatchInvalidLine, IsReportedInPlaceAndTheBatchGoesOn) {
    const test::BatchRun run = RunBatchOn(std::string("{}\n") + GetParam().line + "\n{}\n");
    EXPECT_FALSE(run.all_valid);
    ASSERT_EQ(run.lines.size(), 3U);
    EXPECT_EQ(run.lines[0], kInitialOutcome);
    EXPECT_EQ(run.lines[2], kInitialOutcome);
    // Parsing also proves the line is well-formed JSON, bad input bytes included.
    const nlohmann::json report = nlohmann::json::parse(run.lines[1]);
    ASSERT_EQ(report.size(), 1U);
    EXPECT_EQ(report.at("invalid").get<std::string>().rfind(GetParam().reason, 0), 0U) << run.lines[1];
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BatchInvalidLine,
    testing::Values(InvalidCase{"Empty", "", "empty line"},
                    InvalidCase{"NotJson", "BitSize=32", "not JSON: "},
                    InvalidCase{"TwoObjects", "{} {}", "not JSON: "},
                    InvalidCase{"BadUtf8InString", "{\"Fwanted\":\"25\xff\"}", "not JSON: "},
                    InvalidCase{"Array", R"(["32"])", "not an object"},
                    InvalidCase{"String", R"("32")", "not an object"},
                    InvalidCase{"UnknownKey", R"({"Bitsize":"32"})", R"(unknown key "Bitsize")"},
                    InvalidCase{"OutputFieldAsKey", R"({"Nideal":"5"})", R"(unknown key "Nideal")"},
                    InvalidCase{"DuplicateKey", R"({"Fclock":"100","Fclock":"125"})", R"(duplicate key "Fclock")"},
                    InvalidCase{"Number", R"({"BitSize":32})", R"(the value of "BitSize" is not a string)"},
                    InvalidCase{"ObjectValue", R"({"Fclock":{"MHz":"100"}})", R"(the value of "Fclock" is not a string)"}),
    CaseName);

TEST(Batch, HugeLineGetsAShortReason) {
    const std::string huge = "{\"Fwanted\":\"" + std::string(1'000'000, '9');  // never closed
    const test::BatchRun run = RunBatchOn(huge + "\n");
    ASSERT_EQ(run.lines.size(), 1U);
    const std::string reason = nlohmann::json::parse(run.lines[0]).at("invalid");
    EXPECT_LE(reason.size(), 200U);
    EXPECT_EQ(reason.rfind("not JSON: ", 0), 0U);
}


TEST(BatchLineWriter, MatchesTheLibrarySerializer) {
    std::vector<std::u16string> texts = {u"", u" .5", u"a\"b\\c/d", u"\u00E9\u20AC\xD83D\xDE00",
                                         u"lone \xD800 surrogate", u"\x7F\u0080"};
    for (char16_t c = 0; c < 0x20; ++c) texts.push_back(std::u16string(1, c) + u"x");

    OutcomeJsonWriter writer;
    for (const std::u16string& text : texts) {
        for (const bool failed : {false, true}) {
            ActionOutcome outcome;
            outcome.fields.SetText(quorvel::Field::kFerror, text);
            outcome.fields.SetText(quorvel::Field::kNewNhex, text);
            if (failed) outcome.error = quorvel::ErrorKind::kDivisionByZero;
            std::ostringstream out;
            writer.WriteLine(outcome, out);
            EXPECT_EQ(out.str(), JsonLine(test::LibraryOutcomeJson(outcome.fields, outcome.error)) + "\n")
                << "text \"" << test::Escaped(text) << "\"";
        }
    }
}

}  // namespace
}  // namespace quorvel::cli
