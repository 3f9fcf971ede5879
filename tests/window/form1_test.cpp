// The calculator window on Qt's offscreen platform, under a dark system
// palette: start state, colours, reactions, focus order, calculations from a
// click on Calculate, failures and their report, and labels that fit.
// Expected outputs come from the shared table of worked cases
// (tests/support/worked_cases.h); places in pixels and contrast ratios were
// worked out by hand.

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyleHints>
#include <QTextLayout>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/worked_cases.h"
#include "window/error_reporter.h"
#include "window/field_edit.h"
#include "window/form1.h"
#include "window/look.h"

using quorvel::CalculatorVariables;
using quorvel::ErrorReporter;
using quorvel::Field;
using quorvel::FieldAccess;
using quorvel::Form1;

namespace {

const QColor kPink(255, 192, 255);
const QColor kWhite(255, 255, 255);

using quorvel::test::WorkedCase;

QString ToQ(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList Names(const auto& fields) {
    QStringList names;
    for (Field field : fields) names << QString::fromLatin1(quorvel::FieldName(field));
    return names;
}

const QStringList kInputNames = Names(quorvel::kInputFields);
const QStringList kOutputNames = Names(quorvel::kOutputFields);

QStringList InputsOf(const WorkedCase& c) {
    QStringList inputs;
    for (std::u16string_view text : c.inputs) inputs << ToQ(text);
    return inputs;
}

// The outputs after the case's run, from what they showed before it.
QStringList OutputsAfter(const WorkedCase& c, QStringList outputs) {
    for (const auto& write : c.writes) {
        const auto at = kOutputNames.indexOf(QString::fromLatin1(quorvel::FieldName(write.field)));
        if (at >= 0) outputs[at] = ToQ(write.text);
    }
    return outputs;
}

// Fwanted after the case's run: its input, or the marker's write.
QString WantedAfter(const WorkedCase& c) {
    return ToQ(quorvel::test::FieldsAfter(c)[Field::kFwanted]);
}

// The report's text for each error, as the user reads it.
QString ExpectedReport(quorvel::ErrorKind kind) {
    switch (kind) {
        case quorvel::ErrorKind::kOverflow: return "Run-time error '6':\n\nOverflow";
        case quorvel::ErrorKind::kDivisionByZero: return "Run-time error '11':\n\nDivision by zero";
        case quorvel::ErrorKind::kTypeMismatch: return "Run-time error '13':\n\nType mismatch";
    }
    return {};
}

const WorkedCase& kInitialCase = quorvel::test::FindWorkedCase("InitialTexts");
const QStringList kInitialInputs = InputsOf(kInitialCase);
const QStringList kInitialOutputs = OutputsAfter(kInitialCase, QStringList(6, QString()));

// What the user saw when a report came up.
struct SeenReport {
    QString text;
    QStringList outputs;  // in the order of kOutputNames
    QString wanted;
};

// Stands in for the message box: notes the report and returns at once, as
// if the user had pressed OK.
class RecordingReporter final : public ErrorReporter {
public:
    explicit RecordingReporter(std::vector<SeenReport>& reports) : reports_(reports) {}

    void Report(QWidget* window, const QString& text) override {
        SeenReport seen{text, {}, {}};
        for (const QString& name : kOutputNames) seen.outputs << window->findChild<QLineEdit*>(name)->text();
        seen.wanted = window->findChild<QLineEdit*>("Fwanted")->text();
        reports_.push_back(seen);
    }

private:
    std::vector<SeenReport>& reports_;
};

QColor Background(const QWidget* control) { return control->palette().color(QPalette::Base); }

// A desktop with a dark theme: light text on dark grounds everywhere.
QPalette DarkSystemPalette() {
    QPalette dark(QColor(240, 240, 240), QColor(50, 50, 50), QColor(75, 75, 75), QColor(33, 33, 33),
                  QColor(38, 38, 38), QColor(240, 240, 240), Qt::white, QColor(36, 36, 36), QColor(50, 50, 50));
    dark.setColor(QPalette::Highlight, QColor(21, 83, 158));
    return dark;
}
// ... and its own face, larger than the window's 8.25 pt.
QFont DesktopFont() { return QFont("DejaVu Sans", 11); }

// Contrast ratio of two colours, from their relative luminance (sRGB).
double Luminance(const QColor& colour) {
    auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) + 0.0722 * linear(colour.blue());
}
double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Every label: caption exactly as shown, alignment, and lines it takes.
struct LabelRow {
    const char* name;
    const char* caption;
    Qt::Alignment alignment;
    int lines;
};
const std::array<LabelRow, 9> kLabels = {{
    {"Label8", "DDS Resolution, Bits", Qt::AlignRight, 1},
    {"Label1", "Clock    MHz", Qt::AlignRight, 1},
    {"Label2", "Wanted Frequency   MHz ", Qt::AlignRight, 1},
    {"Label5", "Wanted N", Qt::AlignRight, 1},
    {"Label10", "Resolution   Hz", Qt::AlignRight, 1},
    {"Label9", "Calculate new N given measured Frequency Error", Qt::AlignHCenter, 1},
    {"Label3", "Measured Error  Hz", Qt::AlignRight, 1},
    {"Label4", "Actual Clock   MHz", Qt::AlignRight, 1},
    {"Label7", "Modified N to achieve wanted Fout", Qt::AlignRight, 2},
}};

// Faces drawn to the window's widths, in the order the window should try them.
const QStringList kStandInFaces = {"Liberation Sans", "Arimo", "Nimbus Sans"};

// Calculations that fail other than by the rules: each writes the
// resolution, then throws.
template <typename Failure>
void Failing(FieldAccess& fields, CalculatorVariables&) {
    fields.SetText(Field::kResol, u" 1");
    throw Failure("failed");
}
void OutOfMemory(FieldAccess& fields, CalculatorVariables&) {
    fields.SetText(Field::kResol, u" 1");
    throw std::bad_alloc();
}
void ThrowsInt(FieldAccess& fields, CalculatorVariables&) {
    fields.SetText(Field::kResol, u" 1");
    throw 42;
}
const std::array<quorvel::Calculation, 4> kFailingCalculations = {
    &OutOfMemory, &Failing<std::length_error>, &Failing<std::runtime_error>, &ThrowsInt};

// Counts the paint events a control gets.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* control) { control->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

// Draws the label in the given font with room below its box, and returns
// where the caption's ink lies. Right-aligned and centred captions that are
// too wide run off the box's left edge and show ink in its first column.
QRect CaptionInk(QLabel* label, const QFont& font) {
    constexpr int kRoom = 40;
    const QFont before = label->font();
    const QSize box = label->size();
    label->setFont(font);
    label->resize(box.width(), box.height() + kRoom);
    QImage canvas(label->size(), QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    label->render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    label->resize(box);
    label->setFont(before);
    QRect ink;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(canvas.pixel(x, y)) != 0) ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

// How many columns of the image, within the given rectangle, carry ink:
// pixels well away from the ground (faint antialiased edges do not count).
int InkColumns(const QImage& image, const QColor& ground, const QRect& within) {
    constexpr int kInk = 96;
    QList<int> columns;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::max({std::abs(pixel.red() - ground.red()), std::abs(pixel.green() - ground.green()),
                          std::abs(pixel.blue() - ground.blue())}) >= kInk) columns << x;
        }
    }
    return columns.isEmpty() ? 0 : *std::max_element(columns.begin(), columns.end()) -
                                       *std::min_element(columns.begin(), columns.end()) + 1;
}

// The ink of the field's text as the field draws it, inside its frame.
int DrawnInk(QLineEdit* field) {
    const QImage image = field->grab().toImage();
    const int frame = static_cast<int>(std::ceil(2 * image.devicePixelRatio()));
    return InkColumns(image, field->palette().color(QPalette::Base), image.rect().adjusted(frame, frame, -frame, -frame));
}

