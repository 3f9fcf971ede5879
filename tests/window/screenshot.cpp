// Renders the calculator window after one calculation into a PNG file, for
// the README: quorvel-screenshot OUTPUT.png
// Fills the fields and presses Calculate through the controls, as a user
// would, so the picture shows the window exactly as the program draws it.
// Fails at once, with the report's text, if the calculation stops, and fails
// if a field does not hold its expected text or the picture lacks the
// window's colours.

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <array>
#include <cstdlib>
#include <memory>
#include <utility>

#include "window/error_reporter.h"
#include "window/form1.h"

namespace {

// A 10.7 MHz output of a 100 MHz clock whose output measured 12.5 Hz high.
constexpr auto kWanted = "10.7";
constexpr auto kError = "12.5";

// The outputs, worked out with Python's fractions: N = floor(0.107 * 2^32
// + 0.5), the actual clock (10.7e6 + 12.5) * 2^32 / N, N2 from that clock.
constexpr std::array<std::pair<const char*, const char*>, 6> kExpected = {{
    {"Resol", " .023283064365387"},
    {"Nideal", " 459561501"},
    {"Nhex", "0x 1B64 5A1D"},
    {"ActualClock", " 100.000116751057"},
    {"NewN", " 459560964"},
    {"NewNhex", "0x 1B64 5804"},
}};

// Colours the picture must show: the clock field, never edited, is pink; the
// hex words are blue.
const QRgb kPink = qRgb(255, 192, 255);
const QRgb kBlue = qRgb(0, 0, 255);

// Nobody is there to close a message box: a report ends the run.
class FailFast final : public quorvel::ErrorReporter {
public:
    void Report(QWidget*, const QString& text) override {
        QTextStream(stderr) << "quorvel-screenshot: the calculation failed:\n" << text << '\n';
        std::exit(1);
    }
};

bool Shows(const QImage& picture, QRgb colour) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) == colour) return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        err << "usage: quorvel-screenshot OUTPUT.png\n";
        return 2;
    }

    quorvel::Form1 window(std::make_unique<FailFast>());
    window.show();
    window.findChild<QLineEdit*>("Fwanted")->setText(kWanted);
    window.findChild<QLineEdit*>("Ferror")->setText(kError);
    window.findChild<QPushButton*>("Go")->click();
    // The focus goes back to the clock, where it is when the window opens.
    window.findChild<QLineEdit*>("Fclock")->setFocus();

    int status = 0;
    for (const auto& [name, text] : kExpected) {
        const QString shown = window.findChild<QLineEdit*>(name)->text();
        if (shown != QLatin1String(text)) {
            err << "quorvel-screenshot: " << name << " holds \"" << shown << "\", not \"" << text << "\"\n";
            status = 1;
        }
    }

    QTimer::singleShot(200, &window, [&] {
        const QImage picture = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (QRgb colour : {kPink, kBlue}) {
            if (!Shows(picture, colour)) {
                err << "quorvel-screenshot: the picture lacks the colour #" << QString::number(colour & 0xFFFFFF, 16)
                    << '\n';
                status = 1;
            }
        }
        if (!picture.save(arguments[1], "PNG")) {
            err << "quorvel-screenshot: cannot write " << arguments[1] << '\n';
            status = 1;
        }
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
