#pragma once
// quorvel-calc --word: what a given tuning word produces, exactly.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/single_run.h"
#include "core/exact_figures.h"

namespace quorvel::cli {

struct WordQueryRequest {
    std::string word;  // UTF-8, decimal or "0x" hexadecimal, blanks allowed as the hex fields show them
    // --bits, --clock and --wanted as given; the width and clock not given
    // keep the window's initial texts, and without --wanted there is no error.
    std::vector<InputArgument> inputs;
    bool json = false;
};

// Reads the width with ReadBitSize and the clock (and wanted frequency) with
// Hertz, as the Calculate action does, then writes the word and what it
// produces:
//   Word 1073741824 (0x40000000)
//   Output 25000000 Hz
//   Error 0 Hz (0 ppb)
// or, with `json`, {"word":"1073741824","hex":"0x40000000","output_hz":
// "25000000","error_hz":"0","error_ppb":"0"}, absent figures null.
// Returns kExitOk; kExitRunTimeError (with the error line on `err`) when a
// number cannot be read; kExitInvalidInput (with a message on `err`) when a
// text is not UTF-8 or the word is not a whole number from 0 to 2^bits - 1.
int RunWordQuery(const WordQueryRequest& request, std::ostream& out, std::ostream& err);

// Why the word given to --word is no tuning word of `bits` bits, as a line
// to write on standard error:
//   (kTooLarge, "0x100000000", 32) -> quorvel-calc: the word given to --word
//     ("0x100000000") is 2^32 or more, beyond a 32-bit accumulator
std::string WordFaultMessage(WordTextFault fault, const std::string& word, std::int32_t bits);

}  // namespace quorvel::cli