// The ink of the text in the field's font and colour with nothing to cut it.
int WholeInk(QLineEdit* field) {
    const QFontMetricsF metrics(field->font());
    const qreal ratio = field->devicePixelRatioF();
    QImage image((QSizeF(metrics.horizontalAdvance(field->text()) + 20, field->height()) * ratio).toSize(),
                 QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(field->palette().color(QPalette::Base));
    QPainter painter(&image);
    painter.setFont(field->font());
    painter.setPen(field->palette().color(QPalette::Text));
    painter.drawText(QPointF(10, metrics.ascent() + 2), field->text());
    painter.end();
    return InkColumns(image, field->palette().color(QPalette::Base), image.rect());
}

// Rows of strong ink in each column of the image inside its frame, by
// column from left to right.
QMap<int, int> InkRowsByColumn(const QImage& image, const QColor& ground) {
    constexpr int kInk = 96;
    const int frame = static_cast<int>(std::ceil(2 * image.devicePixelRatio()));
    QMap<int, int> rows;
    for (int y = frame; y < image.height() - frame; ++y) {
        for (int x = frame; x < image.width() - frame; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::max({std::abs(pixel.red() - ground.red()), std::abs(pixel.green() - ground.green()),
                          std::abs(pixel.blue() - ground.blue())}) >= kInk) ++rows[x];
        }
    }
    return rows;
}

// What a control looks like where it stands: the colour most of its pixels
// inside its frame have, and of the rest the one farthest from it.
struct Drawn {
    QColor ground;
    QColor ink;
};
int Distance(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}
Drawn DrawnColours(const QImage& image) {
    const int frame = static_cast<int>(std::ceil(2 * image.devicePixelRatio()));
    QMap<QRgb, int> counts;
    for (int y = frame; y < image.height() - frame; ++y) {
        for (int x = frame; x < image.width() - frame; ++x) ++counts[image.pixel(x, y) | 0xFF000000U];
    }
    Drawn drawn;
    int most = 0;
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        if (it.value() > most) std::tie(most, drawn.ground) = std::pair(it.value(), QColor(it.key()));
    }
    drawn.ink = drawn.ground;
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        if (Distance(QColor(it.key()), drawn.ground) > Distance(drawn.ink, drawn.ground)) drawn.ink = QColor(it.key());
    }
    return drawn;
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

private:
    std::vector<SeenReport> reports_;
    std::unique_ptr<Form1> form_;

    QLineEdit* Edit(const QString& name) const { return form_->findChild<QLineEdit*>(name); }
    QComboBox* BitSize() const { return form_->findChild<QComboBox*>("BitSize"); }
    QPushButton* Go() const { return form_->findChild<QPushButton*>("Go"); }

    QString InputText(const QString& name) const {
        return name == "BitSize" ? BitSize()->currentText() : Edit(name)->text();
    }
    // A set-text by the program, as a paste would do it.
    void SetInput(const QString& name, const QString& text) {
        if (name == "BitSize") {
            BitSize()->setEditText(text);
        } else {
            Edit(name)->setText(text);
        }
    }
    QStringList Outputs() const {
        QStringList texts;
        for (const QString& name : kOutputNames) texts << Edit(name)->text();
        return texts;
    }
    // Types a digit into the clock and takes it out again: the button shows,
    // the clock's text is as before.
    void RevealGo() {
        QLineEdit* clock = Edit("Fclock");
        clock->setFocus();
        clock->end(false);
        QTest::keyClick(clock, Qt::Key_5);
        QTest::keyClick(clock, Qt::Key_Backspace);
        QVERIFY(Go()->isVisible());
    }
    void ClickGo() { QTest::mouseClick(Go(), Qt::LeftButton); }
    // A set-text by the program, as the Calculate action does it.
    void WriteField(const QString& name, const QString& text) {
        static_cast<FieldAccess&>(*form_).SetText(*quorvel::FieldNamed(name.toStdString()), text.toStdU16String());
    }

    void CalculateWith(const QStringList& inputs) {
        for (qsizetype i = 0; i < kInputNames.size(); ++i) {
            if (InputText(kInputNames[i]) != inputs[i]) SetInput(kInputNames[i], inputs[i]);
        }
        RevealGo();
        ClickGo();
    }

