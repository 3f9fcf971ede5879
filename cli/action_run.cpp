#include "cli/action_run.h"

#include <utility>

#include "window/calculate_action.h"

namespace quorvel::cli {

ActionOutcome RunAction(FieldTexts fields) {
    ActionOutcome outcome{std::move(fields), std::nullopt};
    CalculatorVariables variables;
    try {
        Calculate(outcome.fields, variables);
    } catch (const RunTimeError& error) {
        outcome.error = error.kind();
    }
    return outcome;
}

}  // namespace quorvel::cli
