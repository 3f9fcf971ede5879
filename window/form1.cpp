#include "window/form1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRect>
#include <QStringView>
#include <QStyleHints>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <optional>

#include "action/accessible_text.h"
#include "action/constant_text.h"
#include "action/field_write_log.h"
#include "action/layout.h"
#include "action/run_report.h"
#include "action/word_details.h"
#include "window/about_box.h"
#include "window/accessibility.h"
#include "window/field_edit.h"
#include "window/figures_panel.h"
#include "window/look.h"
#include "window/qt_text.h"
#include "window/spectrum_panel.h"

namespace quorvel {
namespace {

using namespace layout;

QRect ToPixels(const TwipRect& place) {
    return QRect(Pixels(place.left), Pixels(place.top), Pixels(place.width), Pixels(place.height));
}

// The word fields' entry that opens the figures panel, and its keys: Alt+Enter
// opens what an item holds in most desktops' conventions.
constexpr std::array<QKeyCombination, 2> kShowFiguresKeys = {Qt::ALT | Qt::Key_Return, Qt::ALT | Qt::Key_Enter};
constexpr std::array<Field, 4> kWordFields = {Field::kNideal, Field::kNhex, Field::kNewN, Field::kNewNhex};

// The word fields' key that opens the spectrum panel.
constexpr QKeyCombination kShowSpectrumKey = Qt::CTRL | Qt::SHIFT | Qt::Key_S;

// Redrawing a field draws its whole text; with a long text every blink of
// the cursor costs a visible share of a processor, so from this length on the
// focused field's cursor stays on instead. No field this wide shows more
// than a few dozen characters.
constexpr qsizetype kSteadyCursorLength = 1000;

// The window's own menu, on its background, and its key.
constexpr std::u16string_view kAboutCaption = u"About Quorvel";
constexpr Qt::Key kAboutKey = Qt::Key_F1;

FieldEdit::Kind KindOf(Field field) {
    const bool output = std::find(kOutputFields.begin(), kOutputFields.end(), field) != kOutputFields.end();
    return output ? FieldEdit::Kind::kOutput : FieldEdit::Kind::kInput;
}

}  // namespace

Form1::Form1(QWidget* parent) : Form1(std::make_unique<MessageBoxReporter>(), &Calculate, parent) {}

Form1::Form1(std::unique_ptr<ErrorReporter> reporter, Calculation calculation, QWidget* parent)
    : QWidget(parent),
      reporter_(std::move(reporter)),
      calculation_(calculation),
      cursor_flash_time_(QGuiApplication::styleHints()->cursorFlashTime()) {
    InstallAccessibleInterfaces();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString(kWindowCaption));
    // Set before the controls exist, so that every control starts from them.
    setFont(WindowFont());
    setPalette(WindowPalette());
    resize(ToPixels(kClientArea).size());

    CreateFields();
    CreateLabels();
    CreateAboutAction();
    SetFocusOrder();
    SetMinimumToControls();
    // The initial texts are in place before the reactions are wired, so
    // putting them there raises none.
    ConnectHandlers();
    Control(kInitialFocus)->setFocus();
}

Form1::~Form1() {
    // Hiding the window on its way out moves the focus; by then this is no
    // longer a Form1 that could react to it.
    disconnect(qApp, nullptr, this, nullptr);
    QGuiApplication::styleHints()->setCursorFlashTime(cursor_flash_time_);
}

void Form1::CreateFields() {
    for (const TextFieldControl& control : kTextFields) {
        auto* edit = new FieldEdit(ToQString(InitialText(control.field)), KindOf(control.field), this);
        edit->setObjectName(QString::fromLatin1(FieldName(control.field)));
        edit->setGeometry(ToPixels(control.place));
        edit->setMaxLength(std::numeric_limits<int>::max());
        ApplyLook(edit, control.look);
        text_fields_[static_cast<std::size_t>(control.field)] = edit;
    }
    CreateBitSizeBox();
    CreateGoButton();
}

