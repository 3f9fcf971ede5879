// Register layouts of any text: no crash and no hang; every error names a
// position within the text (or just past its end) and a reason, and every
// write's value fits its width.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/register_layout.h"
#include "core/utf16.h"
#include "fuzz/fuzz_support.h"

namespace {

using quorvel::fuzz::Require;

// A 28-bit word and a 5-bit phase word: the widths layouts are written for.
const quorvel::LayoutWords kWords{{"3333333", 28}, quorvel::LayoutWord{"16", 5}};

// Characters as the layout counts them: UTF-8 continuation bytes add none.
std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0U) != 0x80U ? 1 : 0;
    return count;
}

std::u16string Shown(std::string_view text) {
    std::u16string shown;
    for (char c : text) shown.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view layout(reinterpret_cast<const char*>(data), size);
    const auto result = quorvel::EvaluateLayout(layout, kWords);
    if (const auto* error = std::get_if<quorvel::LayoutError>(&result)) {
        Require(error->position >= 1 && error->position <= CharacterCount(layout) + 1,
                "an error's position lies outside the layout", Shown(layout));
        Require(!error->reason.empty(), "an error without a reason", Shown(layout));
        return 0;
    }
    const auto& writes = std::get<std::vector<quorvel::RegisterWrite>>(result);
    Require(!writes.empty(), "a layout without writes", Shown(layout));
    for (const quorvel::RegisterWrite& write : writes) {
        Require(write.width >= 1 && write.width <= quorvel::kMaxWriteBits, "a width outside 1..64", Shown(layout));
        Require(write.width == quorvel::kMaxWriteBits || (write.value >> write.width) == 0,
                "a write's value does not fit its width", Shown(layout));
    }
    return 0;
}
