#pragma once
// The two shapes an action's outcome is shown in: a JSON object for scripts
// and an aligned table of fields for people.

#include <array>
#include <iosfwd>
#include <string>

#include <nlohmann/json.hpp>

#include "action/calculate_action.h"
#include "action/word_details.h"

namespace quorvel::cli {

// Writes an outcome as one JSON line, for --json and for line after line of
// a batch:
//   {"fields":{"BitSize":...,...,"NewNhex":...},"error":null}
// with the fields in window order; after a run-time error "error" is
// {"number":13,"description":"Type mismatch"}. The shape never changes, so
// the line is written straight into one reused buffer: a general serializer
// decodes every byte of every text again and costs more than the calculation
// itself. The texts are escaped as JsonLine escapes them.
class OutcomeJsonWriter {
public:
    void WriteLine(const ActionOutcome& outcome, std::ostream& out);
    // The same line with the words' figures (--details) after "error":
    //   {"fields":{...},"error":null,"details":{"N":...,"N2":...}}
    void WriteLine(const ActionOutcome& outcome, const RunFigures& figures, std::ostream& out);

private:
    // The line up to its closing brace.
    void AppendOutcome(const ActionOutcome& outcome);
    void Finish(std::ostream& out);
    void AppendString(std::u16string_view text);

    std::string line_;
    std::string utf8_;
};

// The object on one line, no blanks. Bytes that are not UTF-8 (which only a
// parser's report of a bad line can carry) come out as U+FFFD.
std::string JsonLine(const nlohmann::ordered_json& object);

// One line a field, in window order: name, row caption, and the text in
// double quotes so that leading and trailing blanks show.
void WritePlainFields(const FieldTexts& fields, std::ostream& out);

// "Run-time error '13': Type mismatch"
std::string ErrorLine(ErrorKind error);

}  // namespace quorvel::cli
