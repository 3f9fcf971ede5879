// Constants to paste: each language's line for a word, and the names each
// language takes.

#include <gtest/gtest.h>

#include <string>

#include "action/constant_text.h"
#include "tests/support/escaped.h"

namespace quorvel {
namespace {

using test::Escaped;

TEST(ConstantLine, EachLanguageAtItsWidth) {
    struct Case {
        ConstantLanguage language;
        std::int32_t bits;
        const char* hex;
        const char* line;
    };
    const Case cases[] = {
        {ConstantLanguage::kC, 32, "1B645A1D", "#define FTW 0x1B645A1Du /* c */"},
        {ConstantLanguage::kC, 48, "28F5C28F5C3", "#define FTW 0x028F5C28F5C3ull /* c */"},
        {ConstantLanguage::kC, 28, "3333333", "#define FTW 0x3333333u /* c */"},
        {ConstantLanguage::kPython, 32, "1B645A1D", "FTW = 0x1B645A1D  # c"},
        {ConstantLanguage::kVerilog, 32, "1B645A1D", "localparam [31:0] FTW = 32'h1B645A1D;  // c"},
        {ConstantLanguage::kVerilog, 14, "1000", "localparam [13:0] FTW = 14'h1000;  // c"},
        {ConstantLanguage::kVhdl, 32, "1B645A1D",
         "constant FTW : std_logic_vector(31 downto 0) := x\"1B645A1D\";  -- c"},
        {ConstantLanguage::kVhdl, 28, "3333333",
         "constant FTW : std_logic_vector(27 downto 0) := x\"3333333\";  -- c"},
        {ConstantLanguage::kVhdl, 30, "3333333",
         "constant FTW : std_logic_vector(29 downto 0) := 30x\"03333333\";  -- c"},
        {ConstantLanguage::kVhdl, 5, "16", "constant FTW : std_logic_vector(4 downto 0) := 5x\"16\";  -- c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ConstantLine({"FTW", c.bits, c.hex, "c"}, c.language), std::string(c.line));
    }
    EXPECT_EQ(ConstantLine({"FTW", 65, "1", "c"}, ConstantLanguage::kC), std::nullopt);
}

TEST(ConstantName, IdentifiersOfEachLanguage) {
    struct Case {
        const char* name;
        bool c, python, verilog, vhdl;
    };
    const Case cases[] = {
        {"FTW", true, true, true, true},
        {"dds_word2", true, true, true, true},
        {"2FTW", false, false, false, false},
        {"", false, false, false, false},
        {"FTW-1", false, false, false, false},
        {"_ftw", true, true, true, false},
        {"ftw_", true, true, true, false},
        {"a__b", true, true, true, false},
        {"a$b", false, false, true, false},
        {"int", false, true, true, true},
        {"lambda", true, false, true, true},
        {"wire", true, true, false, true},
        {"Signal", true, true, true, false},
        {"\xC2\xB5", false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Escaped(std::string(c.name)));
        EXPECT_EQ(IsConstantName(c.name, ConstantLanguage::kC), c.c);
        EXPECT_EQ(IsConstantName(c.name, ConstantLanguage::kPython), c.python);
        EXPECT_EQ(IsConstantName(c.name, ConstantLanguage::kVerilog), c.verilog);
        EXPECT_EQ(IsConstantName(c.name, ConstantLanguage::kVhdl), c.vhdl);
    }
}

TEST(WordCommentText, SignsTheErrors) {
    EXPECT_EQ(WordCommentText({"459561501", "10700000.0076", "100", "32 bits", "0.0066", "0.62"}),
              "459561501: 10700000.0076 Hz from 100 MHz at 32 bits, error +0.0066 Hz, +0.62 ppb");
    EXPECT_EQ(WordCommentText({"1", "2", "3", "modulus 10", "-0.5", std::nullopt}),
              "1: 2 Hz from 3 MHz at modulus 10, error -0.5 Hz");
}

TEST(HexFieldConstant, TheRunsWordWithItsFigures) {
    FieldTexts fields;  // 32 bits, 100 MHz, 25 MHz
    WordFigureCalculator calculator;
    const DetailedOutcome run = RunActionWithFigures(fields, calculator);
    WrittenFields written;
    written.set();
    EXPECT_EQ(HexFieldConstant(Field::kNhex, run.outcome.fields.Text(Field::kNhex), run.figures, written, 32),
              u"#define FTW 0x40000000u /* 1073741824: 25000000 Hz from 100 MHz at 32 bits, error 0 Hz, 0 ppb */");
    EXPECT_EQ(HexFieldConstant(Field::kNhex, u"edited", run.figures, written, 32), u"");
    EXPECT_EQ(HexFieldConstant(Field::kNhex, run.outcome.fields.Text(Field::kNhex), run.figures, {}, 32), u"");
}

}  // namespace
}  // namespace quorvel
