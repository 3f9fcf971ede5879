#pragma once
// A set of fields as the Calculate action sees them, with a note of every
// set-text in the order it happened. The window uses it to tell the outputs a
// failed run reached from those it did not; tests and fuzz targets use it to
// check the order of the writes.

#include <string>
#include <string_view>
#include <vector>

#include "action/fields.h"

namespace quorvel {

class FieldWriteLog final : public FieldAccess {
public:
    struct Write {
        Field field;
        std::u16string text;
        friend bool operator==(const Write&, const Write&) = default;
    };

    explicit FieldWriteLog(FieldAccess& fields) : fields_(fields) {}

    std::u16string Text(Field field) const override { return fields_.Text(field); }
    void SetText(Field field, std::u16string_view text) override {
        fields_.SetText(field, text);
        writes_.push_back({field, std::u16string(text)});
    }

    const std::vector<Write>& writes() const { return writes_; }
    bool Written(Field field) const {
        for (const Write& write : writes_) {
            if (write.field == field) return true;
        }
        return false;
    }

private:
    FieldAccess& fields_;
    std::vector<Write> writes_;
};

}  // namespace quorvel
