#include "window/panel_buttons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "action/layout.h"
#include "window/qt_text.h"

namespace quorvel {

PanelButtons MakePanelButtons(QDialog* panel, const QString& copy_name) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Close, panel);
    box->button(QDialogButtonBox::Close)->setText(ToQString(layout::kCloseCaption));
    QPushButton* copy = box->addButton(ToQString(layout::kCopyAllCaption), QDialogButtonBox::ActionRole);
    copy->setObjectName(copy_name);
    copy->setAutoDefault(false);
    QObject::connect(box, &QDialogButtonBox::rejected, panel, &QDialog::reject);
    return {box, copy};
}

}  // namespace quorvel
