#include "action/calculate_action.h"

#include <utility>

#include "core/number_text.h"
#include "core/tuning_word.h"

namespace quorvel {

void Calculate(FieldAccess& fields, CalculatorVariables& vars) {
    vars.Bits = ReadBitSize(fields.Text(Field::kBitSize));
    vars.Fc = Hertz(fields.Text(Field::kFclock));
    vars.Fout = Hertz(fields.Text(Field::kFwanted));

    if (AboveNyquist(vars.Fout, vars.Fc)) {
        // Read again: the text is kept as it stands, whatever follows the number.
        fields.SetText(Field::kFwanted, fields.Text(Field::kFwanted).append(kNyquistMarker));
    }

    fields.SetText(Field::kResol, DecimalText(Resolution(vars.Fc, vars.Bits)));

    vars.N = TuningWord(vars.Fout, vars.Fc, vars.Bits);
    fields.SetText(Field::kNideal, DecimalText(vars.N));
    fields.SetText(Field::kNhex, HexWord(vars.N, vars.Bits));

    // The measured error is in hertz, not scaled.
    vars.Fdiff = ReadNumber(fields.Text(Field::kFerror));

    vars.Fc2 = InferredClock(vars.Fout, vars.Fdiff, vars.N, vars.Bits);
    fields.SetText(Field::kActualClock, DecimalText(Megahertz(vars.Fc2)));

    vars.N2 = TuningWord(vars.Fout, vars.Fc2, vars.Bits);
    fields.SetText(Field::kNewN, DecimalText(vars.N2));
    fields.SetText(Field::kNewNhex, HexWord(vars.N2, vars.Bits));
}

std::optional<ErrorKind> CalculateCatchingRunTimeError(FieldAccess& fields, CalculatorVariables& vars) {
    try {
        Calculate(fields, vars);
    } catch (const RunTimeError& error) {
        return error.kind();
    }
    return std::nullopt;
}

ActionOutcome RunAction(FieldTexts fields) {
    ActionOutcome outcome{std::move(fields), {}, std::nullopt};
    outcome.error = CalculateCatchingRunTimeError(outcome.fields, outcome.variables);
    return outcome;
}

}  // namespace quorvel
