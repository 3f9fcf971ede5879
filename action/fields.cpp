#include "action/fields.h"

namespace quorvel {
namespace {

struct FieldInfo {
    std::string_view name;
    std::u16string_view row_caption;
    std::u16string_view initial_text;
};

// Captions keep their runs of blanks: they are the window's texts as shown.
constexpr std::array<FieldInfo, kFieldCount> kFieldInfo = {{
    {"BitSize", u"DDS Resolution, Bits", u"32"},
    {"Fclock", u"Clock    MHz", u"100"},
    {"Fwanted", u"Wanted Frequency   MHz ", u"25"},
    {"Ferror", u"Measured Error  Hz", u""},
    {"Resol", u"Resolution   Hz", u""},
    {"Nideal", u"Wanted N", u""},
    {"Nhex", u"Wanted N", u""},
    {"ActualClock", u"Actual Clock   MHz", u""},
    {"NewN", u"Modified N to achieve wanted Fout", u""},
    {"NewNhex", u"Modified N to achieve wanted Fout", u""},
}};

const FieldInfo& Info(Field field) { return kFieldInfo[static_cast<std::size_t>(field)]; }

}  // namespace

std::string_view FieldName(Field field) noexcept { return Info(field).name; }
std::optional<Field> FieldNamed(std::string_view name) noexcept {
    for (Field field : kAllFields) {
        if (FieldName(field) == name) return field;
    }
    return std::nullopt;
}

std::u16string_view RowCaption(Field field) noexcept { return Info(field).row_caption; }
std::u16string_view InitialText(Field field) noexcept { return Info(field).initial_text; }

FieldTexts::FieldTexts() {
    for (Field field : kAllFields) texts_[Index(field)] = InitialText(field);
}

std::u16string FieldTexts::Text(Field field) const { return texts_[Index(field)]; }

void FieldTexts::SetText(Field field, std::u16string_view text) { texts_[Index(field)] = text; }

}  // namespace quorvel
