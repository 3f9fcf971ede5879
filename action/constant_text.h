#pragma once
// Words as constants to paste into firmware or HDL sources: one line per
// word, of the word's width, with a comment of what it gives. The companion's
// --emit and the word fields' "Copy as C Constant" both write them here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "action/fields.h"
#include "action/word_details.h"

namespace quorvel {

// The identifier of the tuning word unless the user names it.
inline constexpr std::string_view kDefaultConstantName = "FTW";
// C has no integer constant wider than unsigned long long's 64 bits.
inline constexpr std::int32_t kMaxCConstantBits = 64;

enum class ConstantLanguage { kC, kPython, kVerilog, kVhdl };

// "c", "python", "verilog", "vhdl"; nothing for any other.
std::optional<ConstantLanguage> ConstantLanguageNamed(std::string_view name);

// Whether the name is an identifier of the language and none of its
// reserved words: ASCII letters, digits and "_", not starting with a digit
// (Verilog also allows "$" after the first character; VHDL neither starts
// nor ends with "_", has no "__", and reads its reserved words in any case).
//   "FTW" -> yes everywhere    "2x" -> no    "int" -> no in C    "Signal" -> no in VHDL
bool IsConstantName(std::string_view name, ConstantLanguage language);

struct Constant {
    std::string name;
    std::int32_t bits = 0;   // the register's width
    std::string hex;         // the value's hexadecimal digits, upper case
    std::string comment;     // one line, without the comment's markers
};

// The constant as one line, its hex digits padded with zeros to the width:
//   C        #define FTW 0x1B645A1Du /* comment */       ("ull" above 32 bits)
//   Python   FTW = 0x1B645A1D  # comment
//   Verilog  localparam [31:0] FTW = 32'h1B645A1D;  // comment
//   VHDL     constant FTW : std_logic_vector(31 downto 0) := x"1B645A1D";  -- comment
// A VHDL width that is no multiple of 4 gets a sized literal: 30x"03333333".
// Nothing for C above kMaxCConstantBits.
std::optional<std::string> ConstantLine(const Constant& constant, ConstantLanguage language);

// What a word gives, for a constant's comment; every number as it would be
// printed in full.
struct WordComment {
    std::string word;                      // decimal
    std::string output_hz;
    std::string clock_mhz;
    std::string accumulator;               // "32 bits", "modulus 1000"
    std::optional<std::string> error_hz;
    std::optional<std::string> error_ppb;
};

// "459561501: 10700000.00110... Hz from 100 MHz at 32 bits, error +0.0011 Hz, +0.103 ppb";
// positive errors get their "+"; no error part without one.
std::string WordCommentText(const WordComment& comment);

// The C constant of a hex word field (Nhex, NewNhex) after a run, named
// FTW, with the word's figures as the run left them and the clock they use
// (the entered one for Nhex, the inferred one for NewNhex). Empty when the
// run did not write the field, its text is no hex word, or the width is
// above kMaxCConstantBits.
std::u16string HexFieldConstant(Field field, std::u16string_view hex_text, const RunFigures& figures,
                                const WrittenFields& written, std::int32_t bits);

}  // namespace quorvel
