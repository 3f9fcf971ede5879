#include "cli/batch.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "action/calculate_action.h"
#include "cli/details.h"
#include "cli/outcome_text.h"
#include "core/utf16.h"

namespace quorvel::cli {
namespace {

using Json = nlohmann::json;

// A reason quotes part of the line (a key, or the parser's last token, which
// can be the rest of a huge line); it is cut to this size.
constexpr std::size_t kMaxReasonBytes = 200;
constexpr std::string_view kCutMark = "...";

// The reason as it will be written, every byte that is not UTF-8 already
// U+FFFD (three bytes where it was one), then cut to kMaxReasonBytes at the
// start of a character.
std::string Capped(std::string reason) {
    if (!Utf8ToUtf16(reason)) {
        const std::string quoted = JsonLine(nlohmann::ordered_json(std::move(reason)));
        reason = Json::parse(quoted).get<std::string>();
    }
    if (reason.size() <= kMaxReasonBytes) return reason;
    std::size_t end = kMaxReasonBytes - kCutMark.size();
    // Step back to the start of a character so that a valid text stays valid.
    while (end > 0 && IsUtf8Continuation(reason[end])) --end;
    reason.resize(end);
    reason.append(kCutMark);
    return reason;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted.append(text).append("\"");
    return quoted;
}

bool IsInput(Field field) {
    return std::find(kInputFields.begin(), kInputFields.end(), field) != kInputFields.end();
}

// Takes the parser's events for one line and fills fresh fields, refusing the
// line (by returning false, which ends the parse) at the first event that
// does not belong in a flat object of input texts.
class InputLineHandler {
public:
    bool null() { return NotAString(); }
    bool boolean(bool /*value*/) { return NotAString(); }
    bool number_integer(Json::number_integer_t /*value*/) { return NotAString(); }
    bool number_unsigned(Json::number_unsigned_t /*value*/) { return NotAString(); }
    bool number_float(Json::number_float_t /*value*/, const Json::string_t& /*text*/) {
        return NotAString();
    }
    bool binary(Json::binary_t& /*value*/) { return NotAString(); }
    bool start_array(std::size_t /*elements*/) { return NotAString(); }
    // Never reached: every array is refused where it starts.
    bool end_array() { return true; }

    bool start_object(std::size_t /*elements*/) {
        if (inside_object_) return NotAString();
        inside_object_ = true;
        return true;
    }
    // Only the line's own object gets here: nested ones are refused at their start.
    bool end_object() { return true; }

    bool key(Json::string_t& name) {
        const std::optional<Field> field = FieldNamed(name);
        if (!field || !IsInput(*field)) return Refuse("unknown key " + Quoted(name));
        const auto index = static_cast<std::size_t>(*field);
        if (seen_[index]) return Refuse("duplicate key " + Quoted(name));
        seen_[index] = true;
        current_ = *field;
        return true;
    }

    bool string(Json::string_t& value) {
        if (!inside_object_) return NotAnObject();
        // The parser accepts only well-formed UTF-8, so this holds; checked all the same.
        std::optional<std::u16string> text = Utf8ToUtf16(value);
        if (!text) return Refuse("the value of " + Quoted(FieldName(current_)) + " is not UTF-8");
        fields_.SetText(current_, *text);
        return true;
    }

    bool parse_error(std::size_t /*position*/, const std::string& /*last_token*/,
                     const Json::exception& error) {
        // Drop the "[json.exception.parse_error.101] " tag, and the line
        // number, always 1 here: the rest says where and what.
        std::string_view message = error.what();
        if (const std::size_t tag_end = message.find("] "); tag_end != std::string_view::npos) {
            message.remove_prefix(tag_end + 2);
        }
        std::string reason = "not JSON: " + std::string(message);
        constexpr std::string_view kLineOne = "line 1, ";
        if (const std::size_t at = reason.find(kLineOne); at != std::string::npos) {
            reason.erase(at, kLineOne.size());
        }
        return Refuse(std::move(reason));
    }

    FieldTexts TakeFields() { return std::move(fields_); }
    std::string TakeReason() { return Capped(std::move(reason_)); }

private:
    bool NotAnObject() { return Refuse("not an object"); }

    bool NotAString() {
        if (!inside_object_) return NotAnObject();
        return Refuse("the value of " + Quoted(FieldName(current_)) + " is not a string");
    }

    bool Refuse(std::string reason) {
        reason_ = std::move(reason);
        return false;
    }

    bool inside_object_ = false;
    Field current_ = Field::kBitSize;
    std::bitset<kFieldCount> seen_;
    FieldTexts fields_;
    std::string reason_;
};

nlohmann::ordered_json InvalidJson(std::string reason) {
    return {{"invalid", std::move(reason)}};
}

void WriteInvalidLine(std::string reason, std::ostream& out) {
    const std::string line = JsonLine(InvalidJson(std::move(reason)));
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.put('\n');
}

// Reads the lines one by one and hands each line's fields to `write`, each
// invalid line's reason to `write_invalid`; returns false if any line was invalid.
template <class Write, class WriteInvalid>
bool RunLines(std::istream& in, Write write, WriteInvalid write_invalid) {
    bool all_valid = true;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::variant<FieldTexts, InvalidLine> input = ReadInputLine(line);
        if (auto* invalid = std::get_if<InvalidLine>(&input)) {
            all_valid = false;
            write_invalid(std::move(invalid->reason));
        } else {
            write(std::move(std::get<FieldTexts>(input)));
        }
    }
    return all_valid;
}

}  // namespace

std::variant<FieldTexts, InvalidLine> ReadInputLine(std::string_view line) {
    // Refused before parsing so that the output keeps one line per input line
    // with a reason of its own.
    if (line.empty()) return InvalidLine{"empty line"};
    // The parser takes a NUL byte for the end of its input and would read
    // only what stands before it; no JSON text holds one anyway.
    if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos) {
        return InvalidLine{"a NUL byte at column " + std::to_string(nul + 1)};
    }
    InputLineHandler handler;
    if (!Json::sax_parse(line.begin(), line.end(), &handler)) return InvalidLine{handler.TakeReason()};
    return handler.TakeFields();
}

bool RunBatch(std::istream& in, std::ostream& out, const BatchOptions& options) {
    OutcomeRunner run(options.details);
    if (options.format == RowFormat::kCsv) {
        OutcomeCsvWriter writer(CsvColumns::kOutcomeAndInvalid, options.details);
        writer.WriteHeader(out);
        return RunLines(
            in, [&](FieldTexts fields) { run(std::move(fields), [&](const auto&... done) { writer.WriteRow(done..., out); }); },
            [&](std::string reason) { writer.WriteInvalidRow(reason, out); });
    }
    OutcomeJsonWriter writer;
    return RunLines(
        in, [&](FieldTexts fields) { run(std::move(fields), [&](const auto&... done) { writer.WriteLine(done..., out); }); },
        [&](std::string reason) { WriteInvalidLine(std::move(reason), out); });
}

}  // namespace quorvel::cli
