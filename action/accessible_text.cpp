#include "action/accessible_text.h"

#include <array>

#include "action/layout.h"

namespace quorvel {
namespace {

constexpr std::u16string_view kHexSuffix = u", hexadecimal";
constexpr std::u16string_view kResultPrefix = u"result: ";
constexpr std::u16string_view kStepJoint = u"; part of ";
constexpr char16_t kFiguresJoint = u'\n';

// Which half of the window a field belongs to: the tuning above the
// heading, the correction below it.
enum class Step { kTuning, kCorrection };

struct Purpose {
    bool result;
    Step step;
    std::u16string_view text;
};

// Indexed by Field.
constexpr std::array<Purpose, kFieldCount> kPurposes = {{
    {false, Step::kTuning, u"accumulator width in bits: pick 32 or 48, or type any width"},
    {false, Step::kTuning, u"reference clock, in MHz"},
    {false, Step::kTuning, u"wanted output frequency, in MHz"},
    {false, Step::kCorrection, u"measured output minus wanted frequency with the ideal word loaded, in Hz"},
    {true, Step::kTuning, u"output frequency per tuning-word step, in Hz"},
    {true, Step::kTuning, u"ideal tuning word, decimal"},
    {true, Step::kTuning, u"ideal tuning word, hexadecimal"},
    {true, Step::kCorrection, u"clock inferred from the measured error, in MHz"},
    {true, Step::kCorrection, u"corrected tuning word for the actual clock, decimal"},
    {true, Step::kCorrection, u"corrected tuning word for the actual clock, hexadecimal"},
}};

bool IsBlank(char16_t unit) { return unit == u' '; }

}  // namespace

std::u16string SpokenCaption(std::u16string_view caption) {
    std::u16string spoken;
    bool blank_pending = false;
    for (char16_t unit : caption) {
        if (IsBlank(unit)) {
            blank_pending = !spoken.empty();
            continue;
        }
        if (blank_pending) spoken += u' ';
        blank_pending = false;
        spoken += unit;
    }
    return spoken;
}

std::u16string AccessibleName(Field field) {
    std::u16string name = SpokenCaption(RowCaption(field));
    if (field == Field::kNhex || field == Field::kNewNhex) name += kHexSuffix;
    return name;
}

std::u16string AccessibleDescription(Field field, std::u16string_view figures) {
    const Purpose& purpose = kPurposes[static_cast<std::size_t>(field)];
    std::u16string description;
    if (purpose.result) description += kResultPrefix;
    description += purpose.text;
    if (purpose.step == Step::kCorrection) {
        description += kStepJoint;
        description += layout::kHeadingCaption;
    }
    if (!figures.empty()) {
        description += kFiguresJoint;
        description += figures;
    }
    return description;
}

}  // namespace quorvel
