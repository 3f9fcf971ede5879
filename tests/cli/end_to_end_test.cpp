// Runs the built quorvel-calc through the shell, as a script would: each field
// option reaches its own field and no other, and every way a run can end has
// its own exit status.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/batch_harness.h"
#include "tests/support/escaped.h"

namespace {

using quorvel::test::Escaped;

struct Finished {
    std::string out;
    std::string err;
    int status;
};

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// `arguments` are shell words; `input` goes to stdin. `redirects` are shell
// redirections put last, so that they win over those of stdin and stdout.
Finished RunCalc(const std::string& arguments, const std::string& input = "", const std::string& redirects = "") {
    // Tests run in parallel, each in a process of its own: the files are the
    // test's own.
    const std::string stem = testing::TempDir() + "quorvel_calc_" + std::to_string(getpid());
    const std::string in_path = stem + ".in";
    const std::string err_path = stem + ".err";
    std::ofstream(in_path, std::ios::binary) << input;

    const std::string command = "'" QUORVEL_CALC_PATH "' " + arguments + " <'" + in_path +
                                "' 2>'" + err_path + "' " + redirects;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {"", "popen failed", -1};
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int wait_status = pclose(pipe);
    Finished finished{out, ReadFile(err_path), WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1};
    std::remove(in_path.c_str());
    std::remove(err_path.c_str());
    return finished;
}

TEST(CalcEndToEnd, PlainTableOfTheInitialTexts) {
    const Finished run = RunCalc("");
    EXPECT_EQ(run.out,
              "BitSize      DDS Resolution, Bits               \"32\"\n"
              "Fclock       Clock    MHz                       \"100\"\n"
              "Fwanted      Wanted Frequency   MHz             \"25\"\n"
              "Ferror       Measured Error  Hz                 \"\"\n"
              "Resol        Resolution   Hz                    \" .023283064365387\"\n"
              "Nideal       Wanted N                           \" 1073741824\"\n"
              "Nhex         Wanted N                           \"0x 4000 0000\"\n"
              "ActualClock  Actual Clock   MHz                 \" 100\"\n"
              "NewN         Modified N to achieve wanted Fout  \" 1073741824\"\n"
              "NewNhex      Modified N to achieve wanted Fout  \"0x 4000 0000\"\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
}

TEST(CalcEndToEnd, RunTimeErrorShowsFieldsAsTheyStandAndExitsOne) {
    const Finished run = RunCalc("--bits ''");
    EXPECT_NE(run.out.find("BitSize      DDS Resolution, Bits               \"\"\n"), std::string::npos);
    EXPECT_NE(run.out.find("Resol        Resolution   Hz                    \"\"\n"), std::string::npos);
    EXPECT_EQ(run.err, "Run-time error '13': Type mismatch\n");
    EXPECT_EQ(run.status, 1);
}

TEST(CalcEndToEnd, JsonWithTheMeasuredError) {
    const Finished run = RunCalc("--json --error 10");
    EXPECT_EQ(run.out, quorvel::test::ExpectedLine(quorvel::test::FindWorkedCase("Error10Hz")) + "\n");
    EXPECT_EQ(run.status, 0);
}

TEST(CalcEndToEnd, BatchOfEveryWorkedCase) {
    std::string input;
    std::string expected;
    for (const quorvel::test::WorkedCase& c : quorvel::test::AllWorkedCases()) {
        input += quorvel::test::InputLine(c) + "\n";
        expected += quorvel::test::ExpectedLine(c) + "\n";
    }
    const Finished run = RunCalc("--batch", input);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
}

TEST(CalcEndToEnd, JsonCarriesTheRunTimeError) {
    const Finished run = RunCalc("--json --bits 40000");
    EXPECT_NE(run.out.find(R"("error":{"number":6,"description":"Overflow"})"), std::string::npos);
    EXPECT_EQ(run.status, 1);
}

TEST(CalcEndToEnd, NonAsciiArgumentSurvives) {
    const Finished run = RunCalc("--wanted '60 ünï 😀'");
    EXPECT_NE(run.out.find("\"60 ünï 😀 NYQUIST!\"\n"), std::string::npos) << run.out;
}

TEST(CalcEndToEnd, BatchWithAnInvalidLineExitsTwo) {
    const Finished run = RunCalc("--batch", "{\"Ferror\":\"10\"}\n{\"Fclok\":\"10\"}\n{}\n");
    const std::size_t second = run.out.find('\n') + 1;
    EXPECT_EQ(run.out.substr(second, run.out.find('\n', second) + 1 - second),
              "{\"invalid\":\"unknown key \\\"Fclok\\\"\"}\n");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3);
    EXPECT_EQ(run.status, 2);
}

TEST(CalcEndToEnd, RefusesUnusableCommandLines) {
    for (const char* arguments : {"--bits \"$(printf '\\377')\"", "--batch --bits 32", "--batch --json",
                                  "--frequency 10"}) {
        const Finished run = RunCalc(arguments);
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err, "") << arguments;
        EXPECT_EQ(run.status, 2) << arguments;
    }
}

