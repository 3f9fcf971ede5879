#pragma once
// A small window beside the calculator with one word's figures as text the
// keyboard and the mouse can select, and a button that copies them all.
// It is not modal: the calculator stays in use while it is open, and a new
// Calculate puts the new figures in it.

#include <QDialog>

class QPlainTextEdit;

namespace quorvel {

class FiguresPanel final : public QDialog {
    Q_OBJECT

public:
    explicit FiguresPanel(QWidget* parent);

    // Puts `figures` in the panel, sized to show them, and brings it up.
    void ShowFigures(const QString& figures);
    // Puts `figures` in the panel as it stands.
    void SetFigures(const QString& figures);

private slots:
    void Copy_Click();

private:
    QPlainTextEdit* text_ = nullptr;
};

}  // namespace quorvel
