#include "web/page_calculator.h"

#include "window/run_report.h"
#include "window/word_details.h"

namespace quorvel {

void PageCalculator::Calculate() {
    writes_.clear();
    report_.reset();
    for (std::u16string& tip : tips_) tip.clear();
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
    for (Field field : {Field::kNideal, Field::kNhex, Field::kNewN, Field::kNewNhex}) {
        tips_[static_cast<std::size_t>(field)] = WordFieldTip(field, figures, written);
    }
}

}  // namespace quorvel
