#include "window/form1.h"

#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRect>
#include <QStringView>
#include <cstdint>
#include <limits>

#include "window/field_write_log.h"

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

// The window's font is MS Sans Serif where the system has it; elsewhere
// Liberation Sans (Debian's fonts-liberation2), or failing that whatever
// sans-serif face the system offers, stands in at the same point sizes.
constexpr double kWindowPoints = 8.25;
constexpr double kHeadingPoints = 9.75;
constexpr std::u16string_view kPlatformFamily = u"MS Sans Serif";
constexpr std::u16string_view kStandInFamily = u"Liberation Sans";

QFont WindowFont(double points) {
    const QString platform_family = ToQString(kPlatformFamily);
    QFont font(QFontDatabase::hasFamily(platform_family) ? platform_family : ToQString(kStandInFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

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

}  // namespace

Form1::Form1(QWidget* parent) : Form1(std::make_unique<MessageBoxReporter>(), parent) {}

Form1::Form1(std::unique_ptr<ErrorReporter> reporter, QWidget* parent)
    : QWidget(parent), reporter_(std::move(reporter)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString(kWindowCaption));
    setFont(WindowFont(kWindowPoints));
    resize(ToPixels(kClientArea).size());

    CreateFields();
    CreateLabels();
    SetFocusOrder();
    // The initial texts are in place before the reactions are wired, so
    // putting them there raises none.
    ConnectHandlers();
    TextField(Field::kFclock)->setFocus();
}

Form1::~Form1() = default;

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
}

void Form1::CreateGoButton() {
    // Neither default nor auto-default: Enter in a field presses nothing.
    go_ = new QPushButton(ToQString(kGoCaption), this);
    go_->setObjectName(QStringLiteral("Go"));
    go_->setGeometry(ToPixels(kGoPlace));
    go_->setAutoDefault(false);
    go_->setDefault(false);
    go_->hide();
}

void Form1::CreateLabels() {
    for (const RowLabelControl& control : kRowLabels) {
        auto* label = new QLabel(ToQString(RowCaption(control.row)), this);
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
    heading->setFont(WindowFont(kHeadingPoints));
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
    if (field == Field::kBitSize) {
        bit_size_->setEditText(ToQString(text));
    } else {
        TextField(field)->setText(ToQString(text));
    }
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

void Form1::Go_Click() {
    FieldWriteLog fields(*this);
    try {
        Calculate(fields, vars_);
    } catch (const RunTimeError& error) {
        // The report shows the fields as the failed run left them; the
        // window lives on after it.
        reporter_->Report(this, error);
        EmptyOutputsNotWritten(*this, fields);
    }
}

}  // namespace quorvel
