#pragma once
// The exact figures of a run's two words (--details): extra lines after the
// plain table, and a "details" object in JSON output.

#include <iosfwd>
#include <string>
#include <utility>

#include "action/calculate_action.h"
#include "action/word_details.h"

namespace quorvel::cli {

// Appends the figures as one JSON object, every number a decimal string so
// that no digit is lost to a reader's doubles; a word the run did not reach
// is null, as is a figure that does not exist:
//   {"N":{"word":"1073741824","output_hz":"25000000","error_hz":"0",
//         "error_ppb":"0","exact":{"word":"1073741824","steps":"0",
//         "output_hz":null,"error_hz":null,"error_ppb":null}},"N2":null}
// "exact" is the cross-check (null when there is none); its output and
// error are null when its word is the word shown.
void AppendDetailsJson(std::string& line, const RunFigures& figures);

// The figures as further CSV columns, each with the comma in front of it:
// for N, then N2, the word, its output_hz, error_hz and error_ppb, then the
// cross-check's word, steps, output_hz, error_hz and error_ppb, named by
// their paths in the JSON object ("N.word", ..., "N2.exact.error_ppb"). A
// figure that is null there is an empty column here.
void AppendDetailsCsvHeader(std::string& row);
void AppendDetailsCsv(std::string& row, const RunFigures& figures);
inline constexpr std::size_t kDetailsCsvColumns = 18;

// Runs the action on fresh fields, with the words' figures when asked for,
// and hands the result to `write`: write(outcome), or write(outcome, figures)
// with details. One calculator serves every run, so its big numbers keep
// their storage from row to row; it leaves out the short forms, which no
// output of the companion shows.
class OutcomeRunner {
public:
    explicit OutcomeRunner(bool details) : details_(details) {}

    template <class Write>
    void operator()(FieldTexts fields, Write&& write) {
        if (details_) {
            const DetailedOutcome detailed = RunActionWithFigures(std::move(fields), calculator_);
            write(detailed.outcome, detailed.figures);
        } else {
            write(RunAction(std::move(fields)));
        }
    }

private:
    bool details_;
    WordFigureCalculator calculator_{ShortForms::kOmitted};
};

// The figures as lines for people, after the plain table: a heading per word
// naming its fields, then its WordFiguresText lines indented, or "not
// reached" when the run stopped before the word.
void WritePlainDetails(const RunFigures& figures, std::ostream& out);

}  // namespace quorvel::cli
