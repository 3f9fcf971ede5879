#pragma once
// One calculation from the command line, shown as a table or as JSON.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "action/fields.h"

namespace quorvel::cli {

// An input field's text as given on the command line (UTF-8), with the
// option that gave it, for messages.
struct InputArgument {
    Field field;
    std::string_view option;
    std::string text;
};

// Sets each input's text in `fields`. Returns false, with a message on
// `err`, when a text is not UTF-8.
bool SetInputTexts(const std::vector<InputArgument>& inputs, FieldTexts& fields, std::ostream& err);

struct SingleRunRequest {
    std::vector<InputArgument> inputs;  // the others keep their initial texts
    bool json = false;
    bool details = false;  // the words' exact figures after the table or in the object
};

// Runs the action on fresh fields and writes the outcome to `out`: the plain
// table, with the run-time error line on `err`, or the JSON object, which
// carries the error itself; with `details`, the figures of the words too. Returns the exit status: kExitRunTimeError after
// a run-time error, kExitInvalidInput (and nothing on `out`) when a text is
// not UTF-8.
int RunSingle(const SingleRunRequest& request, std::ostream& out, std::ostream& err);

}  // namespace quorvel::cli
