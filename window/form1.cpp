#include "window/form1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <QPushButton>
#include <QRect>
#include <QStringView>
#include <QStyleHints>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "window/field_write_log.h"
#include "window/word_details.h"

namespace quorvel {
namespace {

// Text passes between the controls and the calculation as UTF-16 code units,
// copied one for one: no decoding, so a byte-order mark or a lone surrogate
// the user typed reaches the calculation as it stands.
QString ToQString(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

std::u16string ToU16String(const QString& text) {
    const QStringView view(text);
    return std::u16string(view.utf16(), static_cast<std::size_t>(view.size()));
}

// Places and sizes are stated in twips, 15 to a pixel at 96 dots per inch.
// Qt's device-independent pixels are those 96-dpi pixels; its own high-DPI
// scaling takes care of other screens.
constexpr int kTwipsPerPixel = 15;

constexpr int Pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

QRect ToPixels(const TwipRect& place) {
    return QRect(Pixels(place.left), Pixels(place.top), Pixels(place.width), Pixels(place.height));
}

constexpr TwipRect kClientArea = {0, 0, 5415, 4995};
constexpr std::u16string_view kWindowCaption = u"Quorvel";

// Colours are 0x00BBGGRR: red is the low byte, blue the third.
constexpr std::uint32_t kLightPink = 0x00FFC0FF;
constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kBlue = 0x00FF0000;
constexpr std::uint32_t kGreen = 0x00008000;

QColor FromBgr(std::uint32_t bgr) {
    constexpr std::uint32_t kByte = 0xFF;
    return QColor(static_cast<int>(bgr & kByte), static_cast<int>((bgr >> 8) & kByte),
                  static_cast<int>((bgr >> 16) & kByte));
}

void SetColour(QWidget* control, QPalette::ColorRole role, std::uint32_t bgr) {
    QPalette palette = control->palette();
    palette.setColor(role, FromBgr(bgr));
    control->setPalette(palette);
}

// The window's face, then the faces drawn to its widths (Arial's metrics,
// which every caption is laid out to fit), in the order they are tried. A
// wider face such as DejaVu Sans cuts captions, so it only serves when none
// of these is installed.
constexpr std::array<std::u16string_view, 8> kWindowFamilies = {
    u"MS Sans Serif", u"Liberation Sans", u"Arimo",  u"Nimbus Sans",
    u"Nimbus Sans L", u"Arial",           u"Helvetica", u"TeX Gyre Heros",
};
constexpr std::u16string_view kGenericFamily = u"sans-serif";
constexpr double kWindowPoints = 8.25;
constexpr double kHeadingPoints = 9.75;

QString WindowFamily() {
    for (std::u16string_view family : kWindowFamilies) {
        const QString name = ToQString(family);
        if (QFontDatabase::hasFamily(name)) return name;
    }
    return ToQString(kGenericFamily);
}

QFont FontAt(double points) {
    QFont font(WindowFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

// The light system colours: window and buttons (239, 239, 239), black text,
// white fields, and Qt's light shades for frames and bevels.
constexpr std::uint32_t kSystemGrey = 0x00EFEFEF;
constexpr std::uint32_t kBlack = 0x00000000;
constexpr std::uint32_t kDisabledText = 0x00BEBEBE;
// Qt's light-theme highlight (48, 140, 198) darkened to (38, 112, 158), so
// that white selected text reads at 5.4:1 rather than 3.7:1.
constexpr std::uint32_t kHighlight = 0x009E7026;
constexpr int kLightFactor = 150;   // light bevel: the grey made 50% lighter
constexpr int kMidFactor = 130;     // mid shade
constexpr int kDarkFactor = 150;    // dark shade
constexpr int kShadowFactor = 135;  // shadow: the dark shade darker again
constexpr int kPlaceholderAlpha = 128;

}  // namespace

QFont WindowFont() { return FontAt(kWindowPoints); }

QPalette WindowPalette() {
    const QColor grey = FromBgr(kSystemGrey);
    const QColor black = FromBgr(kBlack);
    const QColor white = FromBgr(kWhite);
    const QColor dark = grey.darker(kDarkFactor);
    QPalette palette(black, grey, grey.lighter(kLightFactor), dark, grey.darker(kMidFactor), black, white, white,
                     grey);
    palette.setColor(QPalette::Shadow, dark.darker(kShadowFactor));
    palette.setColor(QPalette::Highlight, FromBgr(kHighlight));
    palette.setColor(QPalette::HighlightedText, white);
    QColor placeholder = black;
    placeholder.setAlpha(kPlaceholderAlpha);
    palette.setColor(QPalette::PlaceholderText, placeholder);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, FromBgr(kDisabledText));
    }
    palette.setColor(QPalette::Disabled, QPalette::Base, grey);
    return palette;
}

void UseWindowLookThroughout() {
    QApplication::setFont(WindowFont());
    QApplication::setPalette(WindowPalette());
}

namespace {

// How a text field looks at start.
enum class Look {
    kInput,   // pink until first edited
    kOutput,  // white
    kHex,     // white, bold blue text
    kSystem,  // the system's colours
};

void ApplyLook(QLineEdit* edit, Look look) {
    switch (look) {
        case Look::kInput:
            SetColour(edit, QPalette::Base, kLightPink);
            break;
        case Look::kOutput:
            SetColour(edit, QPalette::Base, kWhite);
            break;
        case Look::kHex: {
            SetColour(edit, QPalette::Base, kWhite);
            SetColour(edit, QPalette::Text, kBlue);
            QFont bold = edit->font();
            bold.setBold(true);
            edit->setFont(bold);
            break;
        }
        case Look::kSystem:
            break;
    }
}

// A caption that wraps onto more lines than one, its lines set at the
// spacing of the faces the window is laid out for (Arial's metrics: the
// baseline 0.905 em below the top, lines 1.149 em apart). Some faces with
// those widths carry a taller line spacing (Nimbus Sans: 1.57 em), which
// would push the second line out of its box.
class WrappedCaption final : public QLabel {
public:
    WrappedCaption(const QString& text, QWidget* parent) : QLabel(text, parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        static constexpr qreal kAscentEm = 0.905;
        static constexpr qreal kLineEm = 1.149;
        const qreal em = QFontInfo(font()).pixelSize();
        const QFontMetricsF metrics(font());
        QTextLayout layout(text(), font());
        QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal baseline = kAscentEm * em;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            line.setPosition(QPointF(0, baseline - metrics.ascent()));
            baseline += kLineEm * em;
        }
        layout.endLayout();
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        layout.draw(&painter, QPointF(0, 0));
    }
};

struct TextFieldControl {
    Field field;
    TwipRect place;
    Look look;
};

constexpr std::array<TextFieldControl, 9> kTextFields = {{
    {Field::kFclock, {2160, 480, 1815, 320}, Look::kInput},
    {Field::kFwanted, {2160, 840, 1815, 320}, Look::kInput},
    {Field::kNideal, {2160, 1200, 1335, 320}, Look::kOutput},
    {Field::kNhex, {3480, 1200, 1815, 320}, Look::kHex},
    {Field::kResol, {2160, 1560, 2055, 285}, Look::kSystem},
    {Field::kFerror, {2160, 2520, 1815, 320}, Look::kInput},
    {Field::kActualClock, {2160, 2880, 1815, 320}, Look::kOutput},
    {Field::kNewN, {2160, 3240, 1335, 320}, Look::kOutput},
    {Field::kNewNhex, {3480, 3240, 1815, 320}, Look::kHex},
}};

constexpr TwipRect kBitSizePlace = {2160, 120, 855, 315};
constexpr std::array<std::u16string_view, 2> kBitSizeList = {u"32", u"48"};

constexpr TwipRect kGoPlace = {1200, 4320, 2775, 495};
constexpr std::u16string_view kGoCaption = u"Calculate";

// The right-aligned label in front of each row; its caption is the row's.
struct RowLabelControl {
    const char* name;
    Field row;
    TwipRect place;
    bool wraps;
};

constexpr std::array<RowLabelControl, 8> kRowLabels = {{
    {"Label8", Field::kBitSize, {480, 120, 1575, 255}, false},
    {"Label1", Field::kFclock, {1080, 480, 975, 255}, false},
    {"Label2", Field::kFwanted, {120, 840, 1935, 255}, false},
    {"Label5", Field::kNideal, {1200, 1200, 855, 255}, false},
    {"Label10", Field::kResol, {840, 1560, 1215, 255}, false},
    {"Label3", Field::kFerror, {600, 2520, 1455, 255}, false},
    {"Label4", Field::kActualClock, {600, 2880, 1455, 255}, false},
    {"Label7", Field::kNewN, {360, 3240, 1575, 375}, true},
}};

// The centred heading of the correction section.
constexpr TwipRect kHeadingPlace = {120, 2160, 5175, 255};
constexpr std::u16string_view kHeadingCaption = u"Calculate new N given measured Frequency Error";

// Tab visits the controls in this order; Tab skips the button while it is
// hidden.
constexpr std::array<Field, 10> kFocusOrder = {
    Field::kFclock, Field::kFwanted, Field::kFerror,   Field::kActualClock, Field::kNideal,
    Field::kNhex,   Field::kNewN,    Field::kNewNhex,  Field::kBitSize,     Field::kResol,
};
constexpr Field kLastFieldBeforeGo = Field::kNewNhex;

// What a screen reader announces for a field: the caption of its row without
// the runs of blanks that align it on screen.
QString AccessibleName(Field field) {
    QString name = ToQString(RowCaption(field)).simplified();
    if (field == Field::kNhex || field == Field::kNewNhex) name += QStringLiteral(", hexadecimal");
    return name;
}

void EmptyOutputsNotWritten(FieldAccess& fields, const FieldWriteLog& log) {
    for (Field output : kOutputFields) {
        if (!log.Written(output)) fields.SetText(output, {});
    }
}

// What the user is told when the calculation stops on something other than a
// run-time error of the rules.
constexpr std::u16string_view kOutOfMemory = u"There is not enough memory to finish the calculation.";
constexpr std::u16string_view kUnexpectedFailure = u"The calculation stopped on an unexpected failure.";

// The hex fields' own context-menu entry.
constexpr std::u16string_view kCopyLiteralCaption = u"Copy as Plain Literal";

// Redrawing a field draws its whole text; with a long text every blink of
// the cursor costs a visible share of a processor, so from this length on the
// focused field's cursor stays on instead. No field this wide shows more
// than a few dozen characters.
constexpr qsizetype kSteadyCursorLength = 1000;

constexpr std::u16string_view kIconPath = u":/icons/quorvel.svg";

}  // namespace

Form1::Form1(QWidget* parent) : Form1(std::make_unique<MessageBoxReporter>(), &Calculate, parent) {}

Form1::Form1(std::unique_ptr<ErrorReporter> reporter, Calculation calculation, QWidget* parent)
    : QWidget(parent),
      reporter_(std::move(reporter)),
      calculation_(calculation),
      cursor_flash_time_(QGuiApplication::styleHints()->cursorFlashTime()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString(kWindowCaption));
    setWindowIcon(QIcon(ToQString(kIconPath)));
    // Set before the controls exist, so that every control starts from them.
    setFont(WindowFont());
    setPalette(WindowPalette());
    resize(ToPixels(kClientArea).size());

