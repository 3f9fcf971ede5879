#pragma once
// How the window shows itself to assistive technology (screen readers,
// Braille displays): the names and descriptions of action/accessible_text.h
// put on the controls, and the two accessible interfaces Qt's own do not
// give this window.

#include "action/fields.h"

class QWidget;

namespace quorvel {

// Lets Qt expose the calculator window as a window (a frame, named by its
// title; a plain widget would be a filler) and its bit-size box named by its
// caption (Qt names an editable box by its current text on Linux). Installing
// again changes nothing; do it before the window exists, since Qt keeps the
// first interface it made for a control.
void InstallAccessibleInterfaces();

// Puts the field's accessible name and description on its control; a combo
// box's editable text and list take the same.
void SetAccessibleTexts(QWidget* control, Field field);

}  // namespace quorvel
