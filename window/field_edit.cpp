#include "window/field_edit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quorvel {
namespace {

// A line edit keeps its text this many pixels inside its contents on either
// side, and needs one more at the end for the cursor.
constexpr int kTextInset = 2;
constexpr int kCursorWidth = 1;

// The narrowest cut of a face an output is drawn in, in percent of its
// width: about that of the narrow cuts families ship (Arial Narrow is 82%),
// where digits still read at a glance. A 15-character decimal word (a
// 48-bit word and its blank) needs 86% in a word field; the hex words of up
// to 48 bits fit at full width, a 16-digit decimal word at 81%.
constexpr int kNarrowestStretch = 80;
constexpr int kFullStretch = 100;

// No text longer than this fits any field at any cut, so it is not measured.
constexpr qsizetype kLongestFittingText = 64;

// The cue at a cut edge: a fade of this width into the field's ground and a
// small arrowhead pointing past the edge.
constexpr int kCueFade = 8;
constexpr qreal kArrowWidth = 3.5;
constexpr qreal kArrowHalfHeight = 3.5;
constexpr qreal kArrowInset = 1.5;

// Where the whole text lies less the blanks around it: the number of an
// output, " 100.00004" -> from 1, 9 long. A line edit's text is never longer
// than an int counts.
std::pair<int, int> TrimmedSpan(const QString& text) {
    int start = 0;
    int end = static_cast<int>(std::min<qsizetype>(text.size(), std::numeric_limits<int>::max()));
    while (start < end && text[start].isSpace()) ++start;
    while (end > start && text[end - 1].isSpace()) --end;
    return {start, end - start};
}

// A font at its full width: a narrowed cut (stretch 86) -> unstretched; one
// that names no stretch is left as it is, so that it stays equal to the
// font the field was given and giving it back changes nothing.
QFont FullWidth(QFont font) {
    if (font.stretch() != QFont::AnyStretch) font.setStretch(QFont::Unstretched);
    return font;
}

}  // namespace

FieldEdit::FieldEdit(const QString& text, Kind kind, QWidget* parent)
    : QLineEdit(text, parent), kind_(kind), face_(FullWidth(font())) {
    connect(this, &QLineEdit::textChanged, this, &FieldEdit::Text_Change);
    FitText();
}

// The start of the text comes back into view, as when the program writes
// it; a menu opened on the field or another window taking the focus keep
// the selection, as a line edit does.
void FieldEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) {
        setCursorPosition(0);
    }
}

// An output holds one number or word: a double-click selects all of it, not
// the fragment between two dots or blanks, and not the blank in front.
void FieldEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (kind_ == Kind::kOutput && event->button() == Qt::LeftButton) {
        const auto [start, length] = TrimmedSpan(text());
        setSelection(start, length);
        event->accept();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

void FieldEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    // A font set from outside is the field's face, at its full width even
    // when it was taken from a narrowed output's font().
    if (event->type() == QEvent::FontChange && !fitting_) {
        face_ = FullWidth(font());
        FitText();
    }
}

void FieldEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    FitText();
}

void FieldEdit::Text_Change() { FitText(); }

// An output that would not fit at its face is drawn in the widest cut of
// that face, down to kNarrowestStretch, that fits it whole, cursor
// included; one that fits in none keeps the face and shows the cut cue.
// An empty field (every output at start) fits at its face unmeasured.
void FieldEdit::FitText() {
    if (kind_ != Kind::kOutput) return;
    const QString shown = displayText();
    const QFont fitted = shown.isEmpty() || shown.size() > kLongestFittingText ? face_ : FittingCut(shown);
    if (fitted == font()) return;
    fitting_ = true;
    setFont(fitted);
    fitting_ = false;
}

// The widest cut of the face, down to kNarrowestStretch, that fits the text
// whole, cursor included; the face itself when it fits or none does.
QFont FieldEdit::FittingCut(const QString& shown) const {
    const qreal room = TextLane().width() - kCursorWidth;
    const qreal natural = QFontMetricsF(face_, this).horizontalAdvance(shown);
    if (natural <= room || natural <= 0) return face_;
    // Widths scale with the stretch all but for rounding: start at the
    // estimate and step down while the text still runs over.
    QFont fitted = face_;
    for (int stretch = std::min(kFullStretch - 1, static_cast<int>(std::floor(kFullStretch * room / natural)));
         stretch >= kNarrowestStretch; --stretch) {
        fitted.setStretch(stretch);
        if (QFontMetricsF(fitted, this).horizontalAdvance(shown) <= room) return fitted;
    }
    return face_;
}

// Where the line edit draws its text when it is not scrolled.
QRect FieldEdit::TextLane() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents =
        style()->subElementRect(QStyle::SE_LineEditContents, &option, this).marginsRemoved(textMargins());
    return contents.adjusted(kTextInset, 0, -kTextInset, 0);
}

// The line edit keeps its scroll to itself; where it put the text shows in
// the position it finds at a point. A first character at least half a
// character left of the lane's edge sits left of that edge: the point half a
// character in (less a pixel) then lies nearer the second position.
bool FieldEdit::CutAtLeft() {
    const QString shown = displayText();
    if (shown.isEmpty()) return false;
    const QRect lane = TextLane();
    const qreal half = QFontMetricsF(font(), this).horizontalAdvance(shown.left(1)) / 2;
    const int probe = static_cast<int>(std::floor(lane.left() + half)) - 1;
    return cursorPositionAt(QPoint(probe, lane.center().y())) > 0;
}

bool FieldEdit::CutAtRight() {
    const QString shown = displayText();
    if (shown.isEmpty()) return false;
    const QRect lane = TextLane();
    const qreal half = QFontMetricsF(font(), this).horizontalAdvance(shown.right(1)) / 2;
    const int probe = static_cast<int>(std::ceil(lane.left() + lane.width() - half)) + 1;
    return cursorPositionAt(QPoint(probe, lane.center().y())) < shown.size();
}

void FieldEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    const bool left = CutAtLeft();
    const bool right = CutAtRight();
    if (!left && !right) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (left) DrawCutCue(painter, false);
    if (right) DrawCutCue(painter, true);
}

// The text fades into the field's ground towards the edge, where an
// arrowhead in the text's colour points at what is out of sight.
void FieldEdit::DrawCutCue(QPainter& painter, bool at_right) const {
    const QRect lane = TextLane().adjusted(-kTextInset, 0, kTextInset, 0);
    const QColor ground = palette().color(QPalette::Base);
    QColor clear = ground;
    clear.setAlpha(0);
    const qreal edge = at_right ? lane.left() + lane.width() : lane.left();
    const qreal inner = at_right ? edge - kCueFade : edge + kCueFade;
    QLinearGradient fade(inner, 0, edge, 0);
    fade.setColorAt(0, clear);
    fade.setColorAt(1, ground);
    painter.fillRect(QRectF(std::min(inner, edge), lane.top(), kCueFade, lane.height()), fade);

    const qreal tip = at_right ? edge - kArrowInset : edge + kArrowInset;
    const qreal base = at_right ? tip - kArrowWidth : tip + kArrowWidth;
    const qreal middle = lane.top() + lane.height() / 2.0;
    QPainterPath arrow;
    arrow.moveTo(tip, middle);
    arrow.lineTo(base, middle - kArrowHalfHeight);
    arrow.lineTo(base, middle + kArrowHalfHeight);
    arrow.closeSubpath();
    painter.fillPath(arrow, palette().color(QPalette::Text));
}

}  // namespace quorvel
