#include "cli/batch.h"
#include "cli/outcome_text.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/utf16.h"

namespace quorvel::cli {
namespace {

// The window's initial texts after one Calculate.
constexpr const char* kInitialOutcome =
    R"({"fields":{"BitSize":"32","Fclock":"100","Fwanted":"25","Ferror":"",)"
    R"("Resol":" .023283064365387","Nideal":" 1073741824","Nhex":"0x 4000 0000",)"
    R"("ActualClock":" 100","NewN":" 1073741824","NewNhex":"0x 4000 0000"},"error":null})";

struct BatchRun {
    std::vector<std::string> lines;
    bool all_valid;
};

BatchRun Batch(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    const bool all_valid = RunBatch(in, out);
    BatchRun run{{}, all_valid};
    std::istringstream written(out.str());
    for (std::string line; std::getline(written, line);) run.lines.push_back(line);
    EXPECT_TRUE(out.str().empty() || out.str().back() == '\n');
    return run;
}

TEST(Batch, WritesOneOutcomePerLineInInputOrderEachOnFreshFields) {
    const BatchRun run = Batch(
        R"({"Fwanted":"60"})" "\n"
        "{}\n"  // no marker left over from the line before
        R"({"Ferror":"10"})" "\n"
        R"({"BitSize":""})" "\n"
        R"({"Fclock":"0"})" "\n"
        R"({"BitSize":"48","Fwanted":"50"})");  // the last line has no newline
    EXPECT_TRUE(run.all_valid);
    const std::vector<std::string> expected = {
        R"({"fields":{"BitSize":"32","Fclock":"100","Fwanted":"60 NYQUIST!","Ferror":"",)"
        R"("Resol":" .023283064365387","Nideal":" 2576980378","Nhex":"0x 9999 999A",)"
        R"("ActualClock":" 99.999999984478","NewN":" 2576980378","NewNhex":"0x 9999 999A"},"error":null})",
        kInitialOutcome,
        R"({"fields":{"BitSize":"32","Fclock":"100","Fwanted":"25","Ferror":"10",)"
        R"("Resol":" .023283064365387","Nideal":" 1073741824","Nhex":"0x 4000 0000",)"
        R"("ActualClock":" 100.00004","NewN":" 1073741395","NewNhex":"0x 3FFF FE53"},"error":null})",
        // Stops at the first step: nothing written.
        R"({"fields":{"BitSize":"","Fclock":"100","Fwanted":"25","Ferror":"","Resol":"",)"
        R"("Nideal":"","Nhex":"","ActualClock":"","NewN":"","NewNhex":""},)"
        R"("error":{"number":13,"description":"Type mismatch"}})",
        // Step 6: the marker and Resol written before the stop.
        R"({"fields":{"BitSize":"32","Fclock":"0","Fwanted":"25 NYQUIST!","Ferror":"",)"
        R"("Resol":" 0","Nideal":"","Nhex":"","ActualClock":"","NewN":"","NewNhex":""},)"
        R"("error":{"number":11,"description":"Division by zero"}})",
        // Step 7: 48 bits at half the clock.
        R"({"fields":{"BitSize":"48","Fclock":"100","Fwanted":"50 NYQUIST!","Ferror":"",)"
        R"("Resol":" 3.5527136788005E-07","Nideal":" 140737488355328","Nhex":"",)"
        R"("ActualClock":"","NewN":"","NewNhex":""},"error":{"number":6,"description":"Overflow"}})",
    };
    EXPECT_EQ(run.lines, expected);
}

TEST(Batch, ReadsCrLfLines) {
    const BatchRun run = Batch("{}\r\n\r\n{}\r\n");
    const std::vector<std::string> expected = {kInitialOutcome, R"({"invalid":"empty line"})",
                                               kInitialOutcome};
    EXPECT_EQ(run.lines, expected);
}

TEST(Batch, KeepsNonAsciiTextExactly) {
    const BatchRun run = Batch(R"({"Fwanted":"60 — ünï 😀 \u00e9"})" "\n");
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
    const BatchRun run = Batch(std::string("{}\n") + GetParam().line + "\n{}\n");
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
                    InvalidCase{"DuplicateKey", R"({"Fclock":"100","Fclock":"125"})", R"(duplicate key "Fclock")"},
                    InvalidCase{"Number", R"({"BitSize":32})", R"(the value of "BitSize" is not a string)"},
                    InvalidCase{"ObjectValue", R"({"Fclock":{"MHz":"100"}})", R"(the value of "Fclock" is not a string)"}),
    CaseName);

TEST(Batch, HugeLineGetsAShortReason) {
    const std::string huge = "{\"Fwanted\":\"" + std::string(1'000'000, '9');  // never closed
    const BatchRun run = Batch(huge + "\n");
    ASSERT_EQ(run.lines.size(), 1U);
    const std::string reason = nlohmann::json::parse(run.lines[0]).at("invalid");
    EXPECT_LE(reason.size(), 200U);
    EXPECT_EQ(reason.rfind("not JSON: ", 0), 0U);
}


// The same outcome as a JSON document built with the library: the reference
// the line writer must match byte for byte.
nlohmann::ordered_json LibraryOutcomeJson(const ActionOutcome& outcome) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::object();
    for (Field field : kAllFields) {
        fields.emplace(std::string(FieldName(field)), Utf16ToUtf8(outcome.fields[field]));
    }
    nlohmann::ordered_json error;
    if (outcome.error) {
        error = {{"number", static_cast<int>(*outcome.error)}, {"description", Description(*outcome.error)}};
    }
    return {{"fields", std::move(fields)}, {"error", std::move(error)}};
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
            EXPECT_EQ(out.str(), JsonLine(LibraryOutcomeJson(outcome)) + "\n")
                << "text of " << text.size() << " code units, first " << static_cast<int>(text[0]);
        }
    }
}

}  // namespace
}  // namespace quorvel::cli
