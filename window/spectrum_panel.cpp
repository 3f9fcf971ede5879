#include "window/spectrum_panel.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSvgWidget>
#include <QVBoxLayout>

#include "action/layout.h"
#include "window/panel_buttons.h"
#include "window/qt_text.h"

namespace quorvel {
namespace {

// The phase box starts at "all bits": no truncation.
constexpr int kAllPhaseBits = 0;
// Room for a few lines of figures under the sketch; the rest scrolls.
constexpr int kFiguresHeight = 180;
// Lightness below which the window's ground counts as dark.
constexpr int kDarkLightness = 128;

}  // namespace

SpectrumPanel::SpectrumPanel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SpectrumPanel"));
    setWindowTitle(QStringLiteral("Spectrum"));
    setModal(false);
    setAttribute(Qt::WA_WindowPropagation);

    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("SpectrumHeading"));
    heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    sketch_ = new QSvgWidget(this);
    sketch_->setObjectName(QStringLiteral("SpectrumSketch"));
    sketch_->setFixedSize(kSpectrumSvgWidth, kSpectrumSvgHeight);
    sketch_->setAccessibleName(QStringLiteral("Spectrum sketch"));

    phase_bits_ = new QSpinBox(this);
    phase_bits_->setObjectName(QStringLiteral("PhaseBits"));
    phase_bits_->setRange(kAllPhaseBits, kMaxSpectrumBits);
    phase_bits_->setSpecialValueText(QStringLiteral("all bits"));
    phase_bits_->setValue(kAllPhaseBits);
    harmonics_ = new QSpinBox(this);
    harmonics_->setObjectName(QStringLiteral("Harmonics"));
    harmonics_->setRange(1, static_cast<int>(kMaxSpectrumLines));
    harmonics_->setValue(kDefaultHarmonics);
    auto* boxes = new QFormLayout;
    boxes->addRow(QStringLiteral("&Phase bits P:"), phase_bits_);
    boxes->addRow(QStringLiteral("&Harmonics up to H:"), harmonics_);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("SpectrumText"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setMinimumHeight(kFiguresHeight);
    text_->setAccessibleName(QStringLiteral("Spectrum figures"));

    const PanelButtons buttons = MakePanelButtons(this, QStringLiteral("CopySpectrum"));

    connect(phase_bits_, &QSpinBox::valueChanged, this, &SpectrumPanel::PhaseBits_Change);
    connect(harmonics_, &QSpinBox::valueChanged, this, &SpectrumPanel::Harmonics_Change);
    connect(buttons.copy, &QPushButton::clicked, this, &SpectrumPanel::Copy_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(sketch_);
    layout->addLayout(boxes);
    layout->addWidget(text_);
    layout->addWidget(buttons.box);
}

void SpectrumPanel::ShowSubject(const std::optional<SpectrumSubject>& subject) {
    SetSubject(subject);
    adjustSize();
    show();
    raise();
    activateWindow();
    text_->setFocus();
}

void SpectrumPanel::SetSubject(const std::optional<SpectrumSubject>& subject) {
    subject_ = subject;
    Redraw();
}

void SpectrumPanel::PhaseBits_Change() { Redraw(); }
void SpectrumPanel::Harmonics_Change() { Redraw(); }
void SpectrumPanel::Copy_Click() { QGuiApplication::clipboard()->setText(text_->toPlainText()); }

void SpectrumPanel::Redraw() {
    if (!subject_) {
        heading_->clear();
        sketch_->load(QByteArray());
        sketch_->setAccessibleDescription(QString());
        text_->setPlainText(ToQString(layout::kNoFigures));
        return;
    }
    const bool dark = palette().color(QPalette::Window).lightness() < kDarkLightness;
    const SpectrumView view =
        ViewSpectrum(*subject_, phase_bits_->value(), harmonics_->value(), dark ? SvgTheme::kDark : SvgTheme::kLight);
    heading_->setText(Utf8ToQString(view.heading));
    sketch_->load(QByteArray::fromStdString(view.svg));
    sketch_->setAccessibleDescription(Utf8ToQString(view.alternative));
    text_->setPlainText(Utf8ToQString(view.figures));
}

}  // namespace quorvel
