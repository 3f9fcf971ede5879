#pragma once
// The window's layout as data: where each control stands, what it shows at
// start, its colours, the face it writes in and the order Tab visits the
// controls. Every front end draws the window from these tables, so a place,
// caption or colour lives here and nowhere else.

#include <array>
#include <cstdint>
#include <string_view>

#include "action/fields.h"

namespace quorvel::layout {

// Places and sizes are stated in twips, 15 to a pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, halves rounded up: 2160 twips are 144 pixels, 255
// twips 17.
constexpr int Pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr TwipRect kClientArea = {0, 0, 5415, 4995};
inline constexpr std::u16string_view kWindowCaption = u"Quorvel";

// Colours are 0x00BBGGRR: red is the low byte, blue the third.
inline constexpr std::uint32_t kLightPink = 0x00FFC0FF;
inline constexpr std::uint32_t kWhite = 0x00FFFFFF;
inline constexpr std::uint32_t kBlue = 0x00FF0000;
inline constexpr std::uint32_t kGreen = 0x00008000;

// The light system colours the window's own colours were chosen against:
// window and buttons (239, 239, 239), black text, white fields.
inline constexpr std::uint32_t kSystemGrey = 0x00EFEFEF;
inline constexpr std::uint32_t kBlack = 0x00000000;
inline constexpr std::uint32_t kDisabledText = 0x00BEBEBE;
// A highlight (38, 112, 158) dark enough that white selected text on it
// reads at 5.4:1.
inline constexpr std::uint32_t kHighlight = 0x009E7026;

// The window's face, then the faces drawn to its widths (Arial's metrics,
// which every caption is laid out to fit), in the order they are tried. A
// wider face such as DejaVu Sans cuts captions, so it only serves when none
// of these is installed.
inline constexpr std::array<std::u16string_view, 8> kWindowFamilies = {
    u"MS Sans Serif", u"Liberation Sans", u"Arimo",     u"Nimbus Sans",
    u"Nimbus Sans L", u"Arial",           u"Helvetica", u"TeX Gyre Heros",
};
inline constexpr std::u16string_view kGenericFamily = u"sans-serif";
inline constexpr double kWindowPoints = 8.25;
inline constexpr double kHeadingPoints = 9.75;

// A caption that wraps sets its lines at the spacing of the faces the window
// is laid out for (Arial's metrics: the baseline 0.905 em below the top,
// lines 1.149 em apart); some faces with those widths carry a taller line
// spacing (Nimbus Sans: 1.57 em) that would push the second line out.
inline constexpr double kWrappedAscentEm = 0.905;
inline constexpr double kWrappedLineEm = 1.149;

// How a text field looks at start.
enum class Look {
    kInput,   // pink until first edited
    kOutput,  // white
    kHex,     // white, bold blue text
    kSystem,  // the system's colours
};

struct TextFieldControl {
    Field field;
    TwipRect place;
    Look look;
};

inline constexpr std::array<TextFieldControl, 9> kTextFields = {{
    {Field::kFclock, {2160, 480, 1815, 320}, Look::kInput},
    {Field::kFwanted, {2160, 840, 1815, 320}, Look::kInput},
    {Field::kNideal, {2160, 1200, 1335, 320}, Look::kOutput},
    {Field::kNhex, {3480, 1200, 1815, 320}, Look::kHex},
    {Field::kResol, {2160, 1560, 2055, 285}, Look::kSystem},
    {Field::kFerror, {2160, 2520, 1815, 320}, Look::kInput},
    {Field::kActualClock, {2160, 2880, 1815, 320}, Look::kOutput},
    {Field::kNewN, {2160, 3240, 1335, 320}, Look::kOutput},
    {Field::kNewNhex, {3480, 3240, 1815, 320}, Look::kHex},
}};

// The bit-size box: editable, white, with its list.
inline constexpr TwipRect kBitSizePlace = {2160, 120, 855, 315};
inline constexpr std::array<std::u16string_view, 2> kBitSizeList = {u"32", u"48"};

// The Calculate button, hidden until the clock or the wanted frequency changes.
inline constexpr std::string_view kGoName = "Go";
inline constexpr TwipRect kGoPlace = {1200, 4320, 2775, 495};
inline constexpr std::u16string_view kGoCaption = u"Calculate";

// The hex fields' own context-menu entry, which copies the word as a plain
// literal ("0x40000000").
inline constexpr std::u16string_view kCopyLiteralCaption = u"Copy as Plain Literal";
// And the one that copies it as a C constant with what it gives (HexFieldConstant).
inline constexpr std::u16string_view kCopyConstantCaption = u"Copy as C Constant";

// The word fields' entry that opens a word's figures as text to read and
// copy, the title of what shows them, its button that copies them (the
// letter after "&" is its access key), and what it says when the last run
// did not reach the word.
inline constexpr std::u16string_view kShowFiguresCaption = u"Show Figures...";
inline constexpr std::u16string_view kFiguresTitle = u"Word Figures";
inline constexpr std::u16string_view kCopyAllCaption = u"&Copy All";
inline constexpr std::u16string_view kCloseCaption = u"Close";
inline constexpr std::u16string_view kNoFigures = u"The last calculation did not reach this word.";
// The word fields' entry that opens the word's spectrum.
inline constexpr std::u16string_view kShowSpectrumCaption = u"Spectrum...";

// The right-aligned label in front of each row; its caption is the row's
// (RowCaption).
struct RowLabelControl {
    std::string_view name;
    Field row;
    TwipRect place;
    bool wraps;
};

inline constexpr std::array<RowLabelControl, 8> kRowLabels = {{
    {"Label8", Field::kBitSize, {480, 120, 1575, 255}, false},
    {"Label1", Field::kFclock, {1080, 480, 975, 255}, false},
    {"Label2", Field::kFwanted, {120, 840, 1935, 255}, false},
    {"Label5", Field::kNideal, {1200, 1200, 855, 255}, false},
    {"Label10", Field::kResol, {840, 1560, 1215, 255}, false},
    {"Label3", Field::kFerror, {600, 2520, 1455, 255}, false},
    {"Label4", Field::kActualClock, {600, 2880, 1455, 255}, false},
    {"Label7", Field::kNewN, {360, 3240, 1575, 375}, true},
}};

// The centred green heading of the correction section, at kHeadingPoints.
inline constexpr std::string_view kHeadingName = "Label9";
inline constexpr TwipRect kHeadingPlace = {120, 2160, 5175, 255};
inline constexpr std::u16string_view kHeadingCaption = u"Calculate new N given measured Frequency Error";

// Tab visits the fields in this order, the Calculate button (while shown)
// right after kLastFieldBeforeGo. The clock has the focus when the window
// opens.
inline constexpr std::array<Field, 10> kFocusOrder = {
    Field::kFclock, Field::kFwanted, Field::kFerror,  Field::kActualClock, Field::kNideal,
    Field::kNhex,   Field::kNewN,    Field::kNewNhex, Field::kBitSize,     Field::kResol,
};
inline constexpr Field kLastFieldBeforeGo = Field::kNewNhex;
inline constexpr Field kInitialFocus = Field::kFclock;

}  // namespace quorvel::layout
