// --details and --word. Each worked case through --batch --details must give
// its line without details unchanged, with a word's figures present exactly
// when the run wrote that word; the figures themselves were worked out with
// exact fractions.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/batch.h"
#include "cli/details.h"
#include "cli/exit_status.h"
#include "cli/word_query.h"
#include "tests/support/batch_harness.h"
#include "tests/support/worked_cases.h"

namespace quorvel::cli {
namespace {

bool Wrote(const test::WorkedCase& c, Field field) {
    for (const FieldWriteLog::Write& write : c.writes) {
        if (write.field == field) return true;
    }
    return false;
}

TEST(BatchDetails, EveryWorkedCaseKeepsItsLineAndGetsFiguresForTheWordsItWrote) {
    std::string input;
    for (const test::WorkedCase& c : test::AllWorkedCases()) input += test::InputLine(c) + "\n";
    std::istringstream in(input);
    std::ostringstream out;
    ASSERT_TRUE(RunBatch(in, out, {.details = true}));
    std::istringstream lines(out.str());
    for (const test::WorkedCase& c : test::AllWorkedCases()) {
        std::string line;
        ASSERT_TRUE(std::getline(lines, line)) << c.name;
        nlohmann::ordered_json object = nlohmann::ordered_json::parse(line);
        const nlohmann::ordered_json details = object["details"];
        object.erase("details");
        EXPECT_EQ(JsonLine(object), test::ExpectedLine(c)) << c.name;
        EXPECT_EQ(!details["N"].is_null(), Wrote(c, Field::kNideal)) << c.name;
        EXPECT_EQ(!details["N2"].is_null(), Wrote(c, Field::kNewN)) << c.name;
    }
}

TEST(BatchDetails, WorkedExampleAsDecimalStrings) {
    std::istringstream in(R"({"BitSize":"48","Fwanted":"23.711649"})" "\n");
    std::ostringstream out;
    RunBatch(in, out, {.details = true});
    const auto details = nlohmann::ordered_json::parse(out.str())["details"];
    EXPECT_EQ(details["N"].dump(),
              R"({"word":"66742358500463","output_hz":"23711649.000000178944",)"
              R"("error_hz":"0.00000017894399206852540374","error_ppb":"0.000007546670081",)"
              R"("exact":{"word":"66742358500462","steps":"-1","output_hz":"23711648.999999823673",)"
              R"("error_hz":"-0.0000001763273758115246892","error_ppb":"-0.000007436318571"}})");
    EXPECT_EQ(details["N2"]["exact"].dump(),
              R"({"word":"66742358500463","steps":"0","output_hz":null,"error_hz":null,"error_ppb":null})");
}

TEST(PlainDetails, WordNotReached) {
    WordFigureCalculator calculator;
    FieldTexts fields;
    fields.SetText(Field::kFwanted, u"0");  // stops inferring the clock
    std::ostringstream out;
    WritePlainDetails(RunActionWithFigures(fields, calculator).figures, out);
    EXPECT_EQ(out.str(),
              "\nN (Nideal, Nhex):\n  Output 0 Hz\n  Error 0 Hz\n  Exact nearest word: the same\n"
              "N2 (NewN, NewNhex): not reached\n");
}

struct WordQueryCase {
    const char* name;
    std::string word, bits, wanted;  // empty bits: not given
    bool json;
    std::string out, err;
    int status;
};

void PrintTo(const WordQueryCase& c, std::ostream* os) { *os << c.name; }

class WordQuery : public testing::TestWithParam<WordQueryCase> {};

TEST_P(WordQuery, PrintsWhatTheWordGives) {
    const WordQueryCase& c = GetParam();
    WordQueryRequest request{c.word, {}, c.json};
    if (!c.bits.empty()) request.inputs.push_back({Field::kBitSize, "--bits", c.bits == "none" ? "" : c.bits});
    if (!c.wanted.empty()) request.inputs.push_back({Field::kFwanted, "--wanted", c.wanted});
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunWordQuery(request, out, err), c.status);
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
}

const std::string kWord = "quorvel-calc: the word given to --word ";
INSTANTIATE_TEST_SUITE_P(
    Cases, WordQuery,
    testing::Values(
        WordQueryCase{"GroupedHex", "0x 4000 0000", "", "", false,
                      "Word 1073741824 (0x40000000)\nOutput 25000000 Hz\n", "", kExitOk},
        WordQueryCase{"WithWanted", "0x 028F 5C28 F5C3", "48", "1", false,
                      "Word 2814749767107 (0x28F5C28F5C3)\nOutput 1000000.0000001563194 Hz\n"
                      "Error 0.00000015631940186722204089 Hz (0.0001563194019 ppb)\n",
                      "", kExitOk},
        WordQueryCase{"Json", "0", "", "25", true,
                      R"({"word":"0","hex":"0x0","output_hz":"0","error_hz":"-25000000","error_ppb":"-1000000000"})"
                      "\n",
                      "", kExitOk},
        WordQueryCase{"NotWhole", "1.5", "", "", false, "", kWord + "(\"1.5\") is not a whole number\n",
                      kExitInvalidInput},
        WordQueryCase{"Negative", "-1", "", "", false, "", kWord + "(\"-1\") is negative\n", kExitInvalidInput},
        WordQueryCase{"TooLarge", "0x100000000", "", "", false, "",
                      kWord + "(\"0x100000000\") is 2^32 or more, beyond a 32-bit accumulator\n",
                      kExitInvalidInput},
        WordQueryCase{"EmptyBitSize", "1", "none", "", false, "", "Run-time error '13': Type mismatch\n",
                      kExitRunTimeError},
        // With more than one bad option, the first check that fails speaks:
        // the texts' encoding, then the fields in the action's order, then the word.
        WordQueryCase{"BadWordAndEmptyBitSize", "1.5", "none", "", false, "",
                      "Run-time error '13': Type mismatch\n", kExitRunTimeError},
        WordQueryCase{"BadWordAndWantedBeyondDouble", "-1", "32", "1e400", false, "",
                      "Run-time error '6': Overflow\n", kExitRunTimeError},
        WordQueryCase{"WordAndBitsNotUtf8", "\xff", "\xff", "", false, "",
                      "quorvel-calc: the text given to --word is not valid UTF-8\n", kExitInvalidInput},
        WordQueryCase{"BitsNotUtf8AndWordTooLarge", "0x100000000", "\xff", "", false, "",
                      "quorvel-calc: the text given to --bits is not valid UTF-8\n", kExitInvalidInput},
        WordQueryCase{"TooLargeForTheWidthGiven", "0x1000000000000", "48", "", false, "",
                      kWord + "(\"0x1000000000000\") is 2^48 or more, beyond a 48-bit accumulator\n",
                      kExitInvalidInput}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// The options --word cannot be combined with.
TEST(WordQuery, RefusesOptionsItHasNoUseFor) {
    for (const char* arguments : {"--word 1 --error 3", "--word 1 --details", "--word 1 --batch"}) {
        const std::string command = "'" QUORVEL_CALC_PATH "' " + std::string(arguments) + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitInvalidInput) << arguments;
    }
}

}  // namespace
}  // namespace quorvel::cli
