// What the page's script calls in the compiled module. Texts cross as UTF-16
// code units in the module's memory, one for one, so a lone surrogate or a
// byte-order mark typed into the page reaches the action as it stands: a
// text is a handle (a std::u16string of the calculator) whose code units
// the script reads from, or writes into, the module's memory.
//
// A failure to allocate never leaves the module: the call answers with
// nothing, and a run whose inputs were lost reports the want of memory.

#include <cstddef>
#include <new>
#include <optional>
#include <string>

#include "action/word_details.h"
#include "web/page_calculator.h"

using quorvel::Field;
using quorvel::kFieldCount;
using quorvel::PageCalculator;

namespace {

std::optional<Field> FieldAt(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kFieldCount) return std::nullopt;
    return static_cast<Field>(index);
}

}  // namespace

extern "C" {

// The page's calculator, which lives as long as the page.
PageCalculator* quorvel_page_new() { return new (std::nothrow) PageCalculator(); }

// The input field's text for the next run (fields numbered as in Field).
std::u16string* quorvel_page_input(PageCalculator* page, int field) {
    const std::optional<Field> input = FieldAt(field);
    if (!input) return nullptr;
    return &page->Input(*input);
}

// A text resized to `length` code units for the script to fill in; nothing,
// and the next run reports the want of memory, when there is no room.
char16_t* quorvel_text_resize(PageCalculator* page, std::u16string* text, std::size_t length) {
    try {
        text->resize(length);
        return text->data();
    } catch (...) {
        page->InputsLost();
        return nullptr;
    }
}

const char16_t* quorvel_text_data(const std::u16string* text) { return text->data(); }

std::size_t quorvel_text_length(const std::u16string* text) { return text->size(); }

// Runs the Calculate action on the inputs; the number of writes it made.
int quorvel_page_calculate(PageCalculator* page) {
    try {
        page->Calculate();
    } catch (...) {
        page->InputsLost();
        try {
            page->Calculate();
        } catch (...) {
            // Not even the report's few words fit: the run shows nothing.
        }
    }
    return static_cast<int>(page->writes().size());
}

// The run's writes, in the order the action made them.
int quorvel_page_write_field(const PageCalculator* page, int index) {
    return static_cast<int>(page->writes()[static_cast<std::size_t>(index)].field);
}

const std::u16string* quorvel_page_write_text(const PageCalculator* page, int index) {
    return &page->writes()[static_cast<std::size_t>(index)].text;
}

// The run's report; nothing after a run that finished.
const std::u16string* quorvel_page_report(const PageCalculator* page) {
    return page->report() ? &*page->report() : nullptr;
}

// The word field's tooltip after the run; empty for none.
const std::u16string* quorvel_page_tip(const PageCalculator* page, int field) {
    const std::optional<Field> word = FieldAt(field);
    if (!word) return nullptr;
    return &page->Tip(*word);
}

// The word field's figures after the run, as its figures dialog shows
// them; empty for none.
const std::u16string* quorvel_page_figures(const PageCalculator* page, int field) {
    const std::optional<Field> word = FieldAt(field);
    if (!word) return nullptr;
    return &page->Figures(*word);
}

// The field's accessible description after the run.
const std::u16string* quorvel_page_description(const PageCalculator* page, int field) {
    const std::optional<Field> any = FieldAt(field);
    if (!any) return nullptr;
    return &page->Description(*any);
}

// The hex word field's word as a C constant after the run; nothing for none.
const std::u16string* quorvel_page_c_constant(const PageCalculator* page, int field) {
    const std::optional<Field> word = FieldAt(field);
    if (!word || page->Constant(*word).empty()) return nullptr;
    return &page->Constant(*word);
}

// A scratch text for the calls below.
std::u16string* quorvel_page_scratch(PageCalculator* page) { return &page->scratch(); }

// The hex word in the scratch text as a plain literal, put back into the
// scratch text; nothing when the text is no hex word.
const std::u16string* quorvel_page_plain_literal(PageCalculator* page) {
    try {
        std::optional<std::u16string> literal = quorvel::PlainHexLiteral(page->scratch());
        if (!literal) return nullptr;
        page->scratch() = std::move(*literal);
        return &page->scratch();
    } catch (...) {
        return nullptr;
    }
}

// The spectrum panel of a word field after the run, for a phase width
// (0: all bits), a highest harmonic and a dark (1) or light (0) ground:
// its parts then read with quorvel_page_spectrum_part (0 heading, 1 figures,
// 2 SVG, 3 text alternative). 1 when the run reached the word; 0 when it did
// not (the figures say so) or memory ran out (the parts are empty).
int quorvel_page_spectrum(PageCalculator* page, int field, int phase_bits, int harmonics, int dark) {
    const std::optional<Field> word = FieldAt(field);
    if (!word) return 0;
    try {
        return page->Spectrum(*word, phase_bits, harmonics,
                              dark != 0 ? quorvel::SvgTheme::kDark : quorvel::SvgTheme::kLight)
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

const std::u16string* quorvel_page_spectrum_part(const PageCalculator* page, int part) {
    if (part < 0 || part >= static_cast<int>(PageCalculator::SpectrumPart::kCount)) return nullptr;
    return &page->SpectrumText(static_cast<PageCalculator::SpectrumPart>(part));
}

}  // extern "C"
