#pragma once
// The calculator's one window: four input fields, six output fields, the
// bit-size box and the Calculate button at fixed places, the reactions that
// clear the input highlight and reveal the button, and the Calculate action
// wired to the button.
//
// The window is itself the set of named fields the action works on: setting
// the text of a field here changes the control's text, and a change of an
// input field's text runs its reaction before SetText returns.

#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "window/calculate_action.h"
#include "window/error_reporter.h"
#include "window/fields.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace quorvel {

class Form1 final : public QWidget, public FieldAccess {
    Q_OBJECT

public:
    // Reports errors in a modal message box.
    explicit Form1(QWidget* parent = nullptr);
    explicit Form1(std::unique_ptr<ErrorReporter> reporter, QWidget* parent = nullptr);
    ~Form1() override;

    std::u16string Text(Field field) const override;
    void SetText(Field field, std::u16string_view text) override;

private slots:
    void Fclock_Change();
    void Fwanted_Change();
    void Ferror_Change();
    void Go_Click();

private:
    void CreateFields();
    void CreateBitSizeBox();
    void CreateGoButton();
    void CreateLabels();
    void SetFocusOrder();
    void ConnectHandlers();

    QLineEdit* TextField(Field field) const;
    QWidget* Control(Field field) const;

    std::unique_ptr<ErrorReporter> reporter_;
    CalculatorVariables vars_;
    QComboBox* bit_size_ = nullptr;
    // Indexed by Field; empty at BitSize, which is the combo box.
    std::array<QLineEdit*, kFieldCount> text_fields_{};
    QPushButton* go_ = nullptr;
};

}  // namespace quorvel
