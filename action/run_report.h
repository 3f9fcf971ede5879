#pragma once
// What the user is told when a Calculate run stops, and the run that tells
// it: every front end reports a stop in these words and empties the same
// outputs afterwards.

#include <optional>
#include <string>
#include <string_view>

#include "action/calculate_action.h"
#include "action/field_write_log.h"
#include "action/fields.h"
#include "core/run_error.h"

namespace quorvel {

// The report of a run-time error: its heading, an empty line, its description.
//   ErrorReport(Type mismatch) -> u"Run-time error '13':\n\nType mismatch"
std::u16string ErrorReport(ErrorKind kind);

// The reports of a stop that is no run-time error of the rules.
inline constexpr std::u16string_view kOutOfMemoryReport = u"There is not enough memory to finish the calculation.";
inline constexpr std::u16string_view kUnexpectedFailureReport = u"The calculation stopped on an unexpected failure.";

// The calculation a front end runs: Calculate, unless a test puts a failing
// one in its place.
using Calculation = void (*)(FieldAccess& fields, CalculatorVariables& vars);

// Runs the calculation on the logged fields; whatever stops it comes back
// as the report to show, nothing when the run finished. The log keeps the
// writes made before the stop.
std::optional<std::u16string> CalculateForReport(FieldWriteLog& fields, CalculatorVariables& vars,
                                                 Calculation calculation = &Calculate);

// After the report has been closed, the outputs the stopped run did not
// reach are emptied, so that no text of an earlier run stands beside the
// new ones.
void EmptyOutputsNotWritten(FieldAccess& fields, const FieldWriteLog& log);

}  // namespace quorvel
