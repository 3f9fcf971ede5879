#include "cli/word_query.h"

#include <optional>
#include <ostream>
#include <variant>

#include <nlohmann/json.hpp>

#include "action/word_details.h"
#include "cli/exit_status.h"
#include "cli/outcome_text.h"
#include "core/exact_figures.h"
#include "core/number_text.h"
#include "core/run_error.h"
#include "core/tuning_word.h"
#include "core/utf16.h"

namespace quorvel::cli {
namespace {

// The texts of the width, clock and wanted frequency, as UTF-16.
struct QueryTexts {
    std::u16string bits{InitialText(Field::kBitSize)};
    std::u16string clock{InitialText(Field::kFclock)};
    std::optional<std::u16string> wanted;
};

// The numbers read from them.
struct QueryNumbers {
    std::int32_t bits = 0;
    double clock = 0;
    std::optional<double> wanted;
};

// Throws RunTimeError, in the order the Calculate action reads the fields.
QueryNumbers Read(const QueryTexts& texts) {
    QueryNumbers numbers;
    numbers.bits = ReadBitSize(texts.bits);
    numbers.clock = Hertz(texts.clock);
    if (texts.wanted) numbers.wanted = Hertz(*texts.wanted);
    return numbers;
}

nlohmann::ordered_json OptionalJson(const std::optional<std::string>& text) {
    return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json(nullptr);
}

void WriteJson(const WordQueryFigures& figures, std::ostream& out) {
    const nlohmann::ordered_json object = {
        {"word", figures.word},
        {"hex", figures.hex_literal},
        {"output_hz", figures.produced.output_hz},
        {"error_hz", OptionalJson(figures.produced.error_hz)},
        {"error_ppb", OptionalJson(figures.produced.error_ppb)},
    };
    out << JsonLine(object) << '\n';
}

void WritePlain(const WordQueryFigures& figures, std::ostream& out) {
    out << "Word " << figures.word << " (" << figures.hex_literal << ")\n"
        << FrequencyFiguresText(figures.produced) << '\n';
}

}  // namespace

int RunWordQuery(const WordQueryRequest& request, std::ostream& out, std::ostream& err) {
    const std::optional<std::u16string> word = Utf8ToUtf16(request.word);
    if (!word) {
        err << "quorvel-calc: the text given to --word is not valid UTF-8\n";
        return kExitInvalidInput;
    }
    QueryTexts texts;
    for (const InputArgument& input : request.inputs) {
        std::optional<std::u16string> text = Utf8ToUtf16(input.text);
        if (!text) {
            err << "quorvel-calc: the text given to " << input.option << " is not valid UTF-8\n";
            return kExitInvalidInput;
        }
        if (input.field == Field::kBitSize) texts.bits = std::move(*text);
        if (input.field == Field::kFclock) texts.clock = std::move(*text);
        if (input.field == Field::kFwanted) texts.wanted = std::move(*text);
    }

    QueryNumbers numbers;
    try {
        numbers = Read(texts);
    } catch (const RunTimeError& error) {
        err << ErrorLine(error.kind()) << '\n';
        return kExitRunTimeError;
    }

    const std::variant<WordQueryFigures, WordTextFault> figures =
        WordFigureCalculator(ShortForms::kOmitted).Typed(*word, numbers.clock, numbers.bits, numbers.wanted);
    if (const auto* fault = std::get_if<WordTextFault>(&figures)) {
        err << WordFaultMessage(*fault, request.word, numbers.bits) << '\n';
        return kExitInvalidInput;
    }
    if (request.json) {
        WriteJson(std::get<WordQueryFigures>(figures), out);
    } else {
        WritePlain(std::get<WordQueryFigures>(figures), out);
    }
    return kExitOk;
}

std::string WordFaultMessage(WordTextFault fault, const std::string& word, std::int32_t bits) {
    std::string message = "quorvel-calc: the word given to --word (\"" + word + "\") ";
    switch (fault) {
        case WordTextFault::kNotWhole:
            return message + "is not a whole number";
        case WordTextFault::kNegative:
            return message + "is negative";
        case WordTextFault::kTooLarge:
            return message + "is 2^" + std::to_string(bits) + " or more, beyond a " + std::to_string(bits) +
                   "-bit accumulator";
    }
    return message;
}

}  // namespace quorvel::cli
