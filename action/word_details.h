#pragma once
// The exact figures of a Calculate run's two words, for the window's
// tooltips and the companion's details: what each word produces, its error,
// and the exact cross-check. Figures exist only for the words the run
// reached; a run that stopped earlier leaves them absent, never stale.

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

#include "action/calculate_action.h"
#include "action/field_write_log.h"
#include "action/fields.h"
#include "core/exact_figures.h"

namespace quorvel {

// The fields a run wrote, indexed by Field.
using WrittenFields = std::bitset<kFieldCount>;

// The fields a write log saw written.
WrittenFields WrittenIn(const FieldWriteLog& log);

struct RunFigures {
    // N, with the clock as entered: present once the run wrote Nideal.
    std::optional<WordFigures> ideal;
    // N2, with the inferred clock: present once the run wrote NewN.
    std::optional<WordFigures> corrected;
    // What the figures assume, in hertz, so that their texts can say it.
    double entered_clock = 0;
    double inferred_clock = 0;
    double wanted = 0;
};

// The figures of a run, from the fields as it left them (the inputs read the
// same after the run: the Nyquist marker never continues a number), the
// variables it set and the fields it wrote.
RunFigures FiguresOfRun(const FieldAccess& fields, const CalculatorVariables& vars, const WrittenFields& written,
                        WordFigureCalculator& calculator);

// RunAction, with the figures of the words it reached. A batch passes the
// same calculator to every run.
struct DetailedOutcome {
    ActionOutcome outcome;
    RunFigures figures;
};
DetailedOutcome RunActionWithFigures(FieldTexts fields, WordFigureCalculator& calculator);

// What a word produces as one or two lines of text:
//   Output 25000000 Hz
//   Error 0 Hz (0 ppb)
// the second only with a wanted frequency, without "(... ppb)" for one of 0.
std::string FrequencyFiguresText(const FrequencyFigures& figures);

// A word's figures as lines of text, separated by "\n", shared by the
// window's tooltips and the companion's plain details:
//   Output 23711649.000000178944 Hz
//   Error 0.00000017894399206852540374 Hz (0.000007546670081 ppb)
//   Exact nearest word 66742358500462 (-1 step)
//   Its output 23711648.999999823673 Hz
//   Its error -0.0000001763273758115246892 Hz (-0.000007436318571 ppb)
// The error has no ppb part for a wanted frequency of 0. A word that agrees
// with the exact one gets "Exact nearest word: the same" as its last line;
// one without a cross-check a line that says why.
std::string WordFiguresText(const WordFigures& figures);

// The tooltip of a word field (Nideal, Nhex, NewN, NewNhex) after a run,
// which its accessible description carries after what the field holds: a
// first line naming the word, the clock and the wanted frequency its figures
// use (as the fields show numbers), then the figures of WordFiguresText at a
// glance:
//   Wanted N 66742358500463 with the entered clock 100 MHz, wanted 23.711649 MHz
//   Output +23.711 6 MHz
//   Error +178.944 nHz (+0.000 007 546 67 ppb)
//   Exact nearest word 66742358500462 (-1 step)
//   Its output +23.711 6 MHz
//   Its error -176.327 nHz (-0.000 007 436 32 ppb)
// The corrected word's first line reads "Modified N ... with the inferred
// clock ...". Empty (no tooltip) when the run did not write that field, and
// for every other field. The figures must come from a calculator that gives
// short forms (ShortForms::kGiven, the default).
std::u16string WordFieldTip(Field field, const RunFigures& figures, const WrittenFields& written);

// The same field's figures for the figures panel: the tooltip's lines, each
// line of figures followed by the same figures in full, indented, for
// copying:
//   Output +23.711 6 MHz
//       23711649.000000178944 Hz
// Empty where the tooltip is.
std::u16string WordFieldFigures(Field field, const RunFigures& figures, const WrittenFields& written);

// The first line of a word field's tooltip, naming the word, its clock and
// the wanted frequency: "Wanted N 1073741824 with the entered clock 100
// MHz, wanted 25 MHz". Empty where the tooltip is.
std::string WordFieldHeading(Field field, const RunFigures& figures, const WrittenFields& written);

// A hex field's text as a plain literal without blanks, for the clipboard:
// "0x 4000 0000" -> "0x40000000", "0x 028F 5C28 F5C3" -> "0x028F5C28F5C3".
// Nothing when the text is not "0x" and hexadecimal digits with blanks
// among them (an empty field, or one the user has edited into something
// else).
std::optional<std::u16string> PlainHexLiteral(std::u16string_view hex_text);

}  // namespace quorvel