    CreateFields();
    CreateLabels();
    SetFocusOrder();
    SetMinimumToControls();
    // The initial texts are in place before the reactions are wired, so
    // putting them there raises none.
    ConnectHandlers();
    TextField(Field::kFclock)->setFocus();
}

Form1::~Form1() {
    // Hiding the window on its way out moves the focus; by then this is no
    // longer a Form1 that could react to it.
    disconnect(qApp, nullptr, this, nullptr);
    QGuiApplication::styleHints()->setCursorFlashTime(cursor_flash_time_);
}

void Form1::CreateFields() {
    for (const TextFieldControl& control : kTextFields) {
        auto* edit = new QLineEdit(ToQString(InitialText(control.field)), this);
        edit->setObjectName(QString::fromLatin1(FieldName(control.field)));
        edit->setGeometry(ToPixels(control.place));
        edit->setMaxLength(std::numeric_limits<int>::max());
        ApplyLook(edit, control.look);
        text_fields_[static_cast<std::size_t>(control.field)] = edit;
    }
    CreateBitSizeBox();
    CreateGoButton();
}

void Form1::CreateBitSizeBox() {
    // Any typed text is accepted as it stands: no completion from the list,
    // and Enter adds nothing to the list.
    bit_size_ = new QComboBox(this);
    bit_size_->setObjectName(QString::fromLatin1(FieldName(Field::kBitSize)));
    bit_size_->setGeometry(ToPixels(kBitSizePlace));
    bit_size_->setEditable(true);
    bit_size_->setInsertPolicy(QComboBox::NoInsert);
    bit_size_->setCompleter(nullptr);
    bit_size_->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    for (std::u16string_view entry : kBitSizeList) bit_size_->addItem(ToQString(entry));
    bit_size_->setEditText(ToQString(InitialText(Field::kBitSize)));
    SetColour(bit_size_, QPalette::Base, kWhite);
    // A wheel turned over the box while the focus is elsewhere would change
    // the width unseen: the box neither takes the focus from the wheel nor
    // steps without it (eventFilter).
    bit_size_->setFocusPolicy(Qt::StrongFocus);
    bit_size_->installEventFilter(this);
}

