#include "window/figures_panel.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "action/layout.h"
#include "window/panel_buttons.h"
#include "window/qt_text.h"

namespace quorvel {
namespace {

// Room for the longest line without wrapping, and for the lines and the
// frame: every figure on a line of its own, however the font runs.
constexpr int kFrameAllowance = 24;
constexpr int kMinimumTextWidth = 320;

}  // namespace

FiguresPanel::FiguresPanel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FiguresPanel"));
    setWindowTitle(ToQString(layout::kFiguresTitle));
    setModal(false);
    // The calculator's face and colours, which a separate window does not
    // take from its parent by itself.
    setAttribute(Qt::WA_WindowPropagation);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("FiguresText"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);

    const PanelButtons buttons = MakePanelButtons(this, QStringLiteral("CopyFigures"));
    connect(buttons.copy, &QPushButton::clicked, this, &FiguresPanel::Copy_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons.box);
}

void FiguresPanel::ShowFigures(const QString& figures) {
    SetFigures(figures);
    const QFontMetrics metrics(text_->font());
    int width = kMinimumTextWidth;
    const QStringList lines = figures.split(QLatin1Char('\n'));
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    const int height = static_cast<int>(lines.size() + 1) * metrics.lineSpacing();
    text_->setMinimumSize(width + kFrameAllowance + text_->verticalScrollBar()->sizeHint().width(),
                          height + kFrameAllowance);
    adjustSize();
    show();
    raise();
    activateWindow();
    text_->setFocus();
}

void FiguresPanel::SetFigures(const QString& figures) { text_->setPlainText(figures); }

void FiguresPanel::Copy_Click() { QGuiApplication::clipboard()->setText(text_->toPlainText()); }

}  // namespace quorvel
