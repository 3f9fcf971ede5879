#include "outcome_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ostream>

#include "utf16.h"

namespace quorvel::cli {
namespace {

// Blanks between the columns of the plain table.
constexpr std::size_t kColumnGap = 2;

nlohmann::ordered_json ErrorJson(ErrorKind error) {
    return {{"number", static_cast<int>(error)}, {"description", Description(error)}};
}

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

nlohmann::ordered_json OutcomeJson(const ActionOutcome& outcome) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::object();
    for (Field field : kAllFields) {
        fields.emplace(std::string(FieldName(field)), Utf16ToUtf8(outcome.fields[field]));
    }
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    object.emplace("fields", std::move(fields));
    object.emplace("error", outcome.error ? ErrorJson(*outcome.error) : nlohmann::ordered_json());
    return object;
}

OutcomeJsonWriter::OutcomeJsonWriter() : object_(OutcomeJson(ActionOutcome{})) {
    nlohmann::ordered_json& fields = object_.at("fields");
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        texts_[i] = &fields.at(std::string(FieldName(kAllFields[i]))).get_ref<std::string&>();
    }
    error_ = &object_.at("error");
}

void OutcomeJsonWriter::WriteLine(const ActionOutcome& outcome, std::ostream& out) {
    for (std::size_t i = 0; i < kFieldCount; ++i) *texts_[i] = Utf16ToUtf8(outcome.fields[kAllFields[i]]);
    *error_ = outcome.error ? ErrorJson(*outcome.error) : nlohmann::ordered_json();
    // One write per line: the stream's per-character calls cost more than
    // building the line.
    const std::string line = JsonLine(object_);
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.put('\n');
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
    std::array<char, 16> number{};
    const auto written = std::to_chars(number.data(), number.data() + number.size(),
                                       static_cast<int>(error));
    std::string line = "Run-time error '";
    line.append(number.data(), written.ptr).append("': ").append(Description(error));
    return line;
}

}  // namespace quorvel::cli
