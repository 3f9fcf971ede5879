// Runs the Calculate action once, on the window's initial texts apart from
// the inputs given, and prints every field as `Name "text"`, then the
// figures of the words it reached as their tooltips show them: the same
// texts as the window and quorvel-calc, computed by the WebAssembly build.
//   node quorvel-web-smoke.js [BITS [CLOCK [WANTED [ERROR]]]]

#include <cstddef>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/utf16.h"
#include "window/calculate_action.h"
#include "window/fields.h"
#include "window/word_details.h"

namespace {

using quorvel::Field;

void PrintField(std::string_view label, const std::u16string& text) {
    std::cout << label << " \"" << quorvel::Utf16ToUtf8(text) << "\"\n";
}

}  // namespace

int main(int argc, char** argv) {
    const std::span<char*> arguments(argv + 1, static_cast<std::size_t>(argc - 1));
    quorvel::FieldTexts fields;
    for (std::size_t i = 0; i < arguments.size() && i < quorvel::kInputFields.size(); ++i) {
        const std::optional<std::u16string> text = quorvel::Utf8ToUtf16(arguments[i]);
        if (!text) {
            std::cerr << "quorvel-web-smoke: argument " << i + 1 << " is not valid UTF-8\n";
            return 2;
        }
        fields.SetText(quorvel::kInputFields[i], *text);
    }

    quorvel::WordFigureCalculator calculator;
    const quorvel::DetailedOutcome detailed = quorvel::RunActionWithFigures(fields, calculator);
    const quorvel::ActionOutcome& outcome = detailed.outcome;
    for (const Field field : quorvel::kAllFields) PrintField(quorvel::FieldName(field), outcome.fields[field]);

    const std::optional<quorvel::WordFigures>* words[] = {&detailed.figures.ideal, &detailed.figures.corrected};
    for (const std::optional<quorvel::WordFigures>* word : words) {
        if (*word) std::cout << "\n" << quorvel::WordFiguresText(**word) << "\n";
    }
    if (outcome.error) std::cout << "\nRun-time error " << static_cast<int>(*outcome.error) << "\n";
    return outcome.error ? 1 : 0;
}
