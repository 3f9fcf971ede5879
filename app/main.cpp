// Start-up: creates and shows the calculator window; the event loop does the rest.

#include <QApplication>

#include "window/form1.h"
#include "window/look.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_DISPLAY_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    // One face and one set of colours for everything the application shows:
    // the window, its error report, and the menus of its fields.
    quorvel::UseWindowLookThroughout();

    quorvel::Form1 window;
    window.show();
    return QApplication::exec();
}
