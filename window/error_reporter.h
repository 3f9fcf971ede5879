#pragma once
// How the window tells the user that a calculation stopped. The window holds
// a reporter rather than opening a message box itself, so that the report can
// be replaced where nobody is there to close a box.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

#include "core/run_error.h"

class QWidget;

namespace quorvel {

// Where a report of the given size opens so that it leaves the window's
// fields in sight: beside the window on the right, else below it, else
// beside it on the left, else above it, the first of these that lies wholly
// on the screen; beside, it lines up with the window's top, below or above
// with its left edge. `frame` is the window with its decorations, and
// `decorations` what the window system adds around a box of that size.
// Nothing fits (a window that fills the screen): no place.
// On a 1024x768 screen, with a 200x100 box and no decorations:
//   window frame (0,0 400x300)   -> (400, 0)    beside
//   window frame (700,0 300x300) -> (700, 300)  below
std::optional<QPoint> ReportPosition(const QRect& frame, const QMargins& decorations, const QSize& box,
                                     const QRect& screen);

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // Returns once the user has closed the report.
    virtual void Report(QWidget* window, const QString& text) = 0;
};

// A modal message box titled "Quorvel" with a single OK button, in the
// window's font and colours, opened beside or below the window.
class MessageBoxReporter final : public ErrorReporter {
public:
    void Report(QWidget* window, const QString& text) override;
};

}  // namespace quorvel
