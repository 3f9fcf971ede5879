#include "web/page_calculator.h"

#include "action/accessible_text.h"
#include "action/constant_text.h"
#include "action/layout.h"
#include "action/run_report.h"
#include "action/word_details.h"
#include "core/utf16.h"

namespace quorvel {

void PageCalculator::Calculate() {
    writes_.clear();
    report_.reset();
    for (Field field : kAllFields) {
        tips_[static_cast<std::size_t>(field)].clear();
        constants_[static_cast<std::size_t>(field)].clear();
        figures_[static_cast<std::size_t>(field)].clear();
        spectrum_subjects_[static_cast<std::size_t>(field)].reset();
        descriptions_[static_cast<std::size_t>(field)] = AccessibleDescription(field);
    }
    if (inputs_lost_) {
        inputs_lost_ = false;
        report_ = std::u16string(kOutOfMemoryReport);
        return;
    }
    // The action reads only the inputs; the outputs it writes start empty
    // here and the page keeps its own.
    FieldTexts fields;
    for (Field input : kInputFields) fields.SetText(input, Input(input));
    FieldWriteLog log(fields);
    report_ = CalculateForReport(log, vars_);
    writes_ = log.writes();

    const WrittenFields written = WrittenIn(log);
    RunFigures figures;
    try {
        figures = FiguresOfRun(fields, vars_, written, figure_calculator_);
    } catch (...) {
        // The figures are an aid: without the memory for them the fields go
        // without, and the calculation's own texts stand.
        figures = {};
    }
    for (Field field : kAllFields) {
        const std::size_t index = static_cast<std::size_t>(field);
        tips_[index] = WordFieldTip(field, figures, written);
        figures_[index] = WordFieldFigures(field, figures, written);
        spectrum_subjects_[index] = SpectrumSubjectOf(field, figures, written, vars_.Bits);
        descriptions_[index] = AccessibleDescription(field, tips_[index]);
        constants_[index] = HexFieldConstant(field, fields.Text(field), figures, written, vars_.Bits);
    }
}

bool PageCalculator::Spectrum(Field field, std::int32_t phase_bits, std::int32_t harmonics, SvgTheme theme) {
    const std::optional<SpectrumSubject>& subject = spectrum_subjects_[static_cast<std::size_t>(field)];
    const SpectrumView view = subject ? ViewSpectrum(*subject, phase_bits, harmonics, theme)
                                      : SpectrumView{{}, Utf16ToUtf8(layout::kNoFigures), {}, {}};
    const std::string* parts[] = {&view.heading, &view.figures, &view.svg, &view.alternative};
    for (std::size_t i = 0; i < spectrum_.size(); ++i) spectrum_[i] = Utf8ToUtf16(*parts[i]).value_or(u"");
    return subject.has_value();
}

}  // namespace quorvel
