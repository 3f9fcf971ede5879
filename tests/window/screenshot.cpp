// Renders the calculator window after one calculation into a PNG file, for
// the README: quorvel-screenshot OUTPUT.png
// Fills the fields and presses Calculate through the controls, as a user
// would, so the picture shows the window exactly as the program draws it.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>

#include "window/form1.h"

namespace {

// A 10.7 MHz output of a 100 MHz clock whose output measured 12.5 Hz high.
constexpr auto kWanted = "10.7";
constexpr auto kError = "12.5";

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        err << "usage: quorvel-screenshot OUTPUT.png\n";
        return 2;
    }

    quorvel::Form1 window;
    window.show();
    window.findChild<QLineEdit*>("Fwanted")->setText(kWanted);
    window.findChild<QLineEdit*>("Ferror")->setText(kError);
    window.findChild<QPushButton*>("Go")->click();
    // The focus goes back to the clock, where it is when the window opens.
    window.findChild<QLineEdit*>("Fclock")->setFocus();

    int status = 0;
    QTimer::singleShot(200, &window, [&] {
        if (!window.grab().save(arguments[1], "PNG")) {
            err << "quorvel-screenshot: cannot write " << arguments[1] << '\n';
            status = 1;
        }
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
