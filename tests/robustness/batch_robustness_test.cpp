// The batch mode fed bad input: lines of several megabytes, bytes that are
// not UTF-8, JSON that is no object, values that are no strings. Each bad
// line gets one {"invalid": "..."} line, and the line after it is calculated
// as usual: the batch goes on.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/batch_harness.h"
#include "tests/support/worked_cases.h"

namespace {

using Json = nlohmann::json;
using quorvel::test::BatchRun;
using quorvel::test::RunBatchOn;

constexpr std::size_t kMegabyte = 1 << 20;

const std::string kGoodLine = quorvel::test::InputLine(quorvel::test::FindWorkedCase("InitialTexts"));

// Every output line must itself be JSON (so UTF-8), whatever the input was.
Json Parsed(const std::string& line) {
    Json parsed = Json::parse(line, nullptr, /*allow_exceptions=*/false);
    EXPECT_FALSE(parsed.is_discarded()) << "output is not JSON: " << line.substr(0, 300);
    return parsed;
}

void ExpectInvalidLine(const std::string& line) {
    const Json parsed = Parsed(line);
    ASSERT_TRUE(parsed.is_object()) << line.substr(0, 300);
    EXPECT_EQ(parsed.size(), 1u) << line.substr(0, 300);
    ASSERT_TRUE(parsed.contains("invalid")) << line.substr(0, 300);
    EXPECT_TRUE(parsed["invalid"].is_string());
    EXPECT_FALSE(parsed["invalid"].get<std::string>().empty());
}

// The outcome of the initial texts, whatever the text of Fwanted.
void ExpectGoodOutcome(const std::string& line) {
    Json parsed = Parsed(line);
    ASSERT_TRUE(parsed.is_object() && parsed.contains("fields")) << line.substr(0, 300);
    Json expected = Json::parse(quorvel::test::ExpectedLine(quorvel::test::FindWorkedCase("InitialTexts")));
    parsed["fields"].erase("Fwanted");
    expected["fields"].erase("Fwanted");
    EXPECT_EQ(parsed, expected);
}

struct BadLine {
    const char* name;
    std::string line;
};

std::vector<BadLine> BadLines() {
    return {
        // Bytes that are not UTF-8, inside a value and outside any string.
        {"LoneContinuationByteInValue", "{\"Fclock\":\"1\x80" "00\"}"},
        {"TruncatedSequenceInValue", "{\"Fclock\":\"100\xC3\"}"},
        {"OverlongSlashInValue", "{\"Fwanted\":\"\xC0\xAF\"}"},
        {"EncodedSurrogateInValue", "{\"Fwanted\":\"25\xED\xA0\x80\"}"},
        {"BeyondU10FFFFInValue", "{\"Ferror\":\"\xF4\x90\x80\x80\"}"},
        {"InvalidByteInKey", "{\"Fclock\xFF\":\"100\"}"},
        {"InvalidByteOutsideStrings", "\xFE\xFF{\"Fclock\":\"100\"}"},
        {"Latin1Text", "{\"Fwanted\":\"25 \xB5s\"}"},
        // JSON that is no object.
        {"Array", R"(["32","100","25",""])"},
        {"EmptyArray", "[]"},
        {"String", R"("32")"},
        {"Number", "42"},
        {"Null", "null"},
        {"True", "true"},
        {"NotJsonAtAll", "BitSize=32 Fclock=100"},
        {"TwoObjectsOnOneLine", R"({"Fclock":"100"}{"Fwanted":"25"})"},
        {"UnterminatedObject", R"({"Fclock":"100")"},
        // Values that are no strings.
        {"NumberValue", R"({"BitSize":32})"},
        {"FloatValue", R"({"Fclock":1.5e3})"},
        {"NullValue", R"({"Fwanted":null})"},
        {"BooleanValue", R"({"Ferror":false})"},
        {"ArrayValue", R"({"Fclock":["100"]})"},
        {"ObjectValue", R"({"Fwanted":{"MHz":"25"}})"},
        {"GoodKeyThenNumber", R"({"BitSize":"32","Fclock":100})"},
    };
}

class BadLineTest : public testing::TestWithParam<BadLine> {};

TEST_P(BadLineTest, GetsAnInvalidLineAndTheBatchGoesOn) {
    const BatchRun result = RunBatchOn(kGoodLine + "\n" + GetParam().line + "\n" + kGoodLine + "\n");
    EXPECT_FALSE(result.all_valid);
    ASSERT_EQ(result.lines.size(), 3u);
    ExpectGoodOutcome(result.lines[0]);
    ExpectInvalidLine(result.lines[1]);
    ExpectGoodOutcome(result.lines[2]);
}

INSTANTIATE_TEST_SUITE_P(Batch, BadLineTest, testing::ValuesIn(BadLines()),
                         [](const testing::TestParamInfo<BadLine>& case_info) {
                             return std::string(case_info.param.name);
                         });

TEST(BatchLongLineTest, ValidLineOfSeveralMegabytesIsCalculated) {
    // 25, four megabytes of blanks, then a marker: still reads as 25.
    const std::string wanted = "25" + std::string(4 * kMegabyte, ' ') + " NYQUIST!";
    const std::string line = R"({"BitSize":"32","Fclock":"100","Fwanted":")" + wanted + "\"}";
    const BatchRun result = RunBatchOn(line + "\n" + kGoodLine + "\n");
    EXPECT_TRUE(result.all_valid);
    ASSERT_EQ(result.lines.size(), 2u);
    ExpectGoodOutcome(result.lines[0]);
    EXPECT_EQ(Parsed(result.lines[0])["fields"]["Fwanted"], wanted);
    ExpectGoodOutcome(result.lines[1]);
}

TEST(BatchLongLineTest, InvalidLinesOfSeveralMegabytesEachGetAShortInvalidLine) {
    const std::vector<std::string> bad = {
        // A value that never ends.
        "{\"Fclock\":\"" + std::string(3 * kMegabyte, '1'),
        // Invalid UTF-8 at the very end of a long value.
        "{\"Fwanted\":\"25" + std::string(3 * kMegabyte, ' ') + "\xFF\"}",
        // Three megabytes of arrays opened and never closed.
        std::string(3 * kMegabyte, '['),
        // An object with a long key that is no field.
        "{\"" + std::string(3 * kMegabyte, 'K') + "\":\"1\"}",
        // A long number as a value.
        "{\"Fclock\":" + std::string(3 * kMegabyte, '9') + "}",
    };
    std::string input;
    for (const std::string& line : bad) input += line + "\n" + kGoodLine + "\n";

    const BatchRun result = RunBatchOn(input);
    EXPECT_FALSE(result.all_valid);
    ASSERT_EQ(result.lines.size(), 2 * bad.size());
    for (std::size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectInvalidLine(result.lines[2 * i]);
        // The reason quotes at most a little of the line.
        EXPECT_LT(result.lines[2 * i].size(), 1000u);
        ExpectGoodOutcome(result.lines[2 * i + 1]);
    }
}

TEST(BatchLongLineTest, ManyShortBadLinesInARowKeepOneOutputLineEach) {
    std::string input;
    constexpr std::size_t kLines = 10000;
    for (std::size_t i = 0; i < kLines; ++i) input += (i % 2 == 0 ? "[]\n" : "{\"BitSize\":1}\n");
    input += kGoodLine + "\n";
    const BatchRun result = RunBatchOn(input);
    ASSERT_EQ(result.lines.size(), kLines + 1);
    ExpectInvalidLine(result.lines.front());
    ExpectInvalidLine(result.lines[kLines - 1]);
    ExpectGoodOutcome(result.lines.back());
}

}  // namespace