TEST(CalcEndToEnd, Version) {
    EXPECT_EQ(RunCalc("--version").out, "1.00\n");
}

// ------------------------------------------------------- one field each

struct FieldOption {
    const char* option;
    const char* field;
    const char* text;
};

void PrintTo(const FieldOption& c, std::ostream* os) { *os << c.option << " \"" << Escaped(c.text) << '"'; }

class CompanionFieldOption : public testing::TestWithParam<FieldOption> {};

TEST_P(CompanionFieldOption, SetsItsOwnFieldAndNoOther) {
    const FieldOption& c = GetParam();
    const Finished run = RunCalc(std::string("--json ") + c.option + " '" + c.text + "'", "");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json fields = nlohmann::json::parse(run.out)["fields"];
    const nlohmann::json initial = {{"BitSize", "32"}, {"Fclock", "100"}, {"Fwanted", "25"}, {"Ferror", ""}};
    for (const auto& [name, text] : initial.items()) {
        EXPECT_EQ(fields[name], name == c.field ? nlohmann::json(c.text) : text) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Options, CompanionFieldOption,
                         testing::Values(FieldOption{"--bits", "BitSize", "48"},
                                         FieldOption{"--clock", "Fclock", "125"},
                                         FieldOption{"--wanted", "Fwanted", "30"},
                                         FieldOption{"--error", "Ferror", "10"}),
                         [](const testing::TestParamInfo<FieldOption>& p) {
                             return std::string(p.param.option + 2);
                         });

// ------------------------------------------------------------ exit status

struct Ending {
    const char* name;
    std::string arguments;
    std::string input;
    std::string redirects;
    int status;
    std::string err_start;  // what stderr starts with
};

void PrintTo(const Ending& c, std::ostream* os) {
    *os << "quorvel-calc " << Escaped(c.arguments) << " " << c.redirects << " with input \"" << Escaped(c.input)
        << '"';
}

class CompanionExitStatus : public testing::TestWithParam<Ending> {};

TEST_P(CompanionExitStatus, TellsHowTheRunEnded) {
    const Ending& c = GetParam();
    const Finished run = RunCalc(c.arguments, c.input, c.redirects);
    EXPECT_EQ(run.status, c.status) << "stderr: " << Escaped(run.err);
    EXPECT_EQ(run.err.substr(0, c.err_start.size()), c.err_start) << Escaped(run.err);
}

const std::string kUnfinished = "quorvel-calc: could not finish: ";

INSTANTIATE_TEST_SUITE_P(
    Runs, CompanionExitStatus,
    testing::Values(Ending{"Help", "--help", "", "", 0, ""}, Ending{"Version", "--version", "", "", 0, ""},
                    // In a batch a run-time error is part of a line's outcome.
                    Ending{"BatchWithRunTimeErrors", "--batch", "{\"BitSize\":\"\"}\n{\"Fclock\":\"0\"}\n", "", 0, ""},
                    Ending{"BatchWithANulByte", "--batch", std::string("{}\0\n", 4), "", 2, ""},
                    Ending{"UnreadableInput", "--batch", "", "</", 3,
                           kUnfinished + "the input could not be read or the output not written"},
                    Ending{"FullDisk", "--json", "", ">/dev/full", 3, kUnfinished + "the output could not be written\n"},
                    Ending{"FullDiskInABatch", "--batch", "{}\n", ">/dev/full", 3, kUnfinished}),
    [](const testing::TestParamInfo<Ending>& p) { return std::string(p.param.name); });

// ------------------------------------------------- several bad inputs

// With more than one bad input, the one read first reports: the field texts
// checked for UTF-8 in window order (BitSize, Fclock, Fwanted, Ferror),
// whatever the order on the command line; then the numbers in the order the
// Calculate action reads them; a --word only after its width and clock; a
// --sweep text before the field texts, FROM before TO before STEP; a batch
// line's first refused token.
struct SeveralBad {
    const char* name;
    std::string arguments;
    std::string input;
    int status;
    std::string out;
    std::string err;
};

void PrintTo(const SeveralBad& c, std::ostream* os) {
    *os << "quorvel-calc " << Escaped(c.arguments) << " with input \"" << Escaped(c.input) << '"';
}

class CompanionSeveralBadInputs : public testing::TestWithParam<SeveralBad> {};

TEST_P(CompanionSeveralBadInputs, TheFirstReadReports) {
    const SeveralBad& c = GetParam();
    const Finished run = RunCalc(c.arguments, c.input);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(Escaped(run.out), Escaped(c.out));
    EXPECT_EQ(Escaped(run.err), Escaped(c.err));
}

const std::string kNotUtf8 = "\"$(printf '\\377')\"";
const std::string kTypeMismatch = "Run-time error '13': Type mismatch\n";
const std::string kOverflow = "Run-time error '6': Overflow\n";
// JSON outcomes: every output empty, or Resol " 0" with the marker (a zero clock).
std::string Stopped(const std::string& inputs, const std::string& error, const std::string& details = "") {
    return "{\"fields\":{" + inputs + ",\"Resol\":\"\",\"Nideal\":\"\",\"Nhex\":\"\",\"ActualClock\":\"\","
           "\"NewN\":\"\",\"NewNhex\":\"\"},\"error\":" + error + details + "}\n";
}
const std::string kError13 = R"({"number":13,"description":"Type mismatch"})";
const std::string kBadBitsAndClock = R"("BitSize":"abc","Fclock":"1e400","Fwanted":"25","Ferror":"1e400")";
const std::string kZeroClock =
    R"({"fields":{"BitSize":"32","Fclock":"0","Fwanted":"25 NYQUIST!","Ferror":"1e400","Resol":" 0","Nideal":"",)"
    R"("Nhex":"","ActualClock":"","NewN":"","NewNhex":""},"error":{"number":11,"description":"Division by zero"},)"
    R"("details":{"N":null,"N2":null}})"
    "\n";
const std::string kSweepPart = " is not a plain decimal number (digits with an optional sign and point, no exponent, "
                               "no blanks)\n";

INSTANTIATE_TEST_SUITE_P(
    Modes, CompanionSeveralBadInputs,
    testing::Values(
        SeveralBad{"WordBitsBeforeClock", "--word 1 --clock 1e400 --bits abc", "", 1, "", kTypeMismatch},
        SeveralBad{"WordBitsBeforeWord", "--word 0x1G --bits 40000", "", 1, "", kOverflow},
        SeveralBad{"WordClockBeforeWord", "--word 0x100000000 --clock 1e400", "", 1, "", kOverflow},
        SeveralBad{"WordTextsInWindowOrder", "--word 1 --clock " + kNotUtf8 + " --bits " + kNotUtf8, "", 2, "",
                   "quorvel-calc: the text given to --bits is not valid UTF-8\n"},
        SeveralBad{"SingleBitsBeforeClockAndError", "--json --error 1e400 --clock 1e400 --bits abc", "", 1,
                   Stopped(kBadBitsAndClock, kError13), ""},
        SeveralBad{"SingleTextsInWindowOrder", "--error " + kNotUtf8 + " --clock " + kNotUtf8, "", 2, "",
                   "quorvel-calc: the text given to --clock is not valid UTF-8\n"},
        SeveralBad{"DetailsBitsBeforeClock", "--details --json --error 1e400 --clock 1e400 --bits abc", "", 1,
                   Stopped(kBadBitsAndClock, kError13, R"(,"details":{"N":null,"N2":null})"), ""},
        SeveralBad{"DetailsZeroClockBeforeError", "--details --json --clock 0 --error 1e400", "", 1, kZeroClock, ""},
        SeveralBad{"BatchBitsBeforeClock", "--batch", R"({"Ferror":"1e400","Fclock":"1e400","BitSize":"abc"})" "\n",
                   0, Stopped(kBadBitsAndClock, kError13), ""},
        SeveralBad{"BatchDetailsZeroClockBeforeError", "--batch --details", R"({"Ferror":"1e400","Fclock":"0"})" "\n",
                   0, kZeroClock, ""},
        SeveralBad{"BatchFirstRefusedTokenOfTheLine", "--batch",
                   R"({"Fclok":"1","BitSize":1})" "\n" R"({"BitSize":1,"Fclok":"1"})" "\n", 2,
                   R"({"invalid":"unknown key \"Fclok\""})" "\n"
                   R"({"invalid":"the value of \"BitSize\" is not a string"})" "\n", ""},
        SeveralBad{"SweepRowBitsBeforeClock", "--sweep 10:10:1 --error 1e400 --clock 1e400 --bits abc", "", 1,
                   Stopped(R"("BitSize":"abc","Fclock":"1e400","Fwanted":"10","Ferror":"1e400")", kError13), ""},
        SeveralBad{"SweepTextsInWindowOrder", "--sweep 10:10:1 --error " + kNotUtf8 + " --clock " + kNotUtf8, "", 2,
                   "", "quorvel-calc: the text given to --clock is not valid UTF-8\n"},
        SeveralBad{"SweepBeforeTheTexts", "--sweep x:y:0 --bits " + kNotUtf8, "", 2, "",
                   "quorvel-calc: --sweep: FROM" + kSweepPart},
        SeveralBad{"SweepToBeforeStep", "--sweep 1:x:0", "", 2, "", "quorvel-calc: --sweep: TO" + kSweepPart},
        SeveralBad{"SweepZeroStepBeforeItsDirection", "--sweep 2:1:0", "", 2, "",
                   "quorvel-calc: --sweep: STEP is 0\n"}),
    [](const testing::TestParamInfo<SeveralBad>& p) { return std::string(p.param.name); });

TEST(CompanionHelp, FooterNamesEveryExitStatus) {
    const std::string out = RunCalc("--help", "").out;
    for (const char* status : {"0 done", "1 the calculation stopped at a run-time error", "2 a text that is not UTF-8",
                               "3 the run could not finish"}) {
        EXPECT_NE(out.find(status), std::string::npos) << status;
    }
}

}  // namespace
