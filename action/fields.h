#pragma once
// The named text fields of the calculator and the set-text / get-text access
// the Calculate action works through. The window implements FieldAccess on
// its controls; FieldTexts is a plain set of fields for everything else.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

enum class Field : std::size_t {
    // inputs
    kBitSize,
    kFclock,
    kFwanted,
    kFerror,
    // outputs
    kResol,
    kNideal,
    kNhex,
    kActualClock,
    kNewN,
    kNewNhex,
};

inline constexpr std::size_t kFieldCount = 10;

// Every field, inputs first, in the order above.
inline constexpr std::array<Field, kFieldCount> kAllFields = {
    Field::kBitSize, Field::kFclock, Field::kFwanted,     Field::kFerror, Field::kResol,
    Field::kNideal,  Field::kNhex,   Field::kActualClock, Field::kNewN,   Field::kNewNhex,
};

// The four inputs, in the order above.
inline constexpr std::array<Field, 4> kInputFields = {
    Field::kBitSize, Field::kFclock, Field::kFwanted, Field::kFerror,
};

// The six outputs, in the order the Calculate action writes them.
inline constexpr std::array<Field, 6> kOutputFields = {
    Field::kResol, Field::kNideal, Field::kNhex, Field::kActualClock, Field::kNewN, Field::kNewNhex,
};

// The control's name: "BitSize", "Fclock", ...
std::string_view FieldName(Field field) noexcept;

// The field of that control name, or nothing: "Fclock" -> kFclock, "fclock" -> nothing.
std::optional<Field> FieldNamed(std::string_view name) noexcept;

// The caption of the label in the field's row, exactly as the window shows it
// ("Clock    MHz"); the hex fields share the row of their decimal word.
std::u16string_view RowCaption(Field field) noexcept;

// The text each field holds when the window opens.
std::u16string_view InitialText(Field field) noexcept;

class FieldAccess {
public:
    virtual ~FieldAccess() = default;
    virtual std::u16string Text(Field field) const = 0;
    // Setting the text of an input field runs its change reaction before
    // SetText returns.
    virtual void SetText(Field field, std::u16string_view text) = 0;
};

// A plain set of fields holding the window's initial texts.
class FieldTexts final : public FieldAccess {
public:
    FieldTexts();
    std::u16string Text(Field field) const override;
    void SetText(Field field, std::u16string_view text) override;

    const std::u16string& operator[](Field field) const { return texts_[Index(field)]; }

private:
    static std::size_t Index(Field field) { return static_cast<std::size_t>(field); }
    std::array<std::u16string, kFieldCount> texts_;
};

}  // namespace quorvel
