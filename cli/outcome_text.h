#pragma once
// The two shapes an action's outcome is shown in: a JSON object for scripts
// and an aligned table of fields for people.

#include <array>
#include <iosfwd>
#include <string>

#include <nlohmann/json.hpp>

#include "action_run.h"

namespace quorvel::cli {

// {"fields": {"BitSize": ..., ..., "NewNhex": ...}, "error": null}, the
// fields in window order; after a run-time error "error" is
// {"number": 13, "description": "Type mismatch"}.
nlohmann::ordered_json OutcomeJson(const ActionOutcome& outcome);

// Writes OutcomeJson(outcome) as one line (the JsonLine form) for line after
// line of a batch: it keeps one object of that shape and overwrites its texts
// in place, so that a line costs next to no allocations.
class OutcomeJsonWriter {
public:
    OutcomeJsonWriter();
    OutcomeJsonWriter(const OutcomeJsonWriter&) = delete;
    OutcomeJsonWriter& operator=(const OutcomeJsonWriter&) = delete;

    void WriteLine(const ActionOutcome& outcome, std::ostream& out);

private:
    nlohmann::ordered_json object_;
    // Into object_, whose shape never changes after construction.
    std::array<std::string*, kFieldCount> texts_{};
    nlohmann::ordered_json* error_ = nullptr;
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