void Form1::CreateGoButton() {
    // Not the default button, so Enter in a field presses nothing; auto-default,
    // so Enter presses it when it has the focus, as Space does. Outside a
    // dialog an auto-default button never becomes the default.
    go_ = new QPushButton(ToQString(kGoCaption), this);
    go_->setObjectName(QStringLiteral("Go"));
    go_->setGeometry(ToPixels(kGoPlace));
    go_->setAutoDefault(true);
    go_->setDefault(false);
    go_->hide();
}

void Form1::CreateLabels() {
    for (const RowLabelControl& control : kRowLabels) {
        QLabel* label = control.wraps ? new WrappedCaption(ToQString(RowCaption(control.row)), this)
                                      : new QLabel(ToQString(RowCaption(control.row)), this);
        label->setObjectName(QString::fromLatin1(control.name));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        label->setWordWrap(control.wraps);
        label->setGeometry(ToPixels(control.place));
        label->setBuddy(Control(control.row));
    }
    for (Field field : kAllFields) Control(field)->setAccessibleName(AccessibleName(field));

    auto* heading = new QLabel(ToQString(kHeadingCaption), this);
    heading->setObjectName(QStringLiteral("Label9"));
    heading->setTextFormat(Qt::PlainText);
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    heading->setFont(FontAt(kHeadingPoints));
    SetColour(heading, QPalette::WindowText, kGreen);
    heading->setGeometry(ToPixels(kHeadingPlace));
}

