#include "cli/single_run.h"

#include <optional>
#include <ostream>
#include <utility>

#include "action/calculate_action.h"
#include "action/word_details.h"
#include "cli/details.h"
#include "cli/exit_status.h"
#include "cli/outcome_text.h"
#include "core/utf16.h"

namespace quorvel::cli {

bool SetInputTexts(const std::vector<InputArgument>& inputs, FieldTexts& fields, std::ostream& err) {
    for (const InputArgument& input : inputs) {
        std::optional<std::u16string> text = Utf8ToUtf16(input.text);
        if (!text) {
            err << "quorvel-calc: the text given to " << input.option << " is not valid UTF-8\n";
            return false;
        }
        fields.SetText(input.field, *text);
    }
    return true;
}

int RunSingle(const SingleRunRequest& request, std::ostream& out, std::ostream& err) {
    FieldTexts fields;
    if (!SetInputTexts(request.inputs, fields, err)) return kExitInvalidInput;

    // The companion prints figures in full only.
    WordFigureCalculator calculator(ShortForms::kOmitted);
    const DetailedOutcome detailed = request.details ? RunActionWithFigures(std::move(fields), calculator)
                                                     : DetailedOutcome{RunAction(std::move(fields)), {}};
    const ActionOutcome& outcome = detailed.outcome;
    if (request.json && request.details) {
        OutcomeJsonWriter().WriteLine(outcome, detailed.figures, out);
    } else if (request.json) {
        OutcomeJsonWriter().WriteLine(outcome, out);
    } else {
        WritePlainFields(outcome.fields, out);
        if (request.details) WritePlainDetails(detailed.figures, out);
        // The fields first, so that a terminal shows them above the error.
        out.flush();
        if (outcome.error) err << ErrorLine(*outcome.error) << '\n';
    }
    return outcome.error ? kExitRunTimeError : kExitOk;
}

}  // namespace quorvel::cli
