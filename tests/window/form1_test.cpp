// The calculator window on Qt's offscreen platform: start state, reactions,
// focus order, calculations from a click on Calculate, failures and their
// report, and labels that fit. Expected texts come from the worked examples
// of the calculation, or were worked out by hand (places in pixels) and with
// Python's decimal module (outputs not among the worked examples).

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "window/error_reporter.h"
#include "window/form1.h"

using quorvel::ErrorReporter;
using quorvel::Field;
using quorvel::FieldAccess;
using quorvel::Form1;
using quorvel::RunTimeError;

namespace {

const QColor kPink(255, 192, 255);
const QColor kWhite(255, 255, 255);

const QStringList kInputNames = {"BitSize", "Fclock", "Fwanted", "Ferror"};
const QStringList kOutputNames = {"Resol", "Nideal", "Nhex", "ActualClock", "NewN", "NewNhex"};
const QStringList kInitialInputs = {"32", "100", "25", ""};
// The outputs of a run on the initial texts.
const QStringList kInitialOutputs = {" .023283064365387", " 1073741824", "0x 4000 0000",
                                     " 100",              " 1073741824", "0x 4000 0000"};

// What the user saw when a report came up.
struct SeenReport {
    int number;
    QString text;
    QStringList outputs;  // in the order of kOutputNames
    QString wanted;
};

// Stands in for the message box: notes the report and returns at once, as
// if the user had pressed OK.
class RecordingReporter final : public ErrorReporter {
public:
    explicit RecordingReporter(std::vector<SeenReport>& reports) : reports_(reports) {}

    void Report(QWidget* window, const RunTimeError& error) override {
        SeenReport seen{error.number(), quorvel::ReportText(error), {}, {}};
        for (const QString& name : kOutputNames) seen.outputs << window->findChild<QLineEdit*>(name)->text();
        seen.wanted = window->findChild<QLineEdit*>("Fwanted")->text();
        reports_.push_back(seen);
    }

private:
    std::vector<SeenReport>& reports_;
};

QColor Background(const QWidget* control) { return control->palette().color(QPalette::Base); }

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

