// The batch reader fed NUL bytes and long non-ASCII reasons, and runs that
// cannot finish. Expected texts written out by hand: a reason is cut to 197
// bytes at the start of a character, then "..." follows.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/batch.h"
#include "cli/exit_status.h"
#include "cli/unfinished_run.h"
#include "core/utf16.h"
#include "tests/support/batch_harness.h"
#include "tests/support/escaped.h"

namespace quorvel::cli {
namespace {

using test::Escaped;
using namespace std::string_literals;

// Splits what the batch wrote into lines.
test::BatchRun RunOn(const std::string& input) { return test::RunBatchOn(input); }

// The reason of an {"invalid": ...} line, or a failure.
std::string ReasonOf(const std::string& output_line) {
    const nlohmann::json parsed = nlohmann::json::parse(output_line, nullptr, false);
    if (!parsed.is_object() || parsed.size() != 1 || !parsed.contains("invalid")) {
        ADD_FAILURE() << "not an invalid-line report: " << Escaped(output_line);
        return {};
    }
    return parsed["invalid"].get<std::string>();
}

struct HostileLine {
    const char* name;
    std::string line;
    std::string reason;  // exactly
};

void PrintTo(const HostileLine& c, std::ostream* os) { *os << '"' << Escaped(c.line) << '"'; }

class HostileBatchLine : public testing::TestWithParam<HostileLine> {};

TEST_P(HostileBatchLine, IsInvalidWithItsReasonAndTheBatchGoesOn) {
    const test::BatchRun run = RunOn(GetParam().line + "\n{}\n");
    EXPECT_FALSE(run.all_valid);
    ASSERT_EQ(run.lines.size(), 2U);
    const std::string reason = ReasonOf(run.lines[0]);
    EXPECT_EQ(reason, GetParam().reason) << "reason \"" << Escaped(reason) << '"';
    EXPECT_LE(reason.size(), 200U);
    EXPECT_TRUE(Utf8ToUtf16(reason).has_value());
    EXPECT_EQ(run.lines[1].rfind("{\"fields\":", 0), 0U) << "the line after is calculated";
}

// Thirteen bytes of `unknown key "` come before the key in its reason.
const std::string kE = "\xC3\xA9";             // U+00E9, two bytes
const std::string kSmile = "\xF0\x9F\x98\x80";  // U+1F600, four bytes

std::string Times(const std::string& unit, std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += unit;
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HostileBatchLine,
    testing::Values(
        // A NUL byte anywhere makes the line invalid, whatever stands before it.
        HostileLine{"NulBetweenObjects", "{\"Fclock\":\"1\"}\0{\"Fwanted\":\"60\",\"BitSize\":\"x\"}"s,
                    "a NUL byte at column 15"},
        HostileLine{"NulThenGarbage", "{\"Fclock\":\"1\"}\0garbage"s, "a NUL byte at column 15"},
        HostileLine{"NulThenInvalidUtf8", "{\"Fclock\":\"1\"}\0\xFF\xFE"s,
                    "a NUL byte at column 15"},
        HostileLine{"NulInsideAValue", "{\"Fwanted\":\"25\0\"}"s, "a NUL byte at column 15"},
        HostileLine{"NulAlone", std::string(1, '\0'), "a NUL byte at column 1"},
        // Reasons cut at 200 bytes, never inside a character.
        HostileLine{"ReasonOfExactly200Bytes", "{\"" + std::string(186, 'K') + "\":\"1\"}",
                    "unknown key \"" + std::string(186, 'K') + "\""},
        HostileLine{"ReasonOf201Bytes", "{\"" + std::string(187, 'K') + "\":\"1\"}",
                    "unknown key \"" + std::string(184, 'K') + "..."},
        HostileLine{"CutBeforeATwoByteCharacter", "{\"a" + Times(kE, 100) + "\":\"1\"}",
                    "unknown key \"a" + Times(kE, 91) + "..."},
        HostileLine{"CutAtATwoByteCharacter", "{\"" + Times(kE, 100) + "\":\"1\"}",
                    "unknown key \"" + Times(kE, 92) + "..."},
        HostileLine{"CutBeforeAFourByteCharacter", "{\"ab" + Times(kSmile, 60) + "\":\"1\"}",
                    "unknown key \"ab" + Times(kSmile, 45) + "..."}),
    [](const testing::TestParamInfo<HostileLine>& p) { return std::string(p.param.name); });

TEST(HostileBatchLine, ParserReasonQuotingNonAsciiTextIsCutWhole) {
    // A value never closed: the parser's report quotes the text read.
    const test::BatchRun run = RunOn("{\"Fwanted\":\"" + Times("\xE2\x82\xAC", 300) + "\n");
    ASSERT_EQ(run.lines.size(), 1U);
    const std::string reason = ReasonOf(run.lines[0]);
    EXPECT_EQ(reason.rfind("not JSON: ", 0), 0U) << Escaped(reason);
    EXPECT_LE(reason.size(), 200U);
    EXPECT_EQ(reason.substr(reason.size() - 3), "...");
    EXPECT_EQ(reason.find("\xEF\xBF\xBD"), std::string::npos) << "a character was split: " << Escaped(reason);
}

TEST(HostileBatchLine, OnlyOneTrailingCarriageReturnIsDropped) {
    const test::BatchRun run = RunOn("\r\n\r\r\n");
    ASSERT_EQ(run.lines.size(), 2U);
    EXPECT_EQ(ReasonOf(run.lines[0]), "empty line");
    // The second carriage return stays: a line of whitespace, no empty line.
    EXPECT_EQ(ReasonOf(run.lines[1]).rfind("not JSON: ", 0), 0U) << run.lines[1];
}

TEST(HostileBatchLine, ParserReasonQuotingABadByteStaysWithin200Bytes) {
    // The parser quotes the bad byte, which is written as U+FFFD, three bytes:
    // the cut must count those, at every length around the limit.
    for (std::size_t length = 0; length < 80; ++length) {
        const std::string line = "{\"" + std::string(length, 'a') + "\\u\x9C\":\"1\"}";
        const test::BatchRun run = RunOn(line + "\n");
        ASSERT_EQ(run.lines.size(), 1U);
        const std::string reason = ReasonOf(run.lines[0]);
        EXPECT_LE(reason.size(), 200U) << Escaped(line);
    }
}

// ------------------------------------------------- runs that cannot finish

// A stream whose second line cannot be read, as a disk error would do.
class FailingAfterOneLine : public std::streambuf {
public:
    FailingAfterOneLine() { setg(first_.data(), first_.data(), first_.data() + first_.size()); }

protected:
    int_type underflow() override { throw std::ios_base::failure("read error"); }

private:
    std::string first_ = "{\"Ferror\":\"10\"}\n";
};

struct Unfinished {
    int status;
    std::string out, err;
};

Unfinished RunGuarded(const std::function<int(std::ostream&)>& run) {
    std::ostringstream out, err;
    const int status = RunToTheEnd([&] { return run(out); }, out, err);
    return {status, out.str(), err.str()};
}

TEST(UnfinishedRun, OutOfMemoryEndsWithItsOwnStatusAndAPlainReason) {
    const Unfinished run = RunGuarded([](std::ostream& out) -> int {
        out << "kept\n";
        throw std::bad_alloc();
    });
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "kept\n");
    EXPECT_EQ(run.err, "quorvel-calc: could not finish: out of memory\n");
}

TEST(UnfinishedRun, OtherFailuresSayWhatTheyAre) {
    EXPECT_EQ(RunGuarded([](std::ostream&) -> int { throw std::length_error("basic_string::_M_create"); }).err,
              "quorvel-calc: could not finish: basic_string::_M_create\n");
    EXPECT_EQ(RunGuarded([](std::ostream&) -> int { throw 42; }).err,
              "quorvel-calc: could not finish: an unknown failure\n");
}

TEST(UnfinishedRun, StatusOfAFinishedRunPassesThrough) {
    for (const int status : {kExitOk, kExitRunTimeError, kExitInvalidInput}) {
        EXPECT_EQ(RunGuarded([&](std::ostream&) { return status; }).status, status);
    }
}

TEST(UnfinishedRun, OutputThatCannotBeWrittenIsUnfinished) {
    const Unfinished run = RunGuarded([](std::ostream& out) {
        out.setstate(std::ios::badbit);
        return kExitOk;
    });
    EXPECT_EQ(run.status, kExitUnfinished);
    EXPECT_EQ(run.err, "quorvel-calc: could not finish: the output could not be written\n");
}

TEST(UnfinishedRun, BatchStopsAtAnUnreadableLineAfterWritingTheOnesBefore) {
    FailingAfterOneLine buffer;
    std::istream in(&buffer);
    in.exceptions(std::ios::badbit);
    const Unfinished run = RunGuarded([&](std::ostream& out) { return RunBatch(in, out) ? kExitOk : kExitInvalidInput; });
    EXPECT_EQ(run.status, kExitUnfinished);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
    EXPECT_NE(run.out.find("\"ActualClock\":\" 100.00004\""), std::string::npos) << run.out;
    EXPECT_EQ(run.err.rfind("quorvel-calc: could not finish: the input could not be read", 0), 0U) << run.err;
}

}  // namespace
}  // namespace quorvel::cli
