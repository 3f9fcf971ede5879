// Every example written above a declaration in the core's headers, in the
// form "//   Operation(arguments) -> result", is read out of the header and
// checked here, so that the examples stay true. Arguments and results are
// "quoted texts", numbers, error descriptions (Overflow, Division by zero,
// Type mismatch), true/false, nothing, or a scanned number {sign, "digits",
// exponent}. A figure for ShortFigure is a quoted decimal number, "..." after
// it when more digits follow, and the unit prefix is "none" or absent (SI).

#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "core/arithmetic.h"
#include "core/decimal_scan.h"
#include "core/number_text.h"
#include "core/run_error.h"
#include "core/short_figure.h"
#include "core/tuning_word.h"
#include "tests/support/escaped.h"

namespace quorvel {
namespace {

struct Example {
    std::string header;
    std::string operation;
    std::vector<std::string> arguments;
    std::string expected;
};

void PrintTo(const Example& e, std::ostream* os) {
    *os << e.operation << '(';
    for (std::size_t i = 0; i < e.arguments.size(); ++i) *os << (i > 0 ? ", " : "") << e.arguments[i];
    *os << ") -> " << e.expected;
}

// Splits "a, \"b, c\", 3" at the commas outside quotes.
std::vector<std::string> SplitArguments(const std::string& text) {
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            parts.emplace_back();
        } else {
            parts.back().push_back(c);
        }
    }
    for (std::string& part : parts) {
        part.erase(0, part.find_first_not_of(' '));
        part.erase(part.find_last_not_of(' ') + 1);
    }
    return parts;
}

std::vector<Example> ExamplesIn(const std::string& header) {
    static const std::regex kExample(R"(^//\s+(\w+)\((.*)\) -> (.+)$)");
    std::ifstream file(std::string(QUORVEL_SOURCE_DIR) + "/core/" + header);
    std::vector<Example> examples;
    std::smatch match;
    for (std::string line; std::getline(file, line);) {
        if (std::regex_match(line, match, kExample)) {
            examples.push_back({header, match[1], SplitArguments(match[2]), match[3]});
        }
    }
    return examples;
}

std::vector<Example> AllExamples() {
    std::vector<Example> all;
    for (const char* header : {"arithmetic.h", "decimal_scan.h", "number_text.h", "run_error.h", "short_figure.h",
                               "tuning_word.h"}) {
        const std::vector<Example> examples = ExamplesIn(header);
        EXPECT_FALSE(examples.empty()) << "no examples read from core/" << header;
        all.insert(all.end(), examples.begin(), examples.end());
    }
    return all;
}

// ------------------------------------------------------------ arguments

std::u16string Text(const std::string& argument) {
    if (argument.size() < 2 || argument.front() != '"' || argument.back() != '"') {
        throw std::invalid_argument("not a quoted text: " + argument);
    }
    return {argument.begin() + 1, argument.end() - 1};
}

double Number(const std::string& argument) {
    double value = 0;
    const auto result = std::from_chars(argument.data(), argument.data() + argument.size(), value);
    if (result.ec != std::errc() || result.ptr != argument.data() + argument.size()) {
        throw std::invalid_argument("not a number: " + argument);
    }
    return value;
}

std::int32_t Integer(const std::string& argument) {
    std::int32_t value = 0;
    const auto result = std::from_chars(argument.data(), argument.data() + argument.size(), value);
    if (result.ec != std::errc() || result.ptr != argument.data() + argument.size()) {
        throw std::invalid_argument("not a whole number: " + argument);
    }
    return value;
}

ErrorKind Error(const std::string& argument) {
    for (ErrorKind kind : {ErrorKind::kOverflow, ErrorKind::kDivisionByZero, ErrorKind::kTypeMismatch}) {
        if (Description(kind) == argument) return kind;
    }
    throw std::invalid_argument("not an error: " + argument);
}

// The short form of a quoted decimal number, "..." after it setting `more`.
std::u16string Short(const std::vector<std::string>& a) {
    std::u16string text = Text(a.at(0));
    constexpr std::u16string_view kMore = u"...";
    const bool more = text.ends_with(kMore);
    if (more) text.resize(text.size() - kMore.size());
    const std::optional<DecimalNumber> number = ScanWholeNumber(text);
    if (!number) throw std::invalid_argument("not a decimal number: " + a.at(0));
    UnitPrefix prefix = UnitPrefix::kSi;
    if (a.size() > 2) {
        if (a.at(2) != "none") throw std::invalid_argument("not a unit prefix: " + a.at(2));
        prefix = UnitPrefix::kNone;
    }
    const std::u16string unit = Text(a.at(1));
    const std::string figure = ShortFigure({number->negative, number->digits, number->exponent, more},
                                           std::string(unit.begin(), unit.end()), prefix);
    return {figure.begin(), figure.end()};  // byte for byte, as Text reads the expected UTF-8
}

// -------------------------------------------------------------- results

using Result = std::variant<double, std::u16string, bool, std::optional<DecimalNumber>>;

std::string Scanned(const std::optional<DecimalNumber>& number) {
    if (!number) return "nothing";
    return std::string("{") + (number->negative ? "-" : "+") + ", \"" + number->digits + "\", " +
           std::to_string(number->exponent) + "}";
}