void Form1::SetFocusOrder() {
    QWidget* previous = nullptr;
    for (Field field : kFocusOrder) {
        QWidget* control = Control(field);
        if (previous != nullptr) setTabOrder(previous, control);
        previous = control;
        if (field == kLastFieldBeforeGo) {
            setTabOrder(previous, go_);
            previous = go_;
        }
    }
}

void Form1::ConnectHandlers() {
    connect(TextField(Field::kFclock), &QLineEdit::textChanged, this, &Form1::Fclock_Change);
    connect(TextField(Field::kFwanted), &QLineEdit::textChanged, this, &Form1::Fwanted_Change);
    connect(TextField(Field::kFerror), &QLineEdit::textChanged, this, &Form1::Ferror_Change);
    connect(go_, &QPushButton::clicked, this, &Form1::Go_Click);

    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        connect(edit, &QLineEdit::textChanged, this, &Form1::Field_FocusOrTextChange);
    }
    connect(qApp, &QApplication::focusChanged, this, &Form1::Field_FocusOrTextChange);
    for (Field hex : {Field::kNhex, Field::kNewNhex}) {
        TextField(hex)->installEventFilter(this);
        TextField(hex)->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    connect(TextField(Field::kNhex), &QLineEdit::customContextMenuRequested, this, &Form1::Nhex_ContextMenu);
    connect(TextField(Field::kNewNhex), &QLineEdit::customContextMenuRequested, this,
            &Form1::NewNhex_ContextMenu);
}

// The window is as small as its controls allow, with the margin that its
// left- and topmost controls keep from its edges on the far sides too; the
// hidden button counts.
void Form1::SetMinimumToControls() {
    QRect needed;
    for (const QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        needed = needed.united(control->geometry());
    }
    setMinimumSize(needed.right() + 1 + needed.left(), needed.bottom() + 1 + needed.top());
}

QLineEdit* Form1::TextField(Field field) const { return text_fields_[static_cast<std::size_t>(field)]; }

QWidget* Form1::Control(Field field) const {
    if (field == Field::kBitSize) return bit_size_;
    return TextField(field);
}

std::u16string Form1::Text(Field field) const {
    if (field == Field::kBitSize) return ToU16String(bit_size_->currentText());
    return ToU16String(TextField(field)->text());
}

