#pragma once
// One run of the Calculate action on a plain set of fields, with the run-time
// error that stopped it, if any, kept as data beside the fields.

#include <optional>

#include "window/fields.h"
#include "core/run_error.h"

namespace quorvel::cli {

struct ActionOutcome {
    // Every field as it stands after the action: after an error, the fields
    // written before the stop hold their new text, the others what they held.
    FieldTexts fields;
    std::optional<ErrorKind> error;
};

// Runs the action on `fields` (the window's initial texts apart from the
// inputs the caller set) with the variables of a freshly opened window.
ActionOutcome RunAction(FieldTexts fields);

}  // namespace quorvel::cli
