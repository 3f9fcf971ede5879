// CSV fields and rows: quoting by RFC 4180, and a batch written as CSV.

#include "cli/csv.h"

#include <algorithm>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "cli/batch.h"

namespace quorvel::cli {
namespace {

struct QuotingCase {
    const char* name;
    const char* text;
    const char* field;
};
void PrintTo(const QuotingCase& quoting, std::ostream* out) { *out << quoting.name; }

const QuotingCase kQuotingCases[] = {
    {"Empty", "", ""},
    {"LeadingBlankKeptUnquoted", " 100", " 100"},
    {"Marker", "60 NYQUIST!", "60 NYQUIST!"},
    {"Comma", "1,5", "\"1,5\""},
    {"QuotesDoubled", "say \"hi\"", "\"say \"\"hi\"\"\""},
    {"OnlyAQuote", "\"", "\"\"\"\""},
    {"LineFeed", "two\nlines", "\"two\nlines\""},
    {"CarriageReturn", "cr\r", "\"cr\r\""},
    {"NonAscii", "\xC2\xB5s", "\xC2\xB5s"},
};

class CsvField : public testing::TestWithParam<QuotingCase> {};

TEST_P(CsvField, QuotedOnlyWhenItHoldsACommaQuoteOrLineBreak) {
    std::string row = "x,";
    AppendCsvField(row, GetParam().text);
    EXPECT_EQ(row, std::string("x,") + GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(Cases, CsvField, testing::ValuesIn(kQuotingCases),
                         [](const testing::TestParamInfo<QuotingCase>& case_info) { return case_info.param.name; });

TEST(CsvBatch, OneRowPerLineWithQuotedFieldsAndInvalidLinesInTheirOwnColumn) {
    std::istringstream in(
        R"({"BitSize":"a,\"b\"\r\nc"})" "\n"  // comma, quotes, CR LF: Type mismatch at once
        R"({"bits":"32"})" "\n"
        "{\"Fclock\":\"\xFF\"}\n");
    std::ostringstream out;
    EXPECT_FALSE(RunBatch(in, out, {.format = RowFormat::kCsv}));
    const std::string header =
        "BitSize,Fclock,Fwanted,Ferror,Resol,Nideal,Nhex,ActualClock,NewN,NewNhex,"
        "error_number,error_description,invalid\r\n";
    const std::string type_mismatch = "\"a,\"\"b\"\"\r\nc\",100,25,,,,,,,,13,Type mismatch,\r\n";
    const std::string unknown_key = ",,,,,,,,,,,,\"unknown key \"\"bits\"\"\"\r\n";
    const std::string text = out.str();
    ASSERT_EQ(text.substr(0, header.size() + type_mismatch.size() + unknown_key.size()),
              header + type_mismatch + unknown_key);
    // The parser's report quotes the bad byte; CSV carries U+FFFD instead.
    const std::string last_row = text.substr(header.size() + type_mismatch.size() + unknown_key.size());
    EXPECT_EQ(last_row.substr(0, 12), ",,,,,,,,,,,,");
    EXPECT_EQ(last_row.find('\xFF'), std::string::npos);
    EXPECT_NE(last_row.find("\xEF\xBF\xBD"), std::string::npos);
}

// With details each row carries the figures after the error columns: by
// hand, 2^30 steps of 100 MHz / 2^32 give 25 MHz exactly, and the word is the
// exact nearest one; N2 was never reached by the failed line.
TEST(CsvBatch, DetailsColumnsFollowTheErrorAndAnInvalidRowStaysAligned) {
    std::istringstream in("{}\n{\"Fwanted\":\"0\"}\n[]\n");
    std::ostringstream out;
    EXPECT_FALSE(RunBatch(in, out, {.format = RowFormat::kCsv, .details = true}));
    std::istringstream rows(out.str());
    std::string header, initial, zero, invalid;
    std::getline(rows, header);
    std::getline(rows, initial);
    std::getline(rows, zero);
    std::getline(rows, invalid);
    EXPECT_NE(header.find(",error_description,N.word,N.output_hz,N.error_hz,N.error_ppb,N.exact.word,"
                          "N.exact.steps,N.exact.output_hz,N.exact.error_hz,N.exact.error_ppb,N2.word,"),
              std::string::npos);
    EXPECT_NE(header.find(",N2.exact.error_ppb,invalid\r"), std::string::npos);
    EXPECT_NE(initial.find(",,,1073741824,25000000,0,0,1073741824,0,,,,1073741824,"), std::string::npos) << initial;
    // Wanted 0: N is 0 and gives 0 Hz, with no ppb of a wanted 0; then 0/0.
    EXPECT_NE(zero.find(",6,Overflow,0,0,0,,0,0,,,,,,,,,,,,,\r"), std::string::npos) << zero;
    const auto commas = [](const std::string& row) { return std::count(row.begin(), row.end(), ','); };
    EXPECT_EQ(commas(invalid), commas(header));
}

}  // namespace
}  // namespace quorvel::cli