void Form1::SetText(Field field, std::u16string_view text) {
    SetTextFromStart(field == Field::kBitSize ? bit_size_->lineEdit() : TextField(field), text);
}

// A field the program writes shows the start of its text, where the most
// significant digits are and the number comes before any marker.
void Form1::SetTextFromStart(QLineEdit* edit, std::u16string_view text) {
    edit->setText(ToQString(text));
    edit->setCursorPosition(0);
}

void Form1::Fclock_Change() {
    SetColour(TextField(Field::kFclock), QPalette::Base, kWhite);
    go_->show();
}

void Form1::Fwanted_Change() {
    SetColour(TextField(Field::kFwanted), QPalette::Base, kWhite);
    go_->show();
}

void Form1::Ferror_Change() { SetColour(TextField(Field::kFerror), QPalette::Base, kWhite); }

// Whatever stops the calculation is reported, the fields as the failed run
// left them; then the outputs it did not reach are emptied and the window,
// with everything typed, lives on.
void Form1::Go_Click() {
    FieldWriteLog fields(*this);
    std::optional<QString> report;
    try {
        calculation_(fields, vars_);
    } catch (const RunTimeError& error) {
        report = ReportText(error);
    } catch (const std::bad_alloc&) {
        report = ToQString(kOutOfMemory);
    } catch (const std::length_error&) {
        report = ToQString(kOutOfMemory);
    } catch (...) {
        report = ToQString(kUnexpectedFailure);
    }
    // The figures go with the texts the run wrote, before any report.
    ShowWordFigures(fields);
    if (!report) return;
    reporter_->Report(this, *report);
    EmptyOutputsNotWritten(*this, fields);
}

// Each word field's tooltip and accessible description tell what its word
// really gives. A field the run did not write gets none, so no figure of an
// earlier run stands beside the new texts.
void Form1::ShowWordFigures(const FieldWriteLog& log) {
    const WrittenFields written = WrittenIn(log);
    RunFigures figures;
    try {
        figures = FiguresOfRun(*this, vars_, written, figure_calculator_);
    } catch (...) {
        // The figures are an aid: without the memory for them the fields go
        // without, and the calculation's own texts stand.
        figures = {};
    }
    for (Field field : {Field::kNideal, Field::kNhex, Field::kNewN, Field::kNewNhex}) {
        const QString tip = ToQString(WordFieldTip(field, figures, written));
        TextField(field)->setToolTip(tip);
        TextField(field)->setAccessibleDescription(tip);
    }
}

void Form1::Nhex_ContextMenu(const QPoint& position) { ShowHexContextMenu(TextField(Field::kNhex), position); }

void Form1::NewNhex_ContextMenu(const QPoint& position) {
    ShowHexContextMenu(TextField(Field::kNewNhex), position);
}

// The usual entries, then one that copies the word as a plain literal
// ("0x40000000"), which source code and register tools take as it stands.
void Form1::ShowHexContextMenu(QLineEdit* edit, const QPoint& position) {
    const std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    menu->addSeparator();
    QAction* copy = menu->addAction(ToQString(kCopyLiteralCaption));
    const std::optional<std::u16string> literal = PlainHexLiteral(ToU16String(edit->text()));
    copy->setEnabled(literal.has_value());
    if (literal) {
        connect(copy, &QAction::triggered, [text = ToQString(*literal)] { QGuiApplication::clipboard()->setText(text); });
    }
    menu->exec(edit->mapToGlobal(position));
}

// The focused field's cursor blinks unless the field's text is long.
void Form1::Field_FocusOrTextChange() {
    auto* focused = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    const bool long_text = focused != nullptr && isAncestorOf(focused) && focused->text().size() >= kSteadyCursorLength;
    const int flash_time = long_text ? 0 : cursor_flash_time_;
    if (QGuiApplication::styleHints()->cursorFlashTime() != flash_time) {
        QGuiApplication::styleHints()->setCursorFlashTime(flash_time);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // The bit-size box steps on the wheel only when it has the focus.
    if (watched == bit_size_ && event->type() == QEvent::Wheel) return !bit_size_->hasFocus();
    // A double-click in a hex field selects its whole word, "0x" and every
    // group, not the one group under the pointer.
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            edit->selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quorvel