// Right-click on the window's background (a caption, the grey) or F1 offers
// the About box; the fields keep their own menus.
void Form1::CreateAboutAction() {
    about_ = new QAction(ToQString(kAboutCaption), this);
    about_->setShortcut(QKeySequence(kAboutKey));
    addAction(about_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
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
    go_->setObjectName(QString::fromLatin1(kGoName));
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
        label->setAccessibleName(ToQString(SpokenCaption(RowCaption(control.row))));
    }
    for (Field field : kAllFields) SetAccessibleTexts(Control(field), field);

    auto* heading = new QLabel(ToQString(kHeadingCaption), this);
    heading->setObjectName(QString::fromLatin1(kHeadingName));
    heading->setTextFormat(Qt::PlainText);
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    heading->setFont(HeadingFont(font()));
    SetColour(heading, QPalette::WindowText, kGreen);
    heading->setGeometry(ToPixels(kHeadingPlace));
    heading->setAccessibleName(ToQString(SpokenCaption(kHeadingCaption)));
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
    for (Field word : kWordFields) TextField(word)->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TextField(Field::kNideal), &QLineEdit::customContextMenuRequested, this, &Form1::Nideal_ContextMenu);
    connect(TextField(Field::kNhex), &QLineEdit::customContextMenuRequested, this, &Form1::Nhex_ContextMenu);
    connect(TextField(Field::kNewN), &QLineEdit::customContextMenuRequested, this, &Form1::NewN_ContextMenu);
    connect(TextField(Field::kNewNhex), &QLineEdit::customContextMenuRequested, this,
            &Form1::NewNhex_ContextMenu);
    connect(about_, &QAction::triggered, this, &Form1::About_Click);
    CreateFiguresActions();
    connect(FiguresAction(Field::kNideal), &QAction::triggered, this, &Form1::Nideal_ShowFigures);
    connect(FiguresAction(Field::kNhex), &QAction::triggered, this, &Form1::Nhex_ShowFigures);
    connect(FiguresAction(Field::kNewN), &QAction::triggered, this, &Form1::NewN_ShowFigures);
    connect(FiguresAction(Field::kNewNhex), &QAction::triggered, this, &Form1::NewNhex_ShowFigures);
    CreateSpectrumActions();
    connect(spectrum_actions_[static_cast<std::size_t>(Field::kNideal)], &QAction::triggered, this,
            &Form1::Nideal_ShowSpectrum);
    connect(spectrum_actions_[static_cast<std::size_t>(Field::kNhex)], &QAction::triggered, this,
            &Form1::Nhex_ShowSpectrum);
    connect(spectrum_actions_[static_cast<std::size_t>(Field::kNewN)], &QAction::triggered, this,
            &Form1::NewN_ShowSpectrum);
    connect(spectrum_actions_[static_cast<std::size_t>(Field::kNewNhex)], &QAction::triggered, this,
            &Form1::NewNhex_ShowSpectrum);
}

// Like the figures' actions: one per word field, enabled once a run wrote it.
void Form1::CreateSpectrumActions() {
    for (Field word : kWordFields) {
        auto* action = new QAction(ToQString(kShowSpectrumCaption), TextField(word));
        action->setShortcut(QKeySequence(kShowSpectrumKey));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setEnabled(false);
        TextField(word)->addAction(action);
        spectrum_actions_[static_cast<std::size_t>(word)] = action;
    }
}

// Each word field carries its own action, so that its keys work while that
// field has the focus and its menu shows them; there is nothing to show
// until a run has written the field.
void Form1::CreateFiguresActions() {
    for (Field word : kWordFields) {
        auto* action = new QAction(ToQString(kShowFiguresCaption), TextField(word));
        action->setShortcuts({QKeySequence(kShowFiguresKeys[0]), QKeySequence(kShowFiguresKeys[1])});
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setEnabled(false);
        TextField(word)->addAction(action);
        figures_actions_[static_cast<std::size_t>(word)] = action;
    }
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
    const std::optional<std::u16string> report = CalculateForReport(fields, vars_, calculation_);
    // The figures go with the texts the run wrote, before any report.
    ShowWordFigures(fields);
    if (!report) return;
    reporter_->Report(this, ToQString(*report));
    EmptyOutputsNotWritten(*this, fields);
}

// Each word field's tooltip tells what its word really gives, and so does its
// accessible description after what the field holds. A field the run did not
// write gets no figures, so none of an earlier run stands beside the new
// texts.
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
    for (Field field : kWordFields) {
        const QString tip = ToQString(WordFieldTip(field, figures, written));
        TextField(field)->setToolTip(tip);
        TextField(field)->setAccessibleDescription(ToQString(AccessibleDescription(field, ToU16String(tip))));
        figures_[static_cast<std::size_t>(field)] = ToQString(WordFieldFigures(field, figures, written));
        constants_[static_cast<std::size_t>(field)] = ToQString(
            HexFieldConstant(field, ToU16String(TextField(field)->text()), figures, written, vars_.Bits));
        FiguresAction(field)->setEnabled(!tip.isEmpty());
        spectrum_subjects_[static_cast<std::size_t>(field)] = SpectrumSubjectOf(field, figures, written, vars_.Bits);
        spectrum_actions_[static_cast<std::size_t>(field)]->setEnabled(!tip.isEmpty());
    }
    if (spectrum_panel_ != nullptr && spectrum_panel_->isVisible()) {
        spectrum_panel_->SetSubject(spectrum_subjects_[static_cast<std::size_t>(spectrum_panel_field_)]);
    }
    // An open panel follows the runs; one the run did not reach says so.
    if (figures_panel_ != nullptr && figures_panel_->isVisible()) {
        const QString& shown = figures_[static_cast<std::size_t>(figures_panel_field_)];
        figures_panel_->SetFigures(shown.isEmpty() ? ToQString(kNoFigures) : shown);
    }
}

