#pragma once
// The window's look: its face, its colours, the looks of its fields, the
// caption that wraps at the laid-out line spacing, and its icon. The window
// builds its controls and gives them these; what each looks like lives here.

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <cstdint>

#include "action/layout.h"

class QLineEdit;
class QWidget;

namespace quorvel {

// The face the whole application writes in, at the window's 8.25 pt: MS Sans
// Serif where the system has it, else the first installed face with its
// metrics (Liberation Sans, Arimo, Nimbus Sans, ...), else the system's
// generic sans-serif.
QFont WindowFont();

// The heading's face: the window's face at kHeadingPoints. From WindowFont(),
// 8.25 pt Liberation Sans -> 9.75 pt Liberation Sans.
QFont HeadingFont(QFont window_font);

// The light system colours the window's own colours were chosen against:
// black text on white fields and a (239, 239, 239) grey window, whatever
// theme the desktop uses. White selected text on its highlight reads at
// better than 4.5:1.
QPalette WindowPalette();

// Gives the whole application WindowFont() and WindowPalette(), so that what
// opens as a window of its own (the error report, the fields' menus) looks
// like the calculator window whatever the desktop's theme. Start-up calls it
// once, before the window is made.
void UseWindowLookThroughout();

// Sets one colour of a control, given as 0x00BBGGRR: kWhite on Base -> the
// field's ground white.
void SetColour(QWidget* control, QPalette::ColorRole role, std::uint32_t bgr);

// Gives a text field its look at start: kInput -> pink ground, kOutput ->
// white ground, kHex -> white ground and bold blue text, kSystem -> as it is.
void ApplyLook(QLineEdit* edit, layout::Look look);

// A caption that wraps onto more lines than one, its lines set at the
// spacing of the faces the window is laid out for (Arial's metrics: the
// baseline 0.905 em below the top, lines 1.149 em apart). Some faces with
// those widths carry a taller line spacing (Nimbus Sans: 1.57 em), which
// would push the second line out of its box.
class WrappedCaption final : public QLabel {
public:
    WrappedCaption(const QString& text, QWidget* parent) : QLabel(text, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The window's icon: at 16, 24 and 32 pixels the pictures drawn for those
// sizes, at 48, 64, 128 and 256 the scalable one. Drawing it takes longer
// than building the whole window, so the window asks for it once it has
// been drawn.
QIcon WindowIcon();

}  // namespace quorvel
