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
#include <optional>
#include <string>
#include <string_view>

#include "action/calculate_action.h"
#include "action/fields.h"
#include "action/run_report.h"
#include "action/spectrum_view.h"
#include "core/exact_figures.h"
#include "window/error_reporter.h"

class QAction;
class QComboBox;
class QLineEdit;
class QPoint;
class QPushButton;

namespace quorvel {

class FieldWriteLog;
class FiguresPanel;
class SpectrumPanel;

class Form1 final : public QWidget, public FieldAccess {
    Q_OBJECT

public:
    // Reports errors in a modal message box.
    explicit Form1(QWidget* parent = nullptr);
    explicit Form1(std::unique_ptr<ErrorReporter> reporter, Calculation calculation = &Calculate,
                   QWidget* parent = nullptr);
    ~Form1() override;

    std::u16string Text(Field field) const override;
    void SetText(Field field, std::u16string_view text) override;

private slots:
    void Fclock_Change();
    void Fwanted_Change();
    void Ferror_Change();
    void Go_Click();
    void Field_FocusOrTextChange();
    void Nideal_ContextMenu(const QPoint& position);
    void Nhex_ContextMenu(const QPoint& position);
    void NewN_ContextMenu(const QPoint& position);
    void NewNhex_ContextMenu(const QPoint& position);
    void About_Click();
    void Nideal_ShowFigures();
    void Nhex_ShowFigures();
    void NewN_ShowFigures();
    void NewNhex_ShowFigures();
    void Window_FirstDrawn();
    void Nideal_ShowSpectrum();
    void Nhex_ShowSpectrum();
    void NewN_ShowSpectrum();
    void NewNhex_ShowSpectrum();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateFields();
    void CreateBitSizeBox();
    void CreateGoButton();
    void CreateAboutAction();
    void CreateLabels();
    void SetFocusOrder();
    void ConnectHandlers();
    void SetMinimumToControls();
    static void SetTextFromStart(QLineEdit* edit, std::u16string_view text);
    void ShowWordFigures(const FieldWriteLog& log);
    void CreateFiguresActions();
    void ShowWordContextMenu(Field field, const QPoint& position);
    void ShowFiguresPanel(Field field);
    void CreateSpectrumActions();
    void ShowSpectrumPanel(Field field);

    QLineEdit* TextField(Field field) const;
    QAction* FiguresAction(Field field) const;
    QWidget* Control(Field field) const;

    std::unique_ptr<ErrorReporter> reporter_;
    Calculation calculation_;
    // The cursor's blink period when the window opened (0: no blinking).
    int cursor_flash_time_;
    CalculatorVariables vars_;
    // Kept between runs so that its big numbers keep their storage; with
    // short forms, which the tooltips and the figures panel show.
    WordFigureCalculator figure_calculator_{ShortForms::kGiven};
    QComboBox* bit_size_ = nullptr;
    // Indexed by Field; empty at BitSize, which is the combo box.
    std::array<QLineEdit*, kFieldCount> text_fields_{};
    QPushButton* go_ = nullptr;
    QAction* about_ = nullptr;
    // The word fields' figures as the panel shows them, indexed by Field;
    // the action that opens the panel on each, from its menu or the keyboard.
    std::array<QString, kFieldCount> figures_;
    // The hex word fields' words as C constants after the last run, indexed by Field.
    std::array<QString, kFieldCount> constants_;
    std::array<QAction*, kFieldCount> figures_actions_{};
    FiguresPanel* figures_panel_ = nullptr;
    Field figures_panel_field_ = Field::kNideal;
    // Whether the window has asked for its icon (paintEvent).
    bool icon_asked_ = false;
    // The word fields' spectrum subjects after the last run, indexed by
    // Field, and the action that opens the spectrum panel on each.
    std::array<std::optional<SpectrumSubject>, kFieldCount> spectrum_subjects_;
    std::array<QAction*, kFieldCount> spectrum_actions_{};
    SpectrumPanel* spectrum_panel_ = nullptr;
    Field spectrum_panel_field_ = Field::kNideal;
};

}  // namespace quorvel
