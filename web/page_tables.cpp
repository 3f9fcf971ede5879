// Writes the window's layout as JSON for the page's build and its tests:
// every control with its place, texts and look, the faces, colours and
// focus order, all from the tables the Qt window is drawn from.
//   quorvel-page-tables > layout.json

#include <cstdint>
#include <fmt/format.h>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "action/accessible_text.h"
#include "action/fields.h"
#include "action/layout.h"
#include "core/utf16.h"

namespace {

using nlohmann::json;
using namespace quorvel;
using namespace quorvel::layout;

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }

json Place(const TwipRect& place) { return json::array({place.left, place.top, place.width, place.height}); }

// 0x00BBGGRR as a CSS colour, "#rrggbb".
std::string Css(std::uint32_t bgr) {
    const unsigned red = bgr & 0xFFU;
    const unsigned green = (bgr >> 8) & 0xFFU;
    const unsigned blue = (bgr >> 16) & 0xFFU;
    return fmt::format("#{:02x}{:02x}{:02x}", red, green, blue);
}

std::string LookName(Look look) {
    switch (look) {
        case Look::kInput: return "input";
        case Look::kOutput: return "output";
        case Look::kHex: return "hex";
        case Look::kSystem: return "system";
    }
    return "system";
}

json Layout() {
    json families = json::array();
    for (std::u16string_view family : kWindowFamilies) families.push_back(Utf8(family));

    json fields = json::array();
    for (Field field : kAllFields) fields.push_back(std::string(FieldName(field)));

    json controls = json::array();
    for (const RowLabelControl& label : kRowLabels) {
        controls.push_back({{"name", std::string(label.name)},
                            {"kind", "label"},
                            {"place", Place(label.place)},
                            {"caption", Utf8(RowCaption(label.row))},
                            {"for", std::string(FieldName(label.row))},
                            {"wraps", label.wraps}});
    }
    controls.push_back({{"name", std::string(kHeadingName)},
                        {"kind", "heading"},
                        {"place", Place(kHeadingPlace)},
                        {"caption", Utf8(kHeadingCaption)}});
    json list = json::array();
    for (std::u16string_view entry : kBitSizeList) list.push_back(Utf8(entry));
    controls.push_back({{"name", std::string(FieldName(Field::kBitSize))},
                        {"kind", "combo"},
                        {"place", Place(kBitSizePlace)},
                        {"text", Utf8(InitialText(Field::kBitSize))},
                        {"accessibleName", Utf8(AccessibleName(Field::kBitSize))},
                        {"description", Utf8(AccessibleDescription(Field::kBitSize))},
                        {"list", list}});
    for (const TextFieldControl& field : kTextFields) {
        controls.push_back({{"name", std::string(FieldName(field.field))},
                            {"kind", "text"},
                            {"place", Place(field.place)},
                            {"text", Utf8(InitialText(field.field))},
                            {"rowCaption", Utf8(RowCaption(field.field))},
                            {"accessibleName", Utf8(AccessibleName(field.field))},
                            {"description", Utf8(AccessibleDescription(field.field))},
                            {"look", LookName(field.look)}});
    }
    controls.push_back({{"name", std::string(kGoName)},
                        {"kind", "button"},
                        {"place", Place(kGoPlace)},
                        {"caption", Utf8(kGoCaption)}});

    json focus = json::array();
    for (Field field : kFocusOrder) {
        focus.push_back(std::string(FieldName(field)));
        if (field == kLastFieldBeforeGo) focus.push_back(std::string(kGoName));
    }

    return {
        {"caption", Utf8(kWindowCaption)},
        {"twipsPerPixel", kTwipsPerPixel},
        {"client", Place(kClientArea)},
        {"families", families},
        {"genericFamily", Utf8(kGenericFamily)},
        {"points", kWindowPoints},
        {"headingPoints", kHeadingPoints},
        {"wrappedAscentEm", kWrappedAscentEm},
        {"wrappedLineEm", kWrappedLineEm},
        {"colours",
         {{"pink", Css(kLightPink)},
          {"white", Css(kWhite)},
          {"blue", Css(kBlue)},
          {"green", Css(kGreen)},
          {"system", Css(kSystemGrey)},
          {"text", Css(kBlack)},
          {"disabledText", Css(kDisabledText)},
          {"highlight", Css(kHighlight)}}},
        // In the order of Field: the page numbers its fields the same way.
        {"fields", fields},
        {"inputCount", kInputFields.size()},
        {"controls", controls},
        {"focusOrder", focus},
        {"initialFocus", std::string(FieldName(kInitialFocus))},
        {"copyLiteralCaption", Utf8(kCopyLiteralCaption)},
        {"copyConstantCaption", Utf8(kCopyConstantCaption)},
        {"showFiguresCaption", Utf8(kShowFiguresCaption)},
        {"showSpectrumCaption", Utf8(kShowSpectrumCaption)},
        {"figuresTitle", Utf8(kFiguresTitle)},
        {"copyAllCaption", Utf8(kCopyAllCaption)},
        {"closeCaption", Utf8(kCloseCaption)},
        {"noFigures", Utf8(kNoFigures)},
    };
}

}  // namespace

int main() {
    std::cout << Layout().dump(1) << '\n';
    return std::cout ? 0 : 1;
}
