#pragma once
// "About Quorvel": the version, the licence, and where the figures come from.

class QWidget;

namespace quorvel {

// Opens the box over the window; returns once the user has closed it.
void ShowAbout(QWidget* window);

}  // namespace quorvel
