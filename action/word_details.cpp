#include "action/word_details.h"

#include <string>
#include <utility>

#include "core/number_text.h"
#include "core/tuning_word.h"
#include "core/utf16.h"

namespace quorvel {
namespace {

// How figures are written: in full (the companion's details), at a glance
// (tooltips), or at a glance each followed by an indented line in full (the
// figures panel).
enum class Form { kFull, kGlance, kGlanceThenFull };

constexpr std::string_view kFullIndent = "    ";

bool IsWritten(const WrittenFields& written, Field field) { return written[static_cast<std::size_t>(field)]; }

// "0.5 Hz (2 ppb)", or "0.5 Hz" without a ppb figure.
std::string ErrorText(const FrequencyFigures& figures) {
    std::string text = *figures.error_hz + " Hz";
    if (figures.error_ppb) text.append(" (").append(*figures.error_ppb).append(" ppb)");
    return text;
}

// "+0.5 Hz (+2 ppb)", or "+0.5 Hz" without a ppb figure. The short forms
// are there when the calculator gave them; value() throws rather than read
// a missing one.
std::string ErrorGlance(const FrequencyFigures& figures) {
    std::string text = figures.error_short.value();
    if (figures.error_ppb_short) text.append(" (").append(*figures.error_ppb_short).append(")");
    return text;
}

// "Output ... Hz\nError ... Hz (... ppb)", each line with the given lead word.
void AppendFrequencyLines(std::string& text, const FrequencyFigures& figures, std::string_view output_word,
                          std::string_view error_word, Form form) {
    if (form == Form::kFull) {
        text.append(output_word).append(" ").append(figures.output_hz).append(" Hz");
        if (figures.error_hz) text.append("\n").append(error_word).append(" ").append(ErrorText(figures));
        return;
    }
    const bool in_full = form == Form::kGlanceThenFull;
    text.append(output_word).append(" ").append(figures.output_short.value());
    if (in_full) text.append("\n").append(kFullIndent).append(figures.output_hz).append(" Hz");
    if (!figures.error_hz) return;
    text.append("\n").append(error_word).append(" ").append(ErrorGlance(figures));
    if (in_full) text.append("\n").append(kFullIndent).append(ErrorText(figures));
}

// A frequency in megahertz as the fields show numbers, without the blank
// that stands for a plus sign.
std::string MegahertzText(double hertz) {
    const NumberText number = DecimalText(Megahertz(hertz));
    std::u16string_view text = number;
    if (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    return Utf16ToUtf8(text);
}

// "Wanted N 1073741824 with the entered clock 100 MHz, wanted 25 MHz".
std::string Heading(bool corrected, const WordFigures& word, const RunFigures& run) {
    std::string text = corrected ? "Modified N " : "Wanted N ";
    text.append(word.word).append(corrected ? " with the inferred clock " : " with the entered clock ");
    text.append(MegahertzText(corrected ? run.inferred_clock : run.entered_clock)).append(" MHz, wanted ");
    return text.append(MegahertzText(run.wanted)).append(" MHz");
}

// "(-1 step)", "(2 steps)".
std::string StepsText(const std::string& steps) {
    const bool one = steps == "1" || steps == "-1";
    return "(" + steps + (one ? " step)" : " steps)");
}

std::string NoCrossCheckText(NoCrossCheck reason) {
    switch (reason) {
        case NoCrossCheck::kBeyondExactRange:
            return "No exact cross-check: a written number has more than " + std::to_string(kMaxExactDigits) +
                   " digits";
        case NoCrossCheck::kNoExactClock:
            return "No exact cross-check: the written numbers give a clock of 0";
    }
    return {};
}

// The figures a word field shows, or nothing for the other fields.
const std::optional<WordFigures>* FiguresOfField(Field field, const RunFigures& figures) {
    switch (field) {
        case Field::kNideal:
        case Field::kNhex:
            return &figures.ideal;
        case Field::kNewN:
        case Field::kNewNhex:
            return &figures.corrected;
        default:
            return nullptr;
    }
}

std::string FiguresText(const WordFigures& figures, Form form) {
    std::string text;
    AppendFrequencyLines(text, figures.produced, "Output", "Error", form);
    text.append("\n");
    if (const auto* reason = std::get_if<NoCrossCheck>(&figures.cross_check)) {
        text.append(NoCrossCheckText(*reason));
        return text;
    }
    const CrossCheck& check = std::get<CrossCheck>(figures.cross_check);
    if (!check.figures) {
        text.append("Exact nearest word: the same");
        return text;
    }
    text.append("Exact nearest word ").append(check.word).append(" ").append(StepsText(check.steps)).append("\n");
    AppendFrequencyLines(text, *check.figures, "Its output", "Its error", form);
    return text;
}

// A word field's figures with their heading; empty where the run did not
// write the field.
std::u16string FieldFiguresText(Field field, const RunFigures& figures, const WrittenFields& written, Form form) {
    const std::optional<WordFigures>* word = FiguresOfField(field, figures);
    if (word == nullptr || !*word || !IsWritten(written, field)) return {};
    const bool corrected = word == &figures.corrected;
    const std::string text = Heading(corrected, **word, figures) + "\n" + FiguresText(**word, form);
    return Utf8ToUtf16(text).value();  // well-formed: ASCII and the prefix µ
}

bool IsHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f'); }

}  // namespace

WrittenFields WrittenIn(const FieldWriteLog& log) {
    WrittenFields written;
    for (const FieldWriteLog::Write& write : log.writes()) written.set(static_cast<std::size_t>(write.field));
    return written;
}

RunFigures FiguresOfRun(const FieldAccess& fields, const CalculatorVariables& vars, const WrittenFields& written,
                        WordFigureCalculator& calculator) {
    RunFigures figures;
    figures.entered_clock = vars.Fc;
    figures.inferred_clock = vars.Fc2;
    figures.wanted = vars.Fout;
    if (IsWritten(written, Field::kNideal)) {
        figures.ideal = calculator.Ideal({vars.N, vars.Fc, vars.Fout, vars.Bits}, fields.Text(Field::kFclock),
                                         fields.Text(Field::kFwanted));
    }
    if (IsWritten(written, Field::kNewN)) {
        figures.corrected = calculator.Corrected({vars.N2, vars.Fc2, vars.Fout, vars.Bits}, vars.N,
                                                 fields.Text(Field::kFwanted), fields.Text(Field::kFerror));
    }
    return figures;
}

DetailedOutcome RunActionWithFigures(FieldTexts fields, WordFigureCalculator& calculator) {
    DetailedOutcome detailed{{std::move(fields), {}, std::nullopt}, {}};
    ActionOutcome& outcome = detailed.outcome;
    FieldWriteLog log(outcome.fields);
    outcome.error = CalculateCatchingRunTimeError(log, outcome.variables);
    detailed.figures = FiguresOfRun(outcome.fields, outcome.variables, WrittenIn(log), calculator);
    return detailed;
}

std::string FrequencyFiguresText(const FrequencyFigures& figures) {
    std::string text;
    AppendFrequencyLines(text, figures, "Output", "Error", Form::kFull);
    return text;
}

std::string WordFiguresText(const WordFigures& figures) { return FiguresText(figures, Form::kFull); }

std::string WordFieldHeading(Field field, const RunFigures& figures, const WrittenFields& written) {
    const std::optional<WordFigures>* word = FiguresOfField(field, figures);
    if (word == nullptr || !*word || !IsWritten(written, field)) return {};
    return Heading(word == &figures.corrected, **word, figures);
}

std::u16string WordFieldTip(Field field, const RunFigures& figures, const WrittenFields& written) {
    return FieldFiguresText(field, figures, written, Form::kGlance);
}

std::u16string WordFieldFigures(Field field, const RunFigures& figures, const WrittenFields& written) {
    return FieldFiguresText(field, figures, written, Form::kGlanceThenFull);
}

std::optional<std::u16string> PlainHexLiteral(std::u16string_view hex_text) {
    constexpr std::u16string_view kPrefix = u"0x";
    if (!hex_text.starts_with(kPrefix)) return std::nullopt;
    std::u16string literal(kPrefix);
    for (char16_t c : hex_text.substr(kPrefix.size())) {
        if (c == u' ') continue;
        if (!IsHexDigit(c)) return std::nullopt;
        literal.push_back(c);
    }
    if (literal.size() == kPrefix.size()) return std::nullopt;
    return literal;
}

}  // namespace quorvel
