#include "cli/csv.h"

#include <charconv>
#include <ostream>

#include "cli/details.h"
#include "core/utf16.h"

namespace quorvel::cli {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kErrorColumns = "error_number,error_description";
constexpr std::string_view kInvalidColumn = "invalid";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

bool NeedsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

// How many bytes the character starting with `lead` should have; 1 for a
// byte that cannot start one, so that it is looked at on its own.
std::size_t Utf8SequenceLength(char lead) {
    const auto byte = static_cast<unsigned char>(lead);
    if (byte >= 0xF0U && byte <= 0xF7U) return 4;
    if (byte >= 0xE0U) return byte <= 0xEFU ? 3 : 1;
    if (byte >= 0xC0U) return 2;
    return 1;
}

// A batch line's reason can quote bytes of the line that are not UTF-8:
// each character that is not well formed becomes U+FFFD, byte by byte.
std::string WithMalformedReplaced(std::string_view bytes) {
    if (Utf8ToUtf16(bytes)) return std::string(bytes);
    std::string text;
    while (!bytes.empty()) {
        const std::size_t length = Utf8SequenceLength(bytes.front());
        if (length <= bytes.size() && Utf8ToUtf16(bytes.substr(0, length))) {
            text.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        } else {
            text.append(kReplacementCharacter);
            bytes.remove_prefix(1);
        }
    }
    return text;
}

}  // namespace

void AppendCsvField(std::string& row, std::string_view utf8) {
    if (!NeedsQuotes(utf8)) {
        row.append(utf8);
        return;
    }
    row.push_back('"');
    for (const char c : utf8) {
        if (c == '"') row.push_back('"');
        row.push_back(c);
    }
    row.push_back('"');
}

void OutcomeCsvWriter::WriteHeader(std::ostream& out) {
    row_.clear();
    for (Field field : kAllFields) row_.append(FieldName(field)).push_back(',');
    row_.append(kErrorColumns);
    if (details_) AppendDetailsCsvHeader(row_);
    if (columns_ == CsvColumns::kOutcomeAndInvalid) row_.append(",").append(kInvalidColumn);
    EndRow(out);
}

void OutcomeCsvWriter::WriteRow(const ActionOutcome& outcome, std::ostream& out) {
    AppendOutcome(outcome);
    if (columns_ == CsvColumns::kOutcomeAndInvalid) row_.push_back(',');
    EndRow(out);
}

void OutcomeCsvWriter::WriteRow(const ActionOutcome& outcome, const RunFigures& figures, std::ostream& out) {
    AppendOutcome(outcome);
    AppendDetailsCsv(row_, figures);
    if (columns_ == CsvColumns::kOutcomeAndInvalid) row_.push_back(',');
    EndRow(out);
}

void OutcomeCsvWriter::AppendOutcome(const ActionOutcome& outcome) {
    row_.clear();
    for (Field field : kAllFields) {
        utf8_.clear();
        AppendUtf8(utf8_, outcome.fields[field]);
        AppendCsvField(row_, utf8_);
        row_.push_back(',');
    }
    if (outcome.error) {
        char number[16];
        const auto written = std::to_chars(std::begin(number), std::end(number), static_cast<int>(*outcome.error));
        row_.append(number, written.ptr).push_back(',');
        AppendCsvField(row_, Description(*outcome.error));
    } else {
        row_.push_back(',');
    }
}

void OutcomeCsvWriter::WriteInvalidRow(std::string_view reason, std::ostream& out) {
    // Each empty column before `invalid` ends with its comma.
    constexpr std::size_t kOutcomeColumns = kAllFields.size() + 2;
    row_.assign(kOutcomeColumns + (details_ ? kDetailsCsvColumns : 0), ',');
    AppendCsvField(row_, WithMalformedReplaced(reason));
    EndRow(out);
}

void OutcomeCsvWriter::EndRow(std::ostream& out) {
    row_.append(kLineEnd);
    out.write(row_.data(), static_cast<std::streamsize>(row_.size()));
}

}  // namespace quorvel::cli