private slots:
    void initTestCase() {
        QApplication::setPalette(DarkSystemPalette());
        QApplication::setFont(DesktopFont());
    }

    void init() {
        reports_.clear();
        form_ = std::make_unique<Form1>(std::make_unique<RecordingReporter>(reports_));
        form_->show();
        // Without a window manager (a bare X server) nothing activates a new window.
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    void cleanup() {
        form_.reset();
        initTestCase();  // the desktop's look again, after a test that took the application's
    }

    void startsWithInitialTextsAndHighlights() {
        const QStringList inputs = {"32", "100", "25", ""};
        for (qsizetype i = 0; i < kInputNames.size(); ++i) QCOMPARE(InputText(kInputNames[i]), inputs[i]);
        QCOMPARE(Outputs(), QStringList(6, QString()));

        for (const char* name : {"Fclock", "Fwanted", "Ferror"}) QCOMPARE(Background(Edit(name)), kPink);
        for (const char* name : {"Nideal", "Nhex", "ActualClock", "NewN", "NewNhex"}) {
            QCOMPARE(Background(Edit(name)), kWhite);
        }
        QCOMPARE(Background(BitSize()), kWhite);
        QVERIFY(!Go()->isVisible());
        QCOMPARE(QApplication::focusWidget(), Edit("Fclock"));
        QCOMPARE(form_->windowTitle(), QString("Quorvel"));
        QCOMPARE(form_->size(), QSize(361, 333));
    }

    void bitSizeOffersItsListAndTakesAnyText() {
        QComboBox* box = BitSize();
        QVERIFY(box->isEditable());
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(0), QString("32"));
        QCOMPARE(box->itemText(1), QString("48"));
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, "4");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->currentText(), QString("4"));  // no completion to "48"
        QCOMPARE(box->count(), 2);                   // nothing added to the list
    }

    void hexFieldsAndHeadingHaveTheirFonts() {
        for (const char* name : {"Nhex", "NewNhex"}) {
            QVERIFY(Edit(name)->font().bold());
            QCOMPARE(Edit(name)->font().pointSizeF(), 8.25);
        }
        QVERIFY(!Edit("Nideal")->font().bold());
        QCOMPARE(Edit("Fclock")->font().pointSizeF(), 8.25);
        QCOMPARE(form_->findChild<QLabel*>("Label9")->font().pointSizeF(), 9.75);
    }

    // Under a dark system palette every text keeps its stated colour or the
    // light system colour, on its stated ground: black on pink 14.2:1, black
    // on white 21:1, blue on white 8.6:1, black on grey 18.3:1, white on the
    // highlight 5.4:1; the green heading on grey 4.47:1.
    void coloursHoldUnderADarkTheme_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");  // of the text; the ground is its pair
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("ground");
        QTest::addColumn<double>("least");
        const QColor black(0, 0, 0);
        const QColor grey(239, 239, 239);
        for (const char* name : {"Fclock", "Fwanted", "Ferror"}) {
            QTest::newRow(name) << name << int(QPalette::Text) << black << kPink << 4.5;
        }
        for (const char* name : {"Nideal", "ActualClock", "NewN", "Resol", "BitSize"}) {
            QTest::newRow(name) << name << int(QPalette::Text) << black << kWhite << 4.5;
        }
        for (const char* name : {"Nhex", "NewNhex"}) {
            QTest::newRow(name) << name << int(QPalette::Text) << QColor(0, 0, 255) << kWhite << 4.5;
        }
        for (const LabelRow& label : kLabels) {
            const bool heading = QByteArray(label.name) == "Label9";
            QTest::newRow(label.name) << label.name << int(QPalette::WindowText)
                                      << (heading ? QColor(0, 128, 0) : black) << grey << (heading ? 4.46 : 4.5);
        }
        QTest::newRow("Go") << "Go" << int(QPalette::ButtonText) << black << grey << 4.5;
        QTest::newRow("selection") << "Fclock" << int(QPalette::HighlightedText) << kWhite << QColor(38, 112, 158)
                                   << 4.5;
    }
    void coloursHoldUnderADarkTheme() {
        QFETCH(QString, name);
        QFETCH(int, role);
        QFETCH(QColor, text);
        QFETCH(QColor, ground);
        QFETCH(double, least);
        QWidget* control = form_->findChild<QWidget*>(name);
        QVERIFY(control != nullptr);
        const auto text_role = QPalette::ColorRole(role);
        const QPalette::ColorRole ground_role = text_role == QPalette::Text             ? QPalette::Base
                                                : text_role == QPalette::ButtonText      ? QPalette::Button
                                                : text_role == QPalette::HighlightedText ? QPalette::Highlight
                                                                                         : QPalette::Window;
        // Labels draw no ground of their own: the window's shows through.
        const QWidget* grounded = qobject_cast<QLabel*>(control) != nullptr ? form_.get() : control;
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            QCOMPARE(control->palette().color(group, text_role), text);
            QCOMPARE(grounded->palette().color(group, ground_role), ground);
        }
        QVERIFY2(Contrast(text, ground) >= least, qPrintable(QString::number(Contrast(text, ground))));
    }

    // Every control as drawn under the dark desktop: its ground, its text's
    // colour (the ink farthest from the ground, within a few steps of it:
    // edges are smoothed) and its face. Then the window's own colours turn
    // dark too: the grounds and text colours stated for a control hold, the
    // others follow the window.
    void everyControlDrawsItsGroundTextAndFace_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("ground");
        QTest::addColumn<QColor>("text");  // invalid: the control shows no text
        QTest::addColumn<bool>("statedGround");
        QTest::addColumn<bool>("statedText");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        const QColor black(0, 0, 0);
        const QColor grey(239, 239, 239);
        QTest::newRow("BitSize") << "BitSize" << kWhite << black << true << false << 8.25 << false;
        QTest::newRow("Fclock") << "Fclock" << kPink << black << true << false << 8.25 << false;
        QTest::newRow("Fwanted") << "Fwanted" << kPink << black << true << false << 8.25 << false;
        QTest::newRow("Ferror") << "Ferror" << kPink << QColor() << true << false << 8.25 << false;
        for (const char* name : {"Nideal", "ActualClock", "NewN"}) {
            QTest::newRow(name) << name << kWhite << black << true << false << 8.25 << false;
        }
        for (const char* name : {"Nhex", "NewNhex"}) {
            QTest::newRow(name) << name << kWhite << QColor(0, 0, 255) << true << true << 8.25 << true;
        }
        QTest::newRow("Resol") << "Resol" << kWhite << black << false << false << 8.25 << false;
        for (const LabelRow& label : kLabels) {
            const bool heading = QByteArray(label.name) == "Label9";
            QTest::newRow(label.name) << label.name << grey << (heading ? QColor(0, 128, 0) : black) << false
                                      << heading << (heading ? 9.75 : 8.25) << false;
        }
        QTest::newRow("Go") << "Go" << grey << black << false << false << 8.25 << false;
    }
    void everyControlDrawsItsGroundTextAndFace() {
        QFETCH(QString, name);
        QFETCH(QColor, ground);
        QFETCH(QColor, text);
        QFETCH(bool, statedGround);
        QFETCH(bool, statedText);
        QFETCH(double, points);
        QFETCH(bool, bold);
        constexpr int kSmoothing = 16;  // steps a drawn colour may be off
        QWidget* control = form_->findChild<QWidget*>(name);
        QVERIFY(control != nullptr);
        const bool label = qobject_cast<QLabel*>(control) != nullptr;
        if (kOutputNames.contains(name)) WriteField(name, "0x 4000 8888");
        // A label's ground is the window's, drawn behind it.
        auto drawn = [&] {
            return DrawnColours((label ? form_->grab(control->geometry()) : control->grab()).toImage());
        };
        const Drawn desktop = drawn();
        QVERIFY2(Distance(desktop.ground, ground) <= kSmoothing, qPrintable(desktop.ground.name()));
        if (text.isValid()) QVERIFY2(Distance(desktop.ink, text) <= kSmoothing * 4, qPrintable(desktop.ink.name()));
        QCOMPARE(QFontInfo(control->font()).family(), QFontInfo(form_->font()).family());
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().bold(), bold);

        form_->setPalette(DarkSystemPalette());
        const Drawn dark = drawn();
        if (statedGround) QVERIFY2(Distance(dark.ground, ground) <= kSmoothing, qPrintable(dark.ground.name()));
        if (statedText) QVERIFY2(Distance(dark.ink, text) <= kSmoothing * 4, qPrintable(dark.ink.name()));
    }

    void controlsKeepTheirPlacesWhenResized_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        // Twips of the layout divided by 15; 320 twips round to 21 pixels.
        QTest::newRow("Label8") << "Label8" << QRect(32, 8, 105, 17);
        QTest::newRow("BitSize") << "BitSize" << QRect(144, 8, 57, 21);
        QTest::newRow("Label1") << "Label1" << QRect(72, 32, 65, 17);
        QTest::newRow("Fclock") << "Fclock" << QRect(144, 32, 121, 21);
        QTest::newRow("Label2") << "Label2" << QRect(8, 56, 129, 17);
        QTest::newRow("Fwanted") << "Fwanted" << QRect(144, 56, 121, 21);
        QTest::newRow("Label5") << "Label5" << QRect(80, 80, 57, 17);
        QTest::newRow("Nideal") << "Nideal" << QRect(144, 80, 89, 21);
        QTest::newRow("Nhex") << "Nhex" << QRect(232, 80, 121, 21);
        QTest::newRow("Label10") << "Label10" << QRect(56, 104, 81, 17);
        QTest::newRow("Resol") << "Resol" << QRect(144, 104, 137, 19);
        QTest::newRow("Label9") << "Label9" << QRect(8, 144, 345, 17);
        QTest::newRow("Label3") << "Label3" << QRect(40, 168, 97, 17);
        QTest::newRow("Ferror") << "Ferror" << QRect(144, 168, 121, 21);
        QTest::newRow("Label4") << "Label4" << QRect(40, 192, 97, 17);
        QTest::newRow("ActualClock") << "ActualClock" << QRect(144, 192, 121, 21);
        QTest::newRow("Label7") << "Label7" << QRect(24, 216, 105, 25);
        QTest::newRow("NewN") << "NewN" << QRect(144, 216, 89, 21);
        QTest::newRow("NewNhex") << "NewNhex" << QRect(232, 216, 121, 21);
        QTest::newRow("Go") << "Go" << QRect(80, 288, 185, 33);
    }
    void controlsKeepTheirPlacesWhenResized() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QWidget* control = form_->findChild<QWidget*>(name);
        QVERIFY(control != nullptr);
        QCOMPARE(control->geometry(), place);
        form_->resize(700, 150);
        QCoreApplication::processEvents();
        QCOMPARE(control->geometry(), place);
    }

    // The reactions: which of the three highlighted inputs turn white and
    // whether the button shows, after one keystroke into one control.
    void typingReacts_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QStringList>("white");
        QTest::addColumn<bool>("goShown");
        QTest::newRow("clock") << "Fclock" << Qt::Key_7 << QStringList{"Fclock"} << true;
        QTest::newRow("wanted") << "Fwanted" << Qt::Key_7 << QStringList{"Fwanted"} << true;
        QTest::newRow("wanted, deleting") << "Fwanted" << Qt::Key_Backspace << QStringList{"Fwanted"} << true;
        QTest::newRow("error") << "Ferror" << Qt::Key_7 << QStringList{"Ferror"} << false;
        QTest::newRow("bit size") << "BitSize" << Qt::Key_7 << QStringList{} << false;
        QTest::newRow("output") << "Nideal" << Qt::Key_7 << QStringList{} << false;
    }
    void typingReacts() {
        QFETCH(QString, control);
        QFETCH(Qt::Key, key);
        QFETCH(QStringList, white);
        QFETCH(bool, goShown);
        QWidget* target = form_->findChild<QWidget*>(control);
        target->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        for (const char* name : {"Fclock", "Fwanted", "Ferror"}) {
            QCOMPARE(Background(Edit(name)), white.contains(name) ? kWhite : kPink);
        }
        QCOMPARE(Go()->isVisible(), goShown);
        for (const QString& name : kOutputNames) {
            if (name != control) QCOMPARE(Edit(name)->text(), QString());
        }
    }

    void choosing48ChangesNothingElse() {
        BitSize()->setFocus();
        QTest::keyClick(BitSize(), Qt::Key_Down);
        QCOMPARE(BitSize()->currentText(), QString("48"));
        QVERIFY(!Go()->isVisible());
        for (const char* name : {"Fclock", "Fwanted", "Ferror"}) QCOMPARE(Background(Edit(name)), kPink);
        QCOMPARE(Outputs(), QStringList(6, QString()));
    }

    void setTextByTheProgramReactsBeforeReturning() {
        static_cast<FieldAccess&>(*form_).SetText(Field::kFwanted, u"30");
        QCOMPARE(Background(Edit("Fwanted")), kWhite);
        QVERIFY(Go()->isVisible());
    }

    void tabVisitsTheControlsInOrder_data() {
        QTest::addColumn<bool>("goShown");
        QTest::addColumn<QStringList>("order");
        const QStringList before = {"Fclock", "Fwanted", "Ferror", "ActualClock", "Nideal", "Nhex", "NewN", "NewNhex"};
        const QStringList after = {"BitSize", "Resol", "Fclock"};
        QTest::newRow("button hidden") << false << before + after;
        QTest::newRow("button shown") << true << before + QStringList{"Go"} + after;
    }
    void tabVisitsTheControlsInOrder() {
        QFETCH(bool, goShown);
        QFETCH(QStringList, order);
        if (goShown) RevealGo();
        Edit("Fclock")->setFocus();
        QStringList visited = {"Fclock"};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            // The bit-size box takes focus through its text line.
            if (focused->parentWidget() == BitSize()) focused = BitSize();
            visited << focused->objectName();
        }
        QCOMPARE(visited, order);
    }

    void enterOrSpaceOnTheFocusedButtonPressesIt_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Return") << Qt::Key_Return;
        QTest::newRow("Enter") << Qt::Key_Enter;
        QTest::newRow("Space") << Qt::Key_Space;
    }
    void enterOrSpaceOnTheFocusedButtonPressesIt() {
        QFETCH(Qt::Key, key);
        RevealGo();
        Go()->setFocus();
        QTest::keyClick(Go(), key);
        QCOMPARE(Outputs(), kInitialOutputs);
    }

    void bitSizeStepsOnTheWheelOnlyWithTheFocus_data() {
        QTest::addColumn<bool>("focused");
        QTest::addColumn<QString>("after");
        QTest::newRow("focus elsewhere") << false << "32";
        QTest::newRow("focused") << true << "48";
    }
    void bitSizeStepsOnTheWheelOnlyWithTheFocus() {
        QFETCH(bool, focused);
        QFETCH(QString, after);
        if (focused) BitSize()->setFocus();
        // The box gets the wheel its text line passes on.
        const QPointF at = QRectF(BitSize()->rect()).center();
        QWheelEvent wheel(at, BitSize()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(BitSize(), &wheel);
        QCOMPARE(BitSize()->currentText(), after);
        QCOMPARE(BitSize()->hasFocus(), focused);
    }

    // The cursor blinks in a focused field with a short text; with a million
    // characters the field is not redrawn at all while nothing happens.
    void idleFocusedFieldRedrawsOnlyForAShortText_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("redrawn");
        QTest::newRow("10 characters") << 10 << true;
        QTest::newRow("999 characters") << 999 << true;
        QTest::newRow("1000 characters") << 1000 << false;
        QTest::newRow("1000000 characters") << 1000000 << false;
    }
    void idleFocusedFieldRedrawsOnlyForAShortText() {
        QFETCH(int, length);
        QFETCH(bool, redrawn);
        QLineEdit* field = Edit("Ferror");
        field->setText(QString(length, QLatin1Char('7')));
        field->setFocus();
        QTest::qWait(50);
        PaintCounter paints(field);
        QTest::qWait(1200);  // more than two blinks at the usual 1 s period
        QCOMPARE(paints.count > 0, redrawn);
        Edit("Fclock")->setFocus();
        QVERIFY(QGuiApplication::styleHints()->cursorFlashTime() > 0);
    }

    // A double-click on any part of an output selects its whole word or
    // number, not one group or the digits between two dots, nor the blank.
    void doubleClickSelectsTheWholeWordOrNumber_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selected");
        const auto row = [](const char* name, const QString& text, const QString& selected) {
            QTest::addRow("%s \"%s\"", name, qPrintable(text)) << name << text << selected;
        };
        row("Nhex", "0x 4000 0000", "0x 4000 0000");
        row("NewNhex", "0x 3FFF FE53", "0x 3FFF FE53");
        row("Resol", " 3.5527136788005E-07", "3.5527136788005E-07");
        row("Resol", " .023283064365387", ".023283064365387");
        row("ActualClock", " 100.00004", "100.00004");
        row("NewN", " 112589990684262", "112589990684262");
    }
    void doubleClickSelectsTheWholeWordOrNumber() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, selected);
        WriteField(name, text);
        QLineEdit* edit = Edit(name);
        QTest::mouseDClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 20, edit->height() / 2));
        QCOMPARE(edit->selectedText(), selected);
    }

    // The widest words up to 48 bits, in every installed stand-in face: the
    // field draws every column of the word's ink (a word cut at the edge
    // loses its last digit's) and marks no cut. Bold D is the widest hex
    // digit of those faces, so no 48-bit word is wider than "0x DDDD DDDD
    // DDDD"; the ten digits are equally wide. Texts that cannot fit are
    // marked where they run past an edge. CTest runs this again at device
    // pixel ratios 1.5 and 2.
    void wordsShowEveryDigitOrMarkTheCut_data() {
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");  // -1: at the end
        QTest::addColumn<bool>("left");   // cut there
        QTest::addColumn<bool>("right");
        for (const QString& face : kStandInFaces) {
            if (!QFontDatabase::hasFamily(face)) continue;
            for (const char* name : {"Nideal", "NewN", "Nhex", "NewNhex"}) {
                const QString word = QByteArray(name).endsWith("hex") ? "0x DDDD DDDD DDDD" : " 140737488355327";
                QTest::addRow("%s, %s \"%s\"", qPrintable(face), name, qPrintable(word))
                    << face << name << word << -1 << false << false;
            }
        }
        const QString markers = "60 NYQUIST! NYQUIST! NYQUIST!";
        QTest::newRow("Fwanted \"60 NYQUIST! NYQUIST! NYQUIST!\", start") << "" << "Fwanted" << markers << 0 << false << true;
        QTest::newRow("Fwanted \"60 NYQUIST! NYQUIST! NYQUIST!\", end") << "" << "Fwanted" << markers << -1 << true << false;
        QTest::newRow("Fclock 200 x \"7\", middle") << "" << "Fclock" << QString(200, '7') << 100 << true << true;
    }
    void wordsShowEveryDigitOrMarkTheCut() {
        QFETCH(QString, face);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(bool, left);
        QFETCH(bool, right);
        auto* edit = qobject_cast<quorvel::FieldEdit*>(Edit(name));
        QVERIFY(edit != nullptr);
        if (!face.isEmpty()) {
            QFont font = edit->font();
            font.setFamily(face);
            edit->setFont(font);
        }
        WriteField(name, text);
        edit->setFocus();
        edit->setCursorPosition(cursor < 0 ? int(text.size()) : cursor);
        const int drawn = DrawnInk(edit);
        QCOMPARE(edit->CutAtLeft(), left);
        QCOMPARE(edit->CutAtRight(), right);
        if (left || right) return;
        const int whole = WholeInk(edit);
        QVERIFY2(drawn >= whole - 1, qPrintable(QString("%1 of %2 columns drawn").arg(drawn).arg(whole)));
    }

    // A text of blanks only, cut at one edge: the only ink the field draws is
    // the cut's arrowhead, on the half of the field where the text is cut,
    // its tip (the column with the fewest inked rows) towards that edge.
    void cutMarkIsDrawnAtTheCutEdge_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("atLeft");  // the cursor at the end: the start is cut off
        for (const char* name : {"Fclock", "NewN"}) {
            QTest::addRow("%s cut at its right", name) << name << false;
            QTest::addRow("%s cut at its left", name) << name << true;
        }
    }
    void cutMarkIsDrawnAtTheCutEdge() {
        QFETCH(QString, name);
        QFETCH(bool, atLeft);
        auto* edit = qobject_cast<quorvel::FieldEdit*>(Edit(name));
        QVERIFY(edit != nullptr);
        Edit("Resol")->setFocus();  // no cursor drawn in the field
        const QString blanks(300, ' ');
        WriteField(name, blanks);
        edit->setCursorPosition(atLeft ? int(blanks.size()) : 0);
        const QImage image = edit->grab().toImage();  // painting scrolls the text
        QCOMPARE(edit->CutAtLeft(), atLeft);
        QCOMPARE(edit->CutAtRight(), !atLeft);
        const QMap<int, int> ink = InkRowsByColumn(image, edit->palette().color(QPalette::Base));
        QVERIFY2(!ink.isEmpty(), "no mark drawn");
        const int middle = image.width() / 2;
        QVERIFY2(atLeft ? ink.lastKey() < middle : ink.firstKey() > middle,
                 qPrintable(QString("ink from column %1 to %2 of %3").arg(ink.firstKey()).arg(ink.lastKey()).arg(image.width())));
        const int tip = atLeft ? ink.first() : ink.last();
        const int base = atLeft ? ink.last() : ink.first();
        QVERIFY2(tip < base, qPrintable(QString("%1 rows at the edge, %2 inside").arg(tip).arg(base)));
    }

    // Leaving a field shows its start again; a menu opened on it keeps its
    // cursor and selection.
    void focusLeavingAFieldShowsItsStart_data() {
        QTest::addColumn<Qt::FocusReason>("reason");
        QTest::addColumn<int>("cursor");
        QTest::newRow("Tab") << Qt::TabFocusReason << 0;
        QTest::newRow("menu") << Qt::PopupFocusReason << 30;
    }
    void focusLeavingAFieldShowsItsStart() {
        QFETCH(Qt::FocusReason, reason);
        QFETCH(int, cursor);
        QLineEdit* word = Edit("Nideal");
        word->setText(" 66742358500463 66742358500463");
        word->setFocus();
        word->end(false);
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(word, &out);
        QCOMPARE(word->cursorPosition(), cursor);
    }

    // F1 or the window's own menu opens the About box; nothing else changes.
    void aboutTellsVersionLicenceAndFigures() {
        QCOMPARE(form_->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(form_->actions().first()->text(), QString("About Quorvel"));
        QString title;
        QString text;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                box->accept();
            }
        });
        poll.start(10);
        QTest::keyClick(Edit("Fclock"), Qt::Key_F1);  // returns once the box is closed
        QCOMPARE(title, QString("About Quorvel"));
        for (const char* part : {"Quorvel 1.00", "MIT License", "GMP"}) QVERIFY2(text.contains(part), qPrintable(text));
        QCOMPARE(Outputs(), QStringList(6, QString()));
    }

    void windowHasItsIconAndCannotShrinkPastItsControls() {
        // The icon comes once the window has been drawn.
        QTRY_VERIFY(!form_->windowIcon().pixmap(32).isNull());
        // A blue digit of the word where only the pictures drawn for the
        // small sizes have one; the scalable picture scaled down has none.
        for (const auto& [size, digit] : {std::pair{16, QPoint(3, 3)}, {24, QPoint(5, 5)}, {32, QPoint(15, 6)}}) {
            QCOMPARE(form_->windowIcon().pixmap(size).toImage().pixelColor(digit), QColor(Qt::blue));
        }
        // Rightmost edge 353 (Nhex, NewNhex, Label9), lowest 321 (Go), plus
        // the 8-pixel margin of the left- and topmost controls.
        QCOMPARE(form_->minimumSize(), QSize(361, 329));
        form_->resize(1, 1);
        QCOMPARE(form_->size(), QSize(361, 329));
    }

    void reportOpensBesideOrBelowTheWindow_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QMargins>("decorations");
        QTest::addColumn<bool>("placed");
        QTest::addColumn<QPoint>("at");
        const QMargins none;
        QTest::newRow("right") << QRect(0, 0, 400, 300) << none << true << QPoint(400, 0);
        QTest::newRow("below") << QRect(700, 0, 300, 300) << none << true << QPoint(700, 300);
        QTest::newRow("left") << QRect(600, 0, 424, 700) << none << true << QPoint(400, 0);
        QTest::newRow("above") << QRect(0, 300, 1024, 400) << none << true << QPoint(0, 200);
        QTest::newRow("right, but for decorations") << QRect(0, 0, 820, 300) << QMargins(4, 28, 4, 4) << true
                                                    << QPoint(0, 300);
        QTest::newRow("screen filled") << QRect(0, 0, 1024, 768) << none << false << QPoint();
    }
    void reportOpensBesideOrBelowTheWindow() {
        QFETCH(QRect, frame);
        QFETCH(QMargins, decorations);
        QFETCH(bool, placed);
        QFETCH(QPoint, at);
        const auto corner = quorvel::ReportPosition(frame, decorations, QSize(200, 100), QRect(0, 0, 1024, 768));
        QCOMPARE(corner.has_value(), placed);
        if (placed) QCOMPARE(*corner, at);
    }

    void enterAndEscapeInAFieldPressNothing() {
        RevealGo();
        Edit("Fwanted")->setFocus();
        QTest::keyClick(Edit("Fwanted"), Qt::Key_Return);
        QTest::keyClick(Edit("Fwanted"), Qt::Key_Enter);
        QTest::keyClick(Edit("Fwanted"), Qt::Key_Escape);
        QCOMPARE(Outputs(), QStringList(6, QString()));
        QVERIFY(form_->isVisible());
    }

    void clickOnCalculateFillsTheOutputs_data() {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QString>("wanted");
        for (const WorkedCase& c : quorvel::test::FinishedRuns()) {
            QTest::newRow(c.name) << InputsOf(c) << OutputsAfter(c, QStringList(6, QString())) << WantedAfter(c);
        }
    }
    void clickOnCalculateFillsTheOutputs() {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, outputs);
        QFETCH(QString, wanted);
        CalculateWith(inputs);
        QCOMPARE(Outputs(), outputs);
        QCOMPARE(Edit("Fwanted")->text(), wanted);
        QVERIFY(reports_.empty());
        // Each written field shows the start of its text.
        for (const QString& name : kOutputNames) QCOMPARE(Edit(name)->cursorPosition(), 0);
        if (wanted != inputs[2]) QCOMPARE(Edit("Fwanted")->cursorPosition(), 0);
    }

    void markerTurnsAPinkWantedFieldWhite() {
        const WorkedCase& c = quorvel::test::FindWorkedCase("Clock40MarksWanted25");
        Edit("Fclock")->setText(ToQ(c.inputs[1]));  // 25 MHz is above 0.499 of 40 MHz
        QCOMPARE(Background(Edit("Fwanted")), kPink);
        ClickGo();
        QCOMPARE(Edit("Fwanted")->text(), WantedAfter(c));
        QCOMPARE(Background(Edit("Fwanted")), kWhite);
        QCOMPARE(Outputs(), OutputsAfter(c, QStringList(6, QString())));
    }

    void everyClickAddsAMarker() {
        Edit("Fwanted")->setText("60");
        ClickGo();
        ClickGo();
        ClickGo();
        QCOMPARE(Edit("Fwanted")->text(), QString("60 NYQUIST! NYQUIST! NYQUIST!"));
        QCOMPARE(Edit("Nideal")->text(), QString(" 2576980378"));
    }

    // Each case follows a successful run on the initial texts, so every
    // output holds a result when the failing run starts. "after" is what the
    // outputs hold once the report is closed.
    void failedRunIsReportedAndUnreachedOutputsEmptied_data() {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("whileOpen");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("wanted");
        // Unreached outputs still show the first run's texts while the report
        // is open, and are empty once it is closed.
        for (const char* name : {"EmptyBitSize", "ZeroWantedNoError", "ZeroWantedWithError", "SixtyOfHundredAt48Bits"}) {
            const WorkedCase& c = quorvel::test::FindWorkedCase(name);
            const QString report = ExpectedReport(*c.error);
            QTest::newRow(name) << InputsOf(c) << report << OutputsAfter(c, kInitialOutputs)
                                << OutputsAfter(c, QStringList(6, QString())) << WantedAfter(c);
        }
    }
    void failedRunIsReportedAndUnreachedOutputsEmptied() {
        QFETCH(QStringList, inputs);
        QFETCH(QString, report);
        QFETCH(QStringList, whileOpen);
        QFETCH(QStringList, after);
        QFETCH(QString, wanted);
        CalculateWith(kInitialInputs);
        QVERIFY(reports_.empty());

        CalculateWith(inputs);
        QCOMPARE(reports_.size(), std::size_t{1});
        QCOMPARE(reports_[0].text, report);
        QCOMPARE(reports_[0].outputs, whileOpen);
        QCOMPARE(reports_[0].wanted, wanted);
        QCOMPARE(Outputs(), after);
        QCOMPARE(Edit("Fwanted")->text(), wanted);

        // The window lives on, inputs as typed, and calculates again.
        QVERIFY(form_->isVisible());
        QCOMPARE(InputText("BitSize"), inputs[0]);
        for (qsizetype i = 0; i < kInputNames.size(); ++i) SetInput(kInputNames[i], kInitialInputs[i]);
        ClickGo();
        QCOMPARE(reports_.size(), std::size_t{1});
        QCOMPARE(Outputs(), kInitialOutputs);
    }

    // Anything else that stops the calculation is reported plainly; the
    // window and its inputs stay, unreached outputs are emptied.
    void otherFailuresAreReportedAndTheWindowStays_data() {
        QTest::addColumn<int>("calculation");  // index in kFailingCalculations
        QTest::addColumn<QString>("report");
        const QString memory = "There is not enough memory to finish the calculation.";
        const QString other = "The calculation stopped on an unexpected failure.";
        QTest::newRow("std::bad_alloc") << 0 << memory;
        QTest::newRow("std::length_error") << 1 << memory;
        QTest::newRow("std::runtime_error") << 2 << other;
        QTest::newRow("not an exception class") << 3 << other;
    }
    void otherFailuresAreReportedAndTheWindowStays() {
        QFETCH(int, calculation);
        QFETCH(QString, report);
        form_ = std::make_unique<Form1>(std::make_unique<RecordingReporter>(reports_),
                                        kFailingCalculations[static_cast<std::size_t>(calculation)]);
        form_->show();
        for (const QString& name : kOutputNames) Edit(name)->setText("old");
        RevealGo();
        ClickGo();
        QCOMPARE(reports_.size(), std::size_t{1});
        QCOMPARE(reports_[0].text, report);
        QCOMPARE(reports_[0].outputs, (QStringList{" 1", "old", "old", "old", "old", "old"}));
        QCOMPARE(Outputs(), (QStringList{" 1", "", "", "", "", ""}));
        QVERIFY(form_->isVisible());
        for (qsizetype i = 0; i < kInputNames.size(); ++i) QCOMPARE(InputText(kInputNames[i]), kInitialInputs[i]);
    }

    // The word fields' tooltips (and accessible descriptions) after a run
    // on the initial texts and then the case: only the fields the case wrote
    // keep one.
    void wordFieldsTellWhatTheirWordGives_data() {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("tipped");
        const QStringList all = {"Nideal", "Nhex", "NewN", "NewNhex"};
        QTest::newRow("finished") << InputsOf(quorvel::test::FindWorkedCase("Bits48")) << all;
        QTest::newRow("stopped at Nhex")
            << InputsOf(quorvel::test::FindWorkedCase("SixtyOfHundredAt48Bits")) << QStringList{"Nideal"};
        QTest::newRow("stopped at ActualClock")
            << InputsOf(quorvel::test::FindWorkedCase("ZeroWantedNoError")) << QStringList{"Nideal", "Nhex"};
        QTest::newRow("stopped at once") << InputsOf(quorvel::test::FindWorkedCase("EmptyBitSize")) << QStringList{};
    }
    void wordFieldsTellWhatTheirWordGives() {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, tipped);
        CalculateWith(kInitialInputs);
        CalculateWith(inputs);
        for (const char* name : {"Nideal", "Nhex", "NewN", "NewNhex"}) {
            QCOMPARE(Edit(name)->toolTip().isEmpty(), !tipped.contains(name));
            // The field's purpose first, then the figures.
            const QString description = Edit(name)->accessibleDescription();
            QVERIFY2(description.startsWith("result: "), qPrintable(description));
            QCOMPARE(description.section('\n', 1), Edit(name)->toolTip());
            QCOMPARE(Edit(name)->actions().constFirst()->isEnabled(), tipped.contains(name));
        }
    }

    // By hand: 2^30 steps of 100 MHz / 2^32 are 25 MHz exactly. At 48 bits,
    // 23.711649 of 100 MHz is 66742358500462.4963... steps, but the double
    // quotient is ...462.5 and the word shown ...463: one step off.
    void tooltipsGiveTheExactFigures() {
        CalculateWith(kInitialInputs);
        QVERIFY2(Edit("Nideal")->toolTip().contains("\nOutput +25.000 0 MHz\nError 0 Hz (0 ppb)\n"),
                 qPrintable(Edit("Nideal")->toolTip()));
        CalculateWith({"48", "100", "23.711649", ""});
        QCOMPARE(Edit("Nideal")->text(), QString(" 66742358500463"));
        QVERIFY2(Edit("Nhex")->toolTip().contains("Exact nearest word 66742358500462 (-1 step)"),
                 qPrintable(Edit("Nhex")->toolTip()));
    }

    // Alt+Enter in a word field opens its figures: the tooltip's lines, each
    // figure followed by an indented line in full; Copy All copies them as
    // shown, and a run that does not reach the word empties the panel.
    void figuresPanelShowsTheTooltipAndTheFiguresInFull() {
        CalculateWith({"48", "100", "23.711649", ""});
        Edit("Nhex")->setFocus();
        QTest::keyClick(Edit("Nhex"), Qt::Key_Return, Qt::AltModifier);
        auto* panel = form_->findChild<QDialog*>("FiguresPanel");
        QVERIFY(panel != nullptr && panel->isVisible() && !panel->isModal());
        const QString figures = panel->findChild<QPlainTextEdit*>("FiguresText")->toPlainText();
        QStringList glance;
        for (const QString& line : figures.split('\n')) {
            if (!line.startsWith(' ')) glance << line;
        }
        QCOMPARE(glance.join('\n'), Edit("Nhex")->toolTip());
        QVERIFY2(figures.contains("\n    0.00000017894399206852540374 Hz (0.000007546670081 ppb)\n"),
                 qPrintable(figures));
        QTest::mouseClick(panel->findChild<QPushButton*>("CopyFigures"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), figures);
        CalculateWith(InputsOf(quorvel::test::FindWorkedCase("EmptyBitSize")));
        QCOMPARE(panel->findChild<QPlainTextEdit*>("FiguresText")->toPlainText(),
                 QString("The last calculation did not reach this word."));
    }


    // A panel opened on a word field keeps showing that field's figures
    // after the next Calculate, those of the new run: after the initial
    // texts, a run with a measured error of 10 Hz gives N 1073741824 and N2
    // 1073741395.
    void openPanelFollowsItsOwnWord_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("heading");
        const QString ideal = "Wanted N 1073741824 with the entered clock 100 MHz, wanted 25 MHz";
        const QString corrected = "Modified N 1073741395 with the inferred clock 100.00004 MHz, wanted 25 MHz";
        QTest::newRow("Nideal") << "Nideal" << ideal;
        QTest::newRow("Nhex") << "Nhex" << ideal;
        QTest::newRow("NewN") << "NewN" << corrected;
        QTest::newRow("NewNhex") << "NewNhex" << corrected;
    }
    void openPanelFollowsItsOwnWord() {
        QFETCH(QString, name);
        QFETCH(QString, heading);
        CalculateWith(kInitialInputs);
        Edit(name)->setFocus();
        QTest::keyClick(Edit(name), Qt::Key_Return, Qt::AltModifier);
        auto* panel = form_->findChild<QDialog*>("FiguresPanel");
        QVERIFY(panel != nullptr && panel->isVisible());
        CalculateWith({"32", "100", "25", "10"});
        QVERIFY(panel->isVisible());
        const QString figures = panel->findChild<QPlainTextEdit*>("FiguresText")->toPlainText();
        QCOMPARE(figures.section('\n', 0, 0), heading);
        QStringList glance;
        for (const QString& line : figures.split('\n')) {
            if (!line.startsWith(' ')) glance << line;
        }
        QCOMPARE(glance.join('\n'), Edit(name)->toolTip());
    }

    // Ctrl+Shift+S in a word field opens its spectrum beside the window: the
    // sketch with its text alternative, the figures, and a phase box that
    // redraws at once. 10 MHz of 100 at 32 bits is N = 429496730 = 2 * odd:
    // 12 phase bits drop 20, so the truncation repeats every 2^19 samples.
    void spectrumPanelFollowsThePhaseBoxAndEachRun() {
        CalculateWith({"32", "100", "10", ""});
        Edit("Nideal")->setFocus();
        QTest::keyClick(Edit("Nideal"), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        auto* panel = form_->findChild<QDialog*>("SpectrumPanel");
        QVERIFY(panel != nullptr && panel->isVisible() && !panel->isModal());
        const auto figures = [panel] { return panel->findChild<QPlainTextEdit*>("SpectrumText")->toPlainText(); };
        QVERIFY2(panel->findChild<QLabel*>("SpectrumHeading")->text().contains("Wanted N 429496730 with the entered clock 100 MHz"),
                 qPrintable(panel->findChild<QLabel*>("SpectrumHeading")->text()));
        QVERIFY2(figures().contains("Truncation: none"), qPrintable(figures()));
        auto* sketch = panel->findChild<QSvgWidget*>("SpectrumSketch");
        QVERIFY(sketch->renderer()->isValid());
        QVERIFY2(sketch->accessibleDescription().contains("strongest lines: image 90.000 0 MHz -19.08 dBc"),
                 qPrintable(sketch->accessibleDescription()));
        panel->findChild<QSpinBox*>("PhaseBits")->setValue(12);
        QVERIFY2(figures().contains("Truncation period 524288 samples, 524287 distinct spurs"), qPrintable(figures()));
        CalculateWith(InputsOf(quorvel::test::FindWorkedCase("EmptyBitSize")));
        QCOMPARE(figures(), QString("The last calculation did not reach this word."));
    }

    // The menu opens as a window of its own: with the look start-up gives
    // the whole application, it has the window's face and colours.
    void hexFieldsCopyTheWordAsAPlainLiteral() {
        quorvel::UseWindowLookThroughout();
        CalculateWith(InputsOf(quorvel::test::FindWorkedCase("Wanted1MHzBits48")));
        QGuiApplication::clipboard()->clear();
        bool found = false;
        QColor ground;
        qreal points = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            poll.stop();
            ground = menu->palette().color(QPalette::Window);
            points = menu->font().pointSizeF();
            for (QAction* action : menu->actions()) {
                if (action->text() == "Copy as Plain Literal" && action->isEnabled()) {
                    found = true;
                    action->trigger();
                }
            }
            menu->close();
        });
        poll.start(10);
        emit Edit("NewNhex")->customContextMenuRequested(QPoint(4, 4));  // returns once the menu closes
        QVERIFY(found);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("0x028F5C28F5C3"));
        QCOMPARE(ground, QColor(239, 239, 239));
        QCOMPARE(points, 8.25);
    }

    // The same menu's C constant: the run's word with what it gives.
    void hexFieldsCopyTheWordAsACConstant() {
        CalculateWith(InputsOf(quorvel::test::FindWorkedCase("InitialTexts")));
        QGuiApplication::clipboard()->clear();
        bool found = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            poll.stop();
            for (QAction* action : menu->actions()) {
                if (action->text() == "Copy as C Constant" && action->isEnabled()) {
                    found = true;
                    action->trigger();
                }
            }
            menu->close();
        });
        poll.start(10);
        emit Edit("Nhex")->customContextMenuRequested(QPoint(4, 4));  // returns once the menu closes
        QVERIFY(found);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("#define FTW 0x40000000u /* 1073741824: 25000000 Hz from 100 MHz at 32 bits, "
                         "error 0 Hz, 0 ppb */"));
    }

    // The window as the application makes it, with its real message box.
    void messageBoxReportsAndWindowStaysOpen() {
        form_ = std::make_unique<Form1>();
        form_->show();
        // Without a window manager (a bare X server) nothing activates a new window.
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        SetInput("BitSize", "");
        RevealGo();

        QString title;
        QString text;
        qsizetype buttons = 0;
        bool okOnly = false;
        QString family;
        qreal points = 0;
        QColor ground;
        QColor textColour;
        QRect place;
        auto closeBox = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return false;
            title = box->windowTitle();
            text = box->text();
            buttons = box->buttons().size();
            okOnly = box->standardButtons() == QMessageBox::Ok;
            family = QFontInfo(box->findChild<QLabel*>("qt_msgbox_label")->font()).family();
            points = box->findChild<QLabel*>("qt_msgbox_label")->font().pointSizeF();
            ground = box->palette().color(QPalette::Window);
            textColour = box->findChild<QLabel*>("qt_msgbox_label")->palette().color(QPalette::WindowText);
            place = box->frameGeometry();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            return true;
        };
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (closeBox()) poll.stop();
        });
        poll.start(10);
        ClickGo();  // returns once the box is closed

        QCOMPARE(title, QString("Quorvel"));
        QCOMPARE(text, QString("Run-time error '13':\n\nType mismatch"));
        QCOMPARE(buttons, qsizetype{1});
        QVERIFY(okOnly);
        // In the window's face and colours, clear of the window.
        QCOMPARE(family, QFontInfo(form_->font()).family());
        QCOMPARE(points, 8.25);
        QCOMPARE(ground, QColor(239, 239, 239));
        QCOMPARE(textColour, QColor(0, 0, 0));
        QVERIFY2(!place.intersects(form_->frameGeometry()), qPrintable(QString("box at %1,%2").arg(place.x()).arg(place.y())));
        QVERIFY(form_->isVisible());
        SetInput("BitSize", "32");
        ClickGo();
        QCOMPARE(Edit("NewNhex")->text(), QString("0x 4000 0000"));
    }

    void labelsHaveTheirCaptions_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < kLabels.size(); ++i) QTest::newRow(kLabels[i].name) << int(i);
    }
    void labelsHaveTheirCaptions() {
        QFETCH(int, row);
        const LabelRow& expected = kLabels[static_cast<std::size_t>(row)];
        auto* label = form_->findChild<QLabel*>(expected.name);
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), QString(expected.caption));
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, expected.alignment);
        QCOMPARE(label->wordWrap(), expected.lines > 1);
    }

    // The window writes in the first installed face of those drawn to its
    // widths.
    void windowFontIsTheFirstInstalledStandIn() {
        const auto installed = std::find_if(kStandInFaces.begin(), kStandInFaces.end(), [](const QString& face) {
            return QFontDatabase::hasFamily(face);
        });
        if (installed == kStandInFaces.end()) QSKIP("none of the stand-in faces is installed");
        // Where two foundries offer the face, Qt names it "Nimbus Sans [urw]".
        QCOMPARE(QFontInfo(form_->font()).family().section(" [", 0, 0), *installed);
        QCOMPARE(QFontInfo(quorvel::WindowFont()).family().section(" [", 0, 0), *installed);
    }

    // A caption fits when its ink lies within the label's box, in the
    // window's font and in every installed stand-in.
    void captionsFitTheirLabels_data() { labelsHaveTheirCaptions_data(); }
    void captionsFitTheirLabels() {
        QFETCH(int, row);
        const LabelRow& expected = kLabels[static_cast<std::size_t>(row)];
        auto* label = form_->findChild<QLabel*>(expected.name);
        QVERIFY(label != nullptr);
        QList<QFont> fonts = {label->font()};
        for (const QString& face : kStandInFaces) {
            if (!QFontDatabase::hasFamily(face)) continue;
            QFont font = label->font();
            font.setFamily(face);
            fonts << font;
        }
        for (const QFont& font : fonts) {
            const QRect ink = CaptionInk(label, font);
            QVERIFY2(label->rect().adjusted(1, 1, 0, 0).contains(ink), qPrintable(QString("%1: ink at %2,%3 %4x%5")
                                                                   .arg(QFontInfo(font).family())
                                                                   .arg(ink.x())
                                                                   .arg(ink.y())
                                                                   .arg(ink.width())
                                                                   .arg(ink.height())));
        }
    }

    void fieldsCarryTheirLabelsForScreenReaders() {
        QCOMPARE(Edit("Fclock")->accessibleName(), QString("Clock MHz"));
        QCOMPARE(Edit("Fwanted")->accessibleName(), QString("Wanted Frequency MHz"));
        QCOMPARE(BitSize()->accessibleName(), QString("DDS Resolution, Bits"));
        QCOMPARE(form_->findChild<QLabel*>("Label1")->buddy(), Edit("Fclock"));
        QCOMPARE(form_->findChild<QLabel*>("Label7")->buddy(), Edit("NewN"));
    }

    // What a screen reader is told of each control, through Qt's accessible
    // interfaces: role, name, description, and the label relation ("<" the
    // control's label, ">" the control a label names). BitSize.text and
    // BitSize.list are the box's editable text and its list.
    void accessibleInterfacesTellEachControl_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("labelRelation");
        const QString correction = "; part of Calculate new N given measured Frequency Error";
        const QString width = "accumulator width in bits: pick 32 or 48, or type any width";
        const struct {
            const char* control;
            QAccessible::Role role;
            QString name;
            QString description;
            QString label_relation;
        } rows[] = {
            {"Form1", QAccessible::Window, "Quorvel", "", ""},
            {"BitSize", QAccessible::ComboBox, "DDS Resolution, Bits", width, "<Label8"},
            {"BitSize.text", QAccessible::EditableText, "DDS Resolution, Bits", width, ""},
            {"BitSize.list", QAccessible::List, "DDS Resolution, Bits", width, ""},
            {"Fclock", QAccessible::EditableText, "Clock MHz", "reference clock, in MHz", "<Label1"},
            {"Fwanted", QAccessible::EditableText, "Wanted Frequency MHz", "wanted output frequency, in MHz", "<Label2"},
            {"Nideal", QAccessible::EditableText, "Wanted N", "result: ideal tuning word, decimal", "<Label5"},
            {"Nhex", QAccessible::EditableText, "Wanted N, hexadecimal", "result: ideal tuning word, hexadecimal", ""},
            {"Resol", QAccessible::EditableText, "Resolution Hz",
             "result: output frequency per tuning-word step, in Hz", "<Label10"},
            {"Ferror", QAccessible::EditableText, "Measured Error Hz",
             "measured output minus wanted frequency with the ideal word loaded, in Hz" + correction, "<Label3"},
            {"ActualClock", QAccessible::EditableText, "Actual Clock MHz",
             "result: clock inferred from the measured error, in MHz" + correction, "<Label4"},
            {"NewN", QAccessible::EditableText, "Modified N to achieve wanted Fout",
             "result: corrected tuning word for the actual clock, decimal" + correction, "<Label7"},
            {"NewNhex", QAccessible::EditableText, "Modified N to achieve wanted Fout, hexadecimal",
             "result: corrected tuning word for the actual clock, hexadecimal" + correction, ""},
            {"Go", QAccessible::Button, "Calculate", "", ""},
            {"Label8", QAccessible::StaticText, "DDS Resolution, Bits", "", ">BitSize"},
            {"Label1", QAccessible::StaticText, "Clock MHz", "", ">Fclock"},
            {"Label2", QAccessible::StaticText, "Wanted Frequency MHz", "", ">Fwanted"},
            {"Label5", QAccessible::StaticText, "Wanted N", "", ">Nideal"},
            {"Label10", QAccessible::StaticText, "Resolution Hz", "", ">Resol"},
            {"Label3", QAccessible::StaticText, "Measured Error Hz", "", ">Ferror"},
            {"Label4", QAccessible::StaticText, "Actual Clock MHz", "", ">ActualClock"},
            {"Label7", QAccessible::StaticText, "Modified N to achieve wanted Fout", "", ">NewN"},
            {"Label9", QAccessible::StaticText, "Calculate new N given measured Frequency Error", "", ""},
        };
        for (const auto& row : rows) {
            QTest::newRow(row.control) << QString(row.control) << int(row.role) << row.name << row.description
                                       << row.label_relation;
        }
    }
    void accessibleInterfacesTellEachControl() {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, description);
        QFETCH(QString, labelRelation);
        QObject* object = control == "Form1"          ? form_.get()
                          : control == "BitSize.text" ? BitSize()->lineEdit()
                          : control == "BitSize.list" ? static_cast<QObject*>(BitSize()->view())
                                                      : form_->findChild<QWidget*>(control);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
        QVERIFY(face != nullptr);
        QCOMPARE(int(face->role()), role);
        QCOMPARE(face->text(QAccessible::Name), name);
        QCOMPARE(face->text(QAccessible::Description), description);
        QString relation;
        for (const auto& [other, kind] : face->relations(QAccessible::Label | QAccessible::Labelled)) {
            relation += (kind & QAccessible::Label ? "<" : ">") + other->object()->objectName();
        }
        QCOMPARE(relation, labelRelation);
    }

    // Every code unit passes both ways unchanged, past Qt's usual 32767
    // characters, a byte-order mark and a lone surrogate included.
    void textsPassUnchangedAndUnlimited() {
        std::u16string text(40000, u'7');
        text[0] = u'\xFEFF';
        text[39999] = u'\xD800';
        FieldAccess& fields = *form_;
        for (Field field : {Field::kBitSize, Field::kFerror, Field::kNewNhex}) {
            fields.SetText(field, text);
            QVERIFY(fields.Text(field) == text);
        }
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