    void CalculateWith(const QStringList& inputs) {
        for (qsizetype i = 0; i < kInputNames.size(); ++i) {
            if (InputText(kInputNames[i]) != inputs[i]) SetInput(kInputNames[i], inputs[i]);
        }
        RevealGo();
        ClickGo();
    }

private slots:
    void init() {
        reports_.clear();
        form_ = std::make_unique<Form1>(std::make_unique<RecordingReporter>(reports_));
        form_->show();
        // Without a window manager (a bare X server) nothing activates a new window.
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    void cleanup() { form_.reset(); }

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

    void hexFieldsAndHeadingHaveTheirColoursAndFonts() {
        for (const char* name : {"Nhex", "NewNhex"}) {
            QCOMPARE(Edit(name)->palette().color(QPalette::Text), QColor(0, 0, 255));
            QVERIFY(Edit(name)->font().bold());
            QCOMPARE(Edit(name)->font().pointSizeF(), 8.25);
        }
        QVERIFY(!Edit("Nideal")->font().bold());
        QCOMPARE(Edit("Fclock")->font().pointSizeF(), 8.25);
        auto* heading = form_->findChild<QLabel*>("Label9");
        QCOMPARE(heading->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QCOMPARE(heading->font().pointSizeF(), 9.75);
        QCOMPARE(heading->text(), QString("Calculate new N given measured Frequency Error"));
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

    void enterAndEscapeInAFieldPressNothing() {
        RevealGo();
        Edit("Fwanted")->setFocus();
        QTest::keyClick(Edit("Fwanted"), Qt::Key_Return);
        QTest::keyClick(Edit("Fwanted"), Qt::Key_Enter);
        QTest::keyClick(Edit("Fwanted"), Qt::Key_Escape);
        QCOMPARE(Outputs(), QStringList(6, QString()));
        QVERIFY(form_->isVisible());
    }

    // Inputs: bit size, clock, wanted, error. Outputs: Resol, Nideal, Nhex,
    // ActualClock, NewN, NewNhex.
    void clickOnCalculateFillsTheOutputs_data() {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QString>("wanted");
        QTest::newRow("initial texts")
            << QStringList{"32", "100", "25", ""}
            << QStringList{" .023283064365387", " 1073741824", "0x 4000 0000", " 100", " 1073741824", "0x 4000 0000"}
            << "25";
        QTest::newRow("error 10 Hz")
            << QStringList{"32", "100", "25", "10"}
            << QStringList{" .023283064365387", " 1073741824", "0x 4000 0000", " 100.00004", " 1073741395", "0x 3FFF FE53"}
            << "25";
        QTest::newRow("48 bits")
            << QStringList{"48", "100", "25", ""}
            << QStringList{" 3.5527136788005E-07", " 70368744177664", "0x 4000 0000 0000", " 100", " 70368744177664",
                           "0x 4000 0000 0000"}
            << "25";
        QTest::newRow("above Nyquist")
            << QStringList{"32", "100", "60", ""}
            << QStringList{" .023283064365387", " 2576980378", "0x 9999 999A", " 99.999999984478", " 2576980378", "0x 9999 999A"}
            << "60 NYQUIST!";
    }
    void clickOnCalculateFillsTheOutputs() {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, outputs);
        QFETCH(QString, wanted);
        CalculateWith(inputs);
        QCOMPARE(Outputs(), outputs);
        QCOMPARE(Edit("Fwanted")->text(), wanted);
        QVERIFY(reports_.empty());
    }

    void markerTurnsAPinkWantedFieldWhite() {
        Edit("Fclock")->setText("40");  // 25 MHz is above 0.499 of 40 MHz
        QCOMPARE(Background(Edit("Fwanted")), kPink);
        ClickGo();
        QCOMPARE(Edit("Fwanted")->text(), QString("25 NYQUIST!"));
        QCOMPARE(Background(Edit("Fwanted")), kWhite);
        QCOMPARE(Outputs(), (QStringList{" 9.31322574615479E-03", " 2684354560", "0x A000 0000", " 40", " 2684354560",
                                         "0x A000 0000"}));
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
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("whileOpen");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("wanted");
        const QStringList first = kInitialOutputs;
        QTest::newRow("bit size empty: first step")
            << QStringList{"", "100", "25", ""} << 13 << "Run-time error '13':\n\nType mismatch" << first
            << QStringList(6, QString()) << "25";
        QTest::newRow("wanted 0: actual clock step")
            << QStringList{"32", "100", "0", ""} << 6 << "Run-time error '6':\n\nOverflow"
            << QStringList{" .023283064365387", " 0", "0x 0000 0000", " 100", " 1073741824", "0x 4000 0000"}
            << QStringList{" .023283064365387", " 0", "0x 0000 0000", "", "", ""} << "0";
        QTest::newRow("wanted 0, error 5 Hz: actual clock step")
            << QStringList{"32", "100", "0", "5"} << 11 << "Run-time error '11':\n\nDivision by zero"
            << QStringList{" .023283064365387", " 0", "0x 0000 0000", " 100", " 1073741824", "0x 4000 0000"}
            << QStringList{" .023283064365387", " 0", "0x 0000 0000", "", "", ""} << "0";
        QTest::newRow("48 bits above half the clock: hex step")
            << QStringList{"48", "100", "60", ""} << 6 << "Run-time error '6':\n\nOverflow"
            << QStringList{" 3.5527136788005E-07", " 168884986026394", "0x 4000 0000", " 100", " 1073741824", "0x 4000 0000"}
            << QStringList{" 3.5527136788005E-07", " 168884986026394", "", "", "", ""} << "60 NYQUIST!";
    }
    void failedRunIsReportedAndUnreachedOutputsEmptied() {
        QFETCH(QStringList, inputs);
        QFETCH(int, number);
        QFETCH(QString, report);
        QFETCH(QStringList, whileOpen);
        QFETCH(QStringList, after);
        QFETCH(QString, wanted);
        CalculateWith(kInitialInputs);
        QVERIFY(reports_.empty());

        CalculateWith(inputs);
        QCOMPARE(reports_.size(), std::size_t{1});
        QCOMPARE(reports_[0].number, number);
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
        auto closeBox = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return false;
            title = box->windowTitle();
            text = box->text();
            buttons = box->buttons().size();
            okOnly = box->standardButtons() == QMessageBox::Ok;
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
        QVERIFY(form_->isVisible());
        SetInput("BitSize", "32");
        ClickGo();
        QCOMPARE(Edit("NewNhex")->text(), QString("0x 4000 0000"));
    }

    // A caption fits when every line of it, laid out as the label lays it
    // out, has its advance within the box's width and its ink within the
    // box's height.
    void captionsFitTheirLabels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        for (const char* name : {"Label8", "Label1", "Label2", "Label5", "Label10", "Label9", "Label3", "Label4"}) {
            QTest::newRow(name) << name << 1;
        }
        QTest::newRow("Label7") << "Label7" << 2;
    }
    void captionsFitTheirLabels() {
        QFETCH(QString, name);
        QFETCH(int, lines);
        auto* label = form_->findChild<QLabel*>(name);
        QVERIFY(label != nullptr);
        QCOMPARE(label->wordWrap(), lines > 1);
        const QFontMetricsF metrics(label->font());

        QTextLayout layout(label->text(), label->font());
        QTextOption option;
        option.setWrapMode(label->wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal top = 0;
        int count = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(label->width());
            line.setPosition(QPointF(0, top));
            const QString words = label->text().mid(line.textStart(), line.textLength());
            QVERIFY2(metrics.horizontalAdvance(words.trimmed()) <= label->width(), qPrintable(words));
            const QRectF ink = metrics.tightBoundingRect(words).translated(0, top + line.ascent());
            QVERIFY2(ink.top() >= 0 && ink.bottom() <= label->height(), qPrintable(words));
            top += line.height();
            ++count;
        }
        layout.endLayout();
        QCOMPARE(count, lines);
    }

    void fieldsCarryTheirLabelsForScreenReaders() {
        QCOMPARE(Edit("Fclock")->accessibleName(), QString("Clock MHz"));
        QCOMPARE(Edit("Fwanted")->accessibleName(), QString("Wanted Frequency MHz"));
        QCOMPARE(BitSize()->accessibleName(), QString("DDS Resolution, Bits"));
        QCOMPARE(form_->findChild<QLabel*>("Label1")->buddy(), Edit("Fclock"));
        QCOMPARE(form_->findChild<QLabel*>("Label7")->buddy(), Edit("NewN"));
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
