#pragma once
// Outcomes as CSV (RFC 4180), for spreadsheets: a header row, then one row
// per run, every line ended by CR LF, UTF-8 without a byte order mark.

#include <iosfwd>
#include <string>
#include <string_view>

#include "action/calculate_action.h"
#include "action/word_details.h"

namespace quorvel::cli {

// The shape of the rows a sweep or a batch writes.
enum class RowFormat {
    kJsonLines,  // one JSON object a line, as --json writes it
    kCsv,
};

// Appends one CSV field: as it stands, or between double quotes with each
// quote doubled when it holds a comma, a double quote, CR or LF. Blanks are
// part of the field and stay, unquoted:
//   " 100" -> ` 100`    "a,b" -> `"a,b"`    `say "hi"` -> `"say ""hi"""`
//   "two\nlines" -> `"two` LF `lines"`      "" -> `` (nothing)
void AppendCsvField(std::string& row, std::string_view utf8);

// Whether a batch's rows end with the `invalid` column.
enum class CsvColumns {
    kOutcome,            // the fields, error_number, error_description
    kOutcomeAndInvalid,  // the same, then invalid
};

// Writes the header and rows. The columns are the fields in window order,
// named as the JSON keys ("BitSize" ... "NewNhex"), then error_number and
// error_description of a run-time error (13, "Type mismatch"; both empty
// when the run had none), then, for a batch, `invalid`: the reason a batch
// line is no input object, every other column of its row being empty.
// Rows are built in one reused buffer and written whole.
// With details, the columns of the words' figures (AppendDetailsCsv) come
// after the error's and before `invalid`.
class OutcomeCsvWriter {
public:
    explicit OutcomeCsvWriter(CsvColumns columns, bool details = false) : columns_(columns), details_(details) {}

    void WriteHeader(std::ostream& out);
    void WriteRow(const ActionOutcome& outcome, std::ostream& out);
    void WriteRow(const ActionOutcome& outcome, const RunFigures& figures, std::ostream& out);
    void WriteInvalidRow(std::string_view reason, std::ostream& out);

private:
    void AppendOutcome(const ActionOutcome& outcome);
    void EndRow(std::ostream& out);

    CsvColumns columns_;
    bool details_;
    std::string row_;
    std::string utf8_;
};

}  // namespace quorvel::cli
