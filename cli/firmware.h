#pragma once
// quorvel-calc's words for firmware: register writes from a stated layout,
// phase words, any modulus, signed words, and constants to paste.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/single_run.h"

namespace quorvel::cli {

// The options, as given (UTF-8); absent ones are not asked for.
struct FirmwareRequest {
    // --bits, --clock and --wanted; the width and clock not given keep the
    // window's initial texts, and so does the wanted frequency without --word.
    std::vector<InputArgument> inputs;
    std::optional<std::string> word;
    std::optional<std::string> modulus;
    bool is_signed = false;
    bool exact = false;
    std::optional<std::string> max_denominator;
    std::optional<std::string> phase;
    std::optional<std::string> phase_word;
    std::optional<std::string> phase_bits;
    std::optional<std::string> registers;
    std::optional<std::string> bytes;       // "msb" or "lsb"
    std::optional<std::string> bits_order;  // "msb" or "lsb"
    std::optional<std::string> emit;        // "c", "python", "verilog" or "vhdl"
    std::optional<std::string> name;
    bool json = false;
};

// Works out the word (and the phase word and the writes, when asked for)
// and writes them:
//   Word 53687091 (0x3333333)
//   Output 5000000 Hz
//   Error 0 Hz (0 ppb)
//   Write 1: 0x7333 29491 (16 bits)
//   Write 2: 0x4CCC 19660 (16 bits)
// with --emit as constants in that language instead, and with --json as one
// JSON object. Everything is worked out before anything is written: a fault
// leaves standard output empty. Returns kExitOk; kExitRunTimeError when the
// width cannot be read; kExitInvalidInput, with the reason on `err` (for a
// layout, its position), for anything else that cannot be used.
int RunFirmware(const FirmwareRequest& request, std::ostream& out, std::ostream& err);

}  // namespace quorvel::cli
