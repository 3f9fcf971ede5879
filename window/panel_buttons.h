// The row of buttons the figures and spectrum panels share.
#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;
class QPushButton;

namespace quorvel {

struct PanelButtons {
    QDialogButtonBox* box;
    QPushButton* copy;
};

// Copy All, named `copy_name`, and Close, which rejects the panel, with the
// layout's captions. Copy All is never the default button, so Enter in the
// panel does not copy; the panel connects it to its own Copy_Click.
PanelButtons MakePanelButtons(QDialog* panel, const QString& copy_name);

}  // namespace quorvel
