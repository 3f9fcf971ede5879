#pragma once
// What assistive technology is told about the window's controls: names
// without the blanks that align the captions on screen, and short
// descriptions of what each field holds. Every front end gives its controls
// these texts; the captions on screen stay as they are.

#include <string>
#include <string_view>

#include "action/fields.h"

namespace quorvel {

// A caption as a screen reader or a Braille display should get it: each run
// of blanks made one, none at either end.
//   SpokenCaption("Clock    MHz") -> "Clock MHz"
//   SpokenCaption("Wanted Frequency   MHz ") -> "Wanted Frequency MHz"
std::u16string SpokenCaption(std::u16string_view caption);

// The field's accessible name: its row's caption as spoken; the hex fields,
// which share the row of their decimal word, add ", hexadecimal". The
// bit-size box's editable text and its list carry the box's name.
//   AccessibleName(kFclock) -> "Clock MHz"
//   AccessibleName(kNhex) -> "Wanted N, hexadecimal"
std::u16string AccessibleName(Field field);

// The field's accessible description: what it holds and in what unit; an
// output starts with "result: ", since the user may type into outputs as
// into inputs; the fields of the correction step end with its heading. The
// figures of a word field's last run, when given, follow on the next lines.
//   AccessibleDescription(kNideal, "") -> "result: ideal tuning word, decimal"
std::u16string AccessibleDescription(Field field, std::u16string_view figures = {});

}  // namespace quorvel
