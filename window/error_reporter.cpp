#include "window/error_reporter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QScreen>
#include <QStringView>
#include <array>
#include <string>

#include "action/run_report.h"

namespace quorvel {
namespace {

constexpr QLatin1String kReportTitle("Quorvel");

}  // namespace

std::optional<QPoint> ReportPosition(const QRect& frame, const QMargins& decorations, const QSize& box,
                                     const QRect& screen) {
    const QSize outer = box.grownBy(decorations);
    // Top-left corners of the box's outer frame, in the order they are tried.
    const std::array<QPoint, 4> corners = {
        QPoint(frame.right() + 1, frame.top()),
        QPoint(frame.left(), frame.bottom() + 1),
        QPoint(frame.left() - outer.width(), frame.top()),
        QPoint(frame.left(), frame.top() - outer.height()),
    };
    for (const QPoint& corner : corners) {
        if (screen.contains(QRect(corner, outer))) return corner;
    }
    return std::nullopt;
}

void MessageBoxReporter::Report(QWidget* window, const QString& text) {
    QMessageBox box(QMessageBox::Critical, kReportTitle, text, QMessageBox::Ok, window);
    // A box is a window of its own and would take the desktop's font and
    // colours; it takes the calculator window's.
    box.setFont(window->font());
    box.setPalette(window->palette());
    // The box settles its size on a layout request; then it can be placed.
    QEvent settle(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(&box, &settle);
    const QRect frame = window->frameGeometry();
    const QMargins decorations(window->geometry().left() - frame.left(), window->geometry().top() - frame.top(),
                               frame.right() - window->geometry().right(),
                               frame.bottom() - window->geometry().bottom());
    if (const QScreen* screen = window->screen()) {
        if (auto corner = ReportPosition(frame, decorations, box.size(), screen->availableGeometry())) {
            // Before it is shown the box has no frame, so the window system
            // takes the point as the corner of its inside.
            box.move(*corner + QPoint(decorations.left(), decorations.top()));
        }
    }
    box.exec();
}

}  // namespace quorvel