QAction* Form1::FiguresAction(Field field) const { return figures_actions_[static_cast<std::size_t>(field)]; }

void Form1::About_Click() { ShowAbout(this); }

void Form1::Nideal_ContextMenu(const QPoint& position) { ShowWordContextMenu(Field::kNideal, position); }
void Form1::Nhex_ContextMenu(const QPoint& position) { ShowWordContextMenu(Field::kNhex, position); }
void Form1::NewN_ContextMenu(const QPoint& position) { ShowWordContextMenu(Field::kNewN, position); }
void Form1::NewNhex_ContextMenu(const QPoint& position) { ShowWordContextMenu(Field::kNewNhex, position); }

void Form1::Nideal_ShowFigures() { ShowFiguresPanel(Field::kNideal); }
void Form1::Nhex_ShowFigures() { ShowFiguresPanel(Field::kNhex); }
void Form1::NewN_ShowFigures() { ShowFiguresPanel(Field::kNewN); }
void Form1::NewNhex_ShowFigures() { ShowFiguresPanel(Field::kNewNhex); }

void Form1::Nideal_ShowSpectrum() { ShowSpectrumPanel(Field::kNideal); }
void Form1::Nhex_ShowSpectrum() { ShowSpectrumPanel(Field::kNhex); }
void Form1::NewN_ShowSpectrum() { ShowSpectrumPanel(Field::kNewN); }
void Form1::NewNhex_ShowSpectrum() { ShowSpectrumPanel(Field::kNewNhex); }

// The usual entries; on a hex field one that copies the word as a plain
// literal ("0x40000000"), which source code and register tools take as it
// stands, and one that copies it as a C constant with what it gives; then
// the one that opens the word's figures.
void Form1::ShowWordContextMenu(Field field, const QPoint& position) {
    QLineEdit* edit = TextField(field);
    const std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    menu->addSeparator();
    if (field == Field::kNhex || field == Field::kNewNhex) {
        QAction* copy = menu->addAction(ToQString(kCopyLiteralCaption));
        const std::optional<std::u16string> literal = PlainHexLiteral(ToU16String(edit->text()));
        copy->setEnabled(literal.has_value());
        if (literal) {
            connect(copy, &QAction::triggered,
                    [text = ToQString(*literal)] { QGuiApplication::clipboard()->setText(text); });
        }
        // The run's word as a C constant, while the field still holds a word.
        QAction* copy_constant = menu->addAction(ToQString(kCopyConstantCaption));
        const QString& constant = constants_[static_cast<std::size_t>(field)];
        copy_constant->setEnabled(literal.has_value() && !constant.isEmpty());
        connect(copy_constant, &QAction::triggered, [constant] { QGuiApplication::clipboard()->setText(constant); });
    }
    menu->addAction(FiguresAction(field));
    menu->addAction(spectrum_actions_[static_cast<std::size_t>(field)]);
    menu->exec(edit->mapToGlobal(position));
}

void Form1::ShowFiguresPanel(Field field) {
    if (figures_panel_ == nullptr) figures_panel_ = new FiguresPanel(this);
    figures_panel_field_ = field;
    figures_panel_->ShowFigures(figures_[static_cast<std::size_t>(field)]);
}

void Form1::ShowSpectrumPanel(Field field) {
    if (spectrum_panel_ == nullptr) spectrum_panel_ = new SpectrumPanel(this);
    spectrum_panel_field_ = field;
    spectrum_panel_->ShowSubject(spectrum_subjects_[static_cast<std::size_t>(field)]);
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

// The desktop shows the icon whenever it arrives. Drawing its seven sizes
// takes longer than building every control, so the window asks for it once
// it has been drawn the first time, rather than before it shows.
void Form1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (icon_asked_) return;
    icon_asked_ = true;
    QTimer::singleShot(0, this, &Form1::Window_FirstDrawn);
}

void Form1::Window_FirstDrawn() { setWindowIcon(WindowIcon()); }

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // The bit-size box steps on the wheel only when it has the focus.
    if (watched == bit_size_ && event->type() == QEvent::Wheel) return !bit_size_->hasFocus();
    return QWidget::eventFilter(watched, event);
}

}  // namespace quorvel
