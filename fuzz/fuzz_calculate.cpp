// The whole Calculate action on four arbitrary field texts (BitSize, Fclock,
// Fwanted, Ferror, split at 0xFF bytes; see DecodeTexts). Checked after every
// run, whether it finished or stopped at an error:
//   - nothing but a run-time error (Overflow, Division by zero, Type
//     mismatch) escapes;
//   - the fields written are: Fwanted once at most (the marker), then exactly
//     a prefix of the output write order, each once; on success all six;
//   - fields not written keep their text; BitSize, Fclock and Ferror are
//     never changed, and Fwanted is either unchanged or followed by the marker,
//     which is added exactly when Fout > 0.499 Fc;
//   - the decimal outputs pass CheckDecimalText against the variables they
//     show, and the hex outputs equal the 64-bit rendering of those words.

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "action/calculate_action.h"
#include "action/field_write_log.h"
#include "action/fields.h"
#include "core/arithmetic.h"
#include "core/tuning_word.h"
#include "fuzz/fuzz_support.h"

namespace {

using quorvel::CalculatorVariables;
using quorvel::Field;
using quorvel::fuzz::Require;

using quorvel::kInputFields;
// What the output fields show before the action, so an untouched one is seen.
constexpr std::u16string_view kBeforeText = u"(before)";

// Fresh fields with the inputs set and every output showing kBeforeText.
quorvel::FieldTexts FieldsBefore(const std::vector<std::u16string>& inputs) {
    quorvel::FieldTexts fields;
    for (Field output : quorvel::kOutputFields) fields.SetText(output, kBeforeText);
    for (std::size_t i = 0; i < kInputFields.size(); ++i) fields.SetText(kInputFields[i], inputs[i]);
    return fields;
}

bool WasWritten(const std::vector<Field>& outputs_written, Field field) {
    return std::find(outputs_written.begin(), outputs_written.end(), field) != outputs_written.end();
}

void CheckOutputText(const quorvel::FieldTexts& fields, const CalculatorVariables& vars, Field field) {
    const std::u16string& text = fields[field];
    switch (field) {
        case Field::kResol:
            quorvel::fuzz::CheckDecimalText(quorvel::Resolution(vars.Fc, vars.Bits), text);
            break;
        case Field::kNideal: quorvel::fuzz::CheckDecimalText(vars.N, text); break;
        case Field::kActualClock:
            quorvel::fuzz::CheckDecimalText(quorvel::Megahertz(vars.Fc2), text);
            break;
        case Field::kNewN: quorvel::fuzz::CheckDecimalText(vars.N2, text); break;
        case Field::kNhex:
        case Field::kNewNhex: {
            quorvel::fuzz::CheckHexCharacters(text);
            const double word = field == Field::kNhex ? vars.N : vars.N2;
            Require(text == quorvel::fuzz::ExpectedHexWord(word, vars.Bits),
                    "a hex output differs from the 64-bit rendering of its word", text);
            break;
        }
        default: Require(false, "an input field among the outputs");
    }
}

void CheckRun(const std::vector<std::u16string>& inputs, const quorvel::FieldTexts& fields,
              const std::vector<quorvel::FieldWriteLog::Write>& log, const CalculatorVariables& vars,
              bool finished) {
    std::vector<Field> writes;
    for (const auto& write : log) writes.push_back(write.field);
    const bool marked = !writes.empty() && writes.front() == Field::kFwanted;
    if (marked) writes.erase(writes.begin());

    Require(writes.size() <= quorvel::kOutputFields.size() &&
                std::equal(writes.begin(), writes.end(), quorvel::kOutputFields.begin()),
            "the outputs were not written as a prefix of the write order");
    Require(!finished || writes.size() == quorvel::kOutputFields.size(),
            "a finished action left an output unwritten");

    for (std::size_t i = 0; i < kInputFields.size(); ++i) {
        const Field field = kInputFields[i];
        const std::u16string expected =
            field == Field::kFwanted && marked ? inputs[i] + std::u16string(quorvel::kNyquistMarker)
                                               : inputs[i];
        Require(fields[field] == expected, "an input text was altered", fields[field]);
    }
    // Once an output is written, the Nyquist test has run: the marker must
    // follow it. The product cannot overflow, 0.499 being below 1.
    if (marked || !writes.empty()) {
        Require(marked == (vars.Fout > vars.Fc * quorvel::kNyquistFraction),
                "the marker does not follow Fout > 0.499 Fc");
    }

    for (Field field : quorvel::kOutputFields) {
        if (WasWritten(writes, field)) {
            CheckOutputText(fields, vars, field);
        } else {
            Require(fields[field] == kBeforeText, "an output not written was changed", fields[field]);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::u16string> inputs =
        quorvel::fuzz::DecodeTexts(data, size, kInputFields.size());
    quorvel::FieldTexts fields = FieldsBefore(inputs);
    quorvel::FieldWriteLog log(fields);

    CalculatorVariables vars;
    // Anything but a run-time error propagates, and libFuzzer reports it.
    const bool finished = !quorvel::CalculateCatchingRunTimeError(log, vars).has_value();
    CheckRun(inputs, fields, log.writes(), vars, finished);
    return 0;
}
