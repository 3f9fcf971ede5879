#pragma once
// A small window beside the calculator with one word's spectrum: the
// sketch, the figures as selectable text with a button that copies them
// all, and boxes for the phase width and the highest harmonic that redraw
// it at once. Not modal; a new Calculate puts the word's new spectrum in it.

#include <QDialog>
#include <optional>

#include "action/spectrum_view.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QSvgWidget;

namespace quorvel {

class SpectrumPanel final : public QDialog {
    Q_OBJECT

public:
    explicit SpectrumPanel(QWidget* parent);

    // Puts the spectrum of `subject` in the panel and brings it up; nothing
    // says the last run did not reach the word.
    void ShowSubject(const std::optional<SpectrumSubject>& subject);
    // Puts it in the panel as it stands.
    void SetSubject(const std::optional<SpectrumSubject>& subject);

private slots:
    void PhaseBits_Change();
    void Harmonics_Change();
    void Copy_Click();

private:
    void Redraw();

    std::optional<SpectrumSubject> subject_;
    QLabel* heading_ = nullptr;
    QSvgWidget* sketch_ = nullptr;
    QSpinBox* phase_bits_ = nullptr;
    QSpinBox* harmonics_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
};

}  // namespace quorvel
