#pragma once
// The Calculate action: reads the four inputs, writes the six outputs and
// marks a wanted frequency above the Nyquist limit.

#include <cstdint>
#include <optional>
#include <string_view>

#include "action/fields.h"
#include "core/run_error.h"

namespace quorvel {

// The marker appended to the wanted frequency above the Nyquist limit.
inline constexpr std::u16string_view kNyquistMarker = u" NYQUIST!";

// The window's variables, set by the action and kept until the next run.
struct CalculatorVariables {
    double Fc = 0;
    double Fc2 = 0;
    double Fout = 0;
    double Fdiff = 0;
    double N = 0;
    double N2 = 0;
    std::int32_t Bits = 0;
};

// The action's steps, in order:
//   1 Bits from BitSize      2 Fc from Fclock      3 Fout from Fwanted
//   4 " NYQUIST!" appended to Fwanted when Fout > 0.499 Fc
//   5 Resol   6 N, Nideal   7 Nhex   8 Fdiff from Ferror
//   9 Fc2, ActualClock   10 N2, NewN   11 NewNhex
// The first run-time error stops the action right there, leaving every
// earlier write and variable in place, and propagates as a RunTimeError.
// Setting Fwanted runs its change reaction before the action goes on.
void Calculate(FieldAccess& fields, CalculatorVariables& vars);

// Calculate, with the run-time error that stopped it, if any, returned as
// data instead of thrown. Anything else that goes wrong still propagates.
std::optional<ErrorKind> CalculateCatchingRunTimeError(FieldAccess& fields, CalculatorVariables& vars);

// One run on a plain set of fields with the variables of a freshly opened
// window, and everything it left: after an error, the fields written before
// the stop hold their new text, the others what they held, and the variables
// set before the stop their new values.
struct ActionOutcome {
    FieldTexts fields;
    CalculatorVariables variables;
    std::optional<ErrorKind> error;
};
ActionOutcome RunAction(FieldTexts fields);

}  // namespace quorvel
