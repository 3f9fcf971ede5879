#pragma once
// The batch mode of quorvel-calc: JSON Lines in, JSON Lines out.
//
// Each input line is an object whose keys are among "BitSize", "Fclock",
// "Fwanted" and "Ferror", each with a string value; a missing key keeps the
// window's initial text. Each line gets one output line, in input order: the
// outcome of the Calculate action on fresh fields with those inputs (a
// run-time error is part of that outcome), or {"invalid": "<reason>"} for a
// line that is no such object (an empty line, and one holding a NUL byte,
// included). One trailing carriage return is dropped from each line. Memory
// stays constant apart from the longest line. Anything that is no run-time
// error of the calculation (memory running out, a read error when the stream
// throws on badbit) leaves RunBatch, after the lines before it were written.

#include <iosfwd>
#include <string>
#include <string_view>
#include <variant>

#include "action/fields.h"
#include "cli/csv.h"

namespace quorvel::cli {

// Why a line could not be used, at most a couple of hundred bytes long.
struct InvalidLine {
    std::string reason;
};

// Fresh fields with the line's inputs set, or why the line is not valid.
std::variant<FieldTexts, InvalidLine> ReadInputLine(std::string_view line);

struct BatchOptions {
    // JSON Lines, or CSV with the `invalid` column (a header row first).
    RowFormat format = RowFormat::kJsonLines;
    // Each outcome also carries the words' exact figures ("details").
    bool details = false;
};

// Returns false if any line was invalid.
bool RunBatch(std::istream& in, std::ostream& out, const BatchOptions& options = {});

}  // namespace quorvel::cli
