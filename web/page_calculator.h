#pragma once
// The calculator behind the page: the window's variables, the Calculate
// action and the word figures, with the texts of one run kept until the
// next. The page moves its controls' texts in, runs it, and applies what it
// made: the writes in order, the report, the word fields' tooltips, their
// figures to read and copy, and the fields' accessible descriptions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "action/calculate_action.h"
#include "action/field_write_log.h"
#include "action/spectrum_view.h"
#include "action/fields.h"
#include "core/exact_figures.h"

namespace quorvel {

class PageCalculator {
public:
    // The text of an input field for the next run; the page fills it in.
    std::u16string& Input(Field field) { return inputs_[static_cast<std::size_t>(field)]; }

    // Marks the next run as one that cannot take place: the page could not
    // hand over its texts for want of memory.
    void InputsLost() { inputs_lost_ = true; }

    // Runs the Calculate action on the inputs. Afterwards writes(), report()
    // and Tip() describe that run.
    void Calculate();

    const std::vector<FieldWriteLog::Write>& writes() const { return writes_; }
    // What the page shows in its error report; nothing after a finished run.
    const std::optional<std::u16string>& report() const { return report_; }
    // The word field's tooltip and accessible description; empty for none.
    const std::u16string& Tip(Field field) const { return tips_[static_cast<std::size_t>(field)]; }
    // The field's accessible description: what it holds, then its tooltip.
    const std::u16string& Description(Field field) const {
        return descriptions_[static_cast<std::size_t>(field)];
    }
    // A hex word field's word as a C constant after the run; empty for none.
    const std::u16string& Constant(Field field) const { return constants_[static_cast<std::size_t>(field)]; }

    // The word field's figures as its figures dialog shows them, each line
    // of figures followed by the same in full; empty for none.
    const std::u16string& Figures(Field field) const { return figures_[static_cast<std::size_t>(field)]; }

    // Works out the spectrum panel of a word field for the last run: false,
    // with the figures saying so, when the run did not write it. A phase
    // width of 0 stands for all bits. SpectrumText() then holds the panel.
    bool Spectrum(Field field, std::int32_t phase_bits, std::int32_t harmonics, SvgTheme theme);
    enum class SpectrumPart { kHeading, kFigures, kSvg, kAlternative, kCount };
    const std::u16string& SpectrumText(SpectrumPart part) const {
        return spectrum_[static_cast<std::size_t>(part)];
    }

    // A scratch text the page fills in and gets results back in.
    std::u16string& scratch() { return scratch_; }

private:
    std::array<std::u16string, kFieldCount> inputs_;
    bool inputs_lost_ = false;
    CalculatorVariables vars_;
    WordFigureCalculator figure_calculator_;
    std::vector<FieldWriteLog::Write> writes_;
    std::optional<std::u16string> report_;
    std::array<std::u16string, kFieldCount> tips_;
    std::array<std::u16string, kFieldCount> descriptions_;
    std::array<std::u16string, kFieldCount> constants_;
    std::array<std::u16string, kFieldCount> figures_;
    std::u16string scratch_;
    std::array<std::optional<SpectrumSubject>, kFieldCount> spectrum_subjects_;
    std::array<std::u16string, static_cast<std::size_t>(SpectrumPart::kCount)> spectrum_;
};

}  // namespace quorvel
