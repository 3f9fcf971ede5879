#pragma once
// The exact figures of a run's two words (--details): extra lines after the
// plain table, and a "details" object in JSON output.

#include <iosfwd>
#include <string>

#include "window/word_details.h"

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

// The figures as lines for people, after the plain table: a heading per word
// naming its fields, then its WordFiguresText lines indented, or "not
// reached" when the run stopped before the word.
void WritePlainDetails(const RunFigures& figures, std::ostream& out);

}  // namespace quorvel::cli