std::string Shown(const Result& result) {
    if (const auto* number = std::get_if<double>(&result)) {
        char buffer[32];
        return std::string(buffer, std::to_chars(std::begin(buffer), std::end(buffer), *number).ptr);
    }
    if (const auto* text = std::get_if<std::u16string>(&result)) return '"' + test::Escaped(*text) + '"';
    if (const auto* truth = std::get_if<bool>(&result)) return *truth ? "true" : "false";
    return Scanned(std::get<std::optional<DecimalNumber>>(result));
}

// Whether the computed result is the written one.
bool Matches(const Result& result, const std::string& expected) {
    if (const auto* number = std::get_if<double>(&result)) return *number == Number(expected);
    if (const auto* text = std::get_if<std::u16string>(&result)) return *text == Text(expected);
    if (const auto* truth = std::get_if<bool>(&result)) return expected == (*truth ? "true" : "false");
    return Scanned(std::get<std::optional<DecimalNumber>>(result)) == expected;
}

using Arguments = std::vector<std::string>;
using Operation = std::function<Result(const Arguments&)>;

std::u16string Widened(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

const std::map<std::string, Operation>& Operations() {
    static const std::map<std::string, Operation> operations = {
        {"Add", [](const Arguments& a) -> Result { return Add(Number(a.at(0)), Number(a.at(1))); }},
        {"Multiply", [](const Arguments& a) -> Result { return Multiply(Number(a.at(0)), Number(a.at(1))); }},
        {"Divide", [](const Arguments& a) -> Result { return Divide(Number(a.at(0)), Number(a.at(1))); }},
        {"PowerOfTwo", [](const Arguments& a) -> Result { return PowerOfTwo(Integer(a.at(0))); }},
        {"ScanNumberAtStart", [](const Arguments& a) -> Result { return ScanNumberAtStart(Text(a.at(0))); }},
        {"ScanWholeNumber", [](const Arguments& a) -> Result { return ScanWholeNumber(Text(a.at(0))); }},
        {"ReadNumber", [](const Arguments& a) -> Result { return ReadNumber(Text(a.at(0))); }},
        {"ReadBitSize",
         [](const Arguments& a) -> Result { return static_cast<double>(ReadBitSize(Text(a.at(0)))); }},
        {"DecimalText",
         [](const Arguments& a) -> Result { return std::u16string(DecimalText(Number(a.at(0)))); }},
        {"HexText", [](const Arguments& a) -> Result { return HexText(Number(a.at(0))); }},
        {"WholePart", [](const Arguments& a) -> Result { return WholePart(Number(a.at(0))); }},
        {"NearestInt32",
         [](const Arguments& a) -> Result { return static_cast<double>(NearestInt32(Number(a.at(0)))); }},
        {"ReportHeading", [](const Arguments& a) -> Result { return Widened(ReportHeading(Error(a.at(0)))); }},
        {"Description", [](const Arguments& a) -> Result { return Widened(Description(Error(a.at(0)))); }},
        {"Hertz", [](const Arguments& a) -> Result { return Hertz(Text(a.at(0))); }},
        {"Megahertz", [](const Arguments& a) -> Result { return Megahertz(Number(a.at(0))); }},
        {"AboveNyquist",
         [](const Arguments& a) -> Result { return AboveNyquist(Number(a.at(0)), Number(a.at(1))); }},
        {"Resolution",
         [](const Arguments& a) -> Result { return Resolution(Number(a.at(0)), Integer(a.at(1))); }},
        {"TuningWord",
         [](const Arguments& a) -> Result {
             return TuningWord(Number(a.at(0)), Number(a.at(1)), Integer(a.at(2)));
         }},
        {"InferredClock",
         [](const Arguments& a) -> Result {
             return InferredClock(Number(a.at(0)), Number(a.at(1)), Number(a.at(2)), Integer(a.at(3)));
         }},
        {"HexWord", [](const Arguments& a) -> Result { return HexWord(Number(a.at(0)), Integer(a.at(1))); }},
        {"ShortFigure", [](const Arguments& a) -> Result { return Short(a); }},
    };
    return operations;
}

class HeaderExampleTest : public testing::TestWithParam<Example> {};

TEST_P(HeaderExampleTest, HoldsAsWritten) {
    const Example& e = GetParam();
    const auto operation = Operations().find(e.operation);
    ASSERT_NE(operation, Operations().end()) << "no way to check an example of " << e.operation;
    std::optional<ErrorKind> expected_error;
    if (e.expected == "Overflow" || e.expected == "Division by zero" || e.expected == "Type mismatch") {
        expected_error = Error(e.expected);
    }
    try {
        const Result result = operation->second(e.arguments);
        EXPECT_FALSE(expected_error) << "no error raised";
        if (!expected_error) {
            EXPECT_TRUE(Matches(result, e.expected)) << "gives " << Shown(result);
        }
    } catch (const RunTimeError& error) {
        EXPECT_EQ(expected_error, error.kind()) << "raised " << error.description();
    }
}

std::string ExampleName(const testing::TestParamInfo<Example>& info) {
    std::string name = info.param.header.substr(0, info.param.header.find('.')) + "_" +
                       info.param.operation + "_" + std::to_string(info.index);
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(CoreHeaders, HeaderExampleTest, testing::ValuesIn(AllExamples()), ExampleName);

}  // namespace
}  // namespace quorvel
