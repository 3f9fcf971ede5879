#include "cli/outcome_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ostream>

#include "cli/details.h"
#include "core/utf16.h"

namespace quorvel::cli {
namespace {

// Blanks between the columns of the plain table.
constexpr std::size_t kColumnGap = 2;

std::size_t WidestName() {
    std::size_t widest = 0;
    for (Field field : kAllFields) widest = std::max(widest, FieldName(field).size());
    return widest;
}

// Captions are plain ASCII, so a code unit is a column.
std::size_t WidestCaption() {
    std::size_t widest = 0;
    for (Field field : kAllFields) widest = std::max(widest, RowCaption(field).size());
    return widest;
}

void WritePadded(std::ostream& out, const std::string& text, std::size_t width) {
    out << text;
    for (std::size_t column = text.size(); column < width; ++column) out.put(' ');
}

}  // namespace

void OutcomeJsonWriter::AppendString(std::u16string_view text) {
    // The escapes are JsonLine's: the short forms where JSON has them,
    // \u00xx for the other control characters, everything else as UTF-8.
    constexpr char kHexDigits[] = "0123456789abcdef";
    utf8_.clear();
    AppendUtf8(utf8_, text);
    line_.push_back('"');
    for (const char c : utf8_) {
        switch (c) {
            case '"': line_.append("\\\""); break;
            case '\\': line_.append("\\\\"); break;
            case '\b': line_.append("\\b"); break;
            case '\f': line_.append("\\f"); break;
            case '\n': line_.append("\\n"); break;
            case '\r': line_.append("\\r"); break;
            case '\t': line_.append("\\t"); break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    line_.append("\\u00");
                    line_.push_back(kHexDigits[(c >> 4) & 0xF]);
                    line_.push_back(kHexDigits[c & 0xF]);
                } else {
                    line_.push_back(c);
                }
        }
    }
    line_.push_back('"');
}

void OutcomeJsonWriter::AppendOutcome(const ActionOutcome& outcome) {
    line_.assign(R"({"fields":{)");
    for (Field field : kAllFields) {
        if (field != kAllFields.front()) line_.push_back(',');
        line_.push_back('"');
        line_.append(FieldName(field));
        line_.append("\":");
        AppendString(outcome.fields[field]);
    }
    line_.append(R"(},"error":)");
    if (outcome.error) {
        char number[16];
        const auto written = std::to_chars(std::begin(number), std::end(number), static_cast<int>(*outcome.error));
        line_.append(R"({"number":)").append(number, written.ptr).append(R"(,"description":")");
        line_.append(Description(*outcome.error)).append("\"}");
    } else {
        line_.append("null");
    }
}

void OutcomeJsonWriter::Finish(std::ostream& out) {
    line_.append("}\n");
    out.write(line_.data(), static_cast<std::streamsize>(line_.size()));
}

void OutcomeJsonWriter::WriteLine(const ActionOutcome& outcome, std::ostream& out) {
    AppendOutcome(outcome);
    Finish(out);
}

void OutcomeJsonWriter::WriteLine(const ActionOutcome& outcome, const RunFigures& figures, std::ostream& out) {
    AppendOutcome(outcome);
    line_.append(R"(,"details":)");
    AppendDetailsJson(line_, figures);
    Finish(out);
}

std::string JsonLine(const nlohmann::ordered_json& object) {
    constexpr int kNoIndent = -1;
    constexpr bool kEnsureAscii = false;
    return object.dump(kNoIndent, ' ', kEnsureAscii, nlohmann::ordered_json::error_handler_t::replace);
}

void WritePlainFields(const FieldTexts& fields, std::ostream& out) {
    const std::size_t name_width = WidestName() + kColumnGap;
    const std::size_t caption_width = WidestCaption() + kColumnGap;
    for (Field field : kAllFields) {
        WritePadded(out, std::string(FieldName(field)), name_width);
        WritePadded(out, Utf16ToUtf8(RowCaption(field)), caption_width);
        out << '"' << Utf16ToUtf8(fields[field]) << "\"\n";
    }
}

std::string ErrorLine(ErrorKind error) {
    std::string line = ReportHeading(error);
    line.append(" ").append(Description(error));
    return line;
}

}  // namespace quorvel::cli
