// CSV fields and rows: quoting by RFC 4180, and a batch written as CSV.

#include "cli/csv.h"

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
    EXPECT_FALSE(RunBatch(in, out, RowFormat::kCsv));
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

}  // namespace
}  // namespace quorvel::cli
