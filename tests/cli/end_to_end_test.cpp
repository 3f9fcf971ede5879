// Runs the built quorvel-calc through the shell, as a script would.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/batch_harness.h"

namespace {

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

// `arguments` are shell words; `input` goes to stdin.
Finished RunCalc(const std::string& arguments, const std::string& input = "") {
    // Tests run in parallel: the files are the test's own.
    const std::string stem = testing::TempDir() + "quorvel_calc_" + std::to_string(getpid()) + "_" +
                             testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string in_path = stem + ".in";
    const std::string err_path = stem + ".err";
    std::ofstream(in_path, std::ios::binary) << input;

    const std::string command = "'" QUORVEL_CALC_PATH "' " + arguments + " <'" + in_path +
                                "' 2>'" + err_path + "'";
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

}  // namespace
