// The batch reader over whole inputs: arbitrary bytes, many lines, NUL bytes,
// CR/LF, invalid UTF-8, long lines. Checked on every input:
//   - exactly one output line per input line, in order;
//   - each output line is UTF-8 JSON in one of the two shapes: {"invalid":
//     "<reason of at most 200 bytes>"}, or {"fields": the ten fields in window
//     order, each a string, "error": null or {"number", "description"} of
//     one of the three run-time errors}; a finished run has all six outputs;
//   - an empty line or one holding a NUL byte is invalid; a line that is
//     calculated parses as a JSON object (read apart from the batch reader)
//     whose values are the input texts shown (the wanted frequency perhaps
//     with the Nyquist marker), the others keeping their initial texts;
//   - RunBatch reports all lines valid exactly when no output line is invalid
//     (the exit status 0 or 2).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "action/fields.h"
#include "cli/batch.h"
#include "core/run_error.h"
#include "core/utf16.h"

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr std::size_t kMaxReasonBytes = 200;
constexpr const char* kMarker = " NYQUIST!";

[[noreturn]] void Fail(std::string_view what, std::string_view line) {
    std::fprintf(stderr, "fuzz_batch: %.*s\n  line: %.*s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(line.size() < 400 ? line.size() : 400), line.data());
    std::abort();
}

void Require(bool condition, std::string_view what, std::string_view line) {
    if (!condition) Fail(what, line);
}

// The lines as the batch reads them: split at '\n', a last line without one
// counted when it is not empty, one trailing '\r' dropped from each.
std::vector<std::string_view> InputLines(std::string_view input) {
    std::vector<std::string_view> lines;
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        std::string_view line = input.substr(0, end);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> OutputLines(const std::string& output, std::string_view any_line) {
    Require(output.empty() || output.back() == '\n', "the output does not end with a newline", any_line);
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool IsRunTimeError(const OrderedJson& error) {
    if (!error.is_object() || error.size() != 2 || !error.contains("number") || !error.contains("description")) {
        return false;
    }
    for (const quorvel::ErrorKind kind :
         {quorvel::ErrorKind::kOverflow, quorvel::ErrorKind::kDivisionByZero, quorvel::ErrorKind::kTypeMismatch}) {
        if (error["number"] == static_cast<int>(kind) && error["description"] == quorvel::Description(kind)) {
            return true;
        }
    }
    return false;
}

// The input texts a calculated line must have given: its object read by the
// library's own parser.
void CheckInputsShown(std::string_view input, const OrderedJson& fields, std::string_view output) {
    Require(input.find('\0') == std::string_view::npos, "a line with a NUL byte was calculated", input);
    const Json object = Json::parse(input, nullptr, /*allow_exceptions=*/false);
    Require(object.is_object(), "a line that is no JSON object was calculated", input);
    for (const quorvel::Field field : quorvel::kInputFields) {
        const std::string name(quorvel::FieldName(field));
        const Json expected =
            object.contains(name) ? object[name] : Json(quorvel::Utf16ToUtf8(quorvel::InitialText(field)));
        Require(expected.is_string(), "a calculated line has a value that is no string", input);
        const std::string shown = fields[name].get<std::string>();
        const std::string text = expected.get<std::string>();
        // The wanted frequency may carry the marker (fuzz_calculate checks when).
        const bool marked = field == quorvel::Field::kFwanted && shown == text + kMarker;
        Require(shown == text || marked, "an input text differs from the line's", output);
    }
    for (const auto& item : object.items()) {
        const std::optional<quorvel::Field> field = quorvel::FieldNamed(item.key());
        Require(field && *field <= quorvel::Field::kFerror, "a line with a key that is no input was calculated",
                input);
    }
}

// Returns whether the line is an invalid-line report.
bool CheckOutputLine(std::string_view input, const std::string& output) {
    Require(quorvel::Utf8ToUtf16(output).has_value(), "an output line is not UTF-8", output);
    const OrderedJson parsed = OrderedJson::parse(output, nullptr, /*allow_exceptions=*/false);
    Require(parsed.is_object(), "an output line is not a JSON object", output);

    if (parsed.size() == 1 && parsed.contains("invalid")) {
        const OrderedJson& reason = parsed["invalid"];
        Require(reason.is_string() && !reason.get<std::string>().empty() &&
                    reason.get<std::string>().size() <= kMaxReasonBytes,
                "an invalid-line reason is empty, too long or no string", output);
        return true;
    }
    Require(input.find('\0') == std::string_view::npos && !input.empty(),
            "an empty line or one with a NUL byte got an outcome", input);

    Require(parsed.size() == 2 && parsed.contains("fields") && parsed.contains("error"),
            "an output line has neither shape", output);
    const OrderedJson& fields = parsed["fields"];
    Require(fields.is_object() && fields.size() == quorvel::kFieldCount, "the fields are not ten", output);
    auto entry = fields.items().begin();
    for (const quorvel::Field field : quorvel::kAllFields) {
        Require(entry.key() == quorvel::FieldName(field), "the fields are not in window order", output);
        Require(entry.value().is_string(), "a field is no string", output);
        ++entry;
    }
    const OrderedJson& error = parsed["error"];
    Require(error.is_null() || IsRunTimeError(error), "the error is not one of the three", output);
    if (error.is_null()) {
        for (const quorvel::Field field : quorvel::kOutputFields) {
            Require(!fields[std::string(quorvel::FieldName(field))].get<std::string>().empty(),
                    "a finished run left an output empty", output);
        }
    }
    CheckInputsShown(input, fields, output);
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    std::ostringstream out;
    const bool all_valid = quorvel::cli::RunBatch(in, out);

    const std::vector<std::string_view> inputs = InputLines(input);
    const std::vector<std::string> outputs = OutputLines(out.str(), input);
    Require(outputs.size() == inputs.size(), "not one output line per input line", input);

    bool any_invalid = false;
    for (std::size_t i = 0; i < inputs.size(); ++i) any_invalid |= CheckOutputLine(inputs[i], outputs[i]);
    Require(all_valid == !any_invalid, "the exit status does not follow the invalid lines", input);
    return 0;
}
