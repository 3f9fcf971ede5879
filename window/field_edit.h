#pragma once
// A text field of the window. Every field shows the start of its text again
// when the focus leaves it, and marks an edge where its text is cut. An
// output field also draws a text that would not fit at its face in a
// narrower cut of that face, so a 48-bit word shows every digit in its
// field, and a double-click in it selects the whole number.

#include <QFont>
#include <QLineEdit>

namespace quorvel {

class FieldEdit final : public QLineEdit {
    Q_OBJECT

public:
    enum class Kind { kInput, kOutput };

    FieldEdit(const QString& text, Kind kind, QWidget* parent);

    // Whether the text runs past the left or the right edge of the field as
    // it is drawn now (asking the line edit where its text lies is not a
    // const call).
    bool CutAtLeft();
    bool CutAtRight();

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Text_Change();
    void FitText();
    QFont FittingCut(const QString& shown) const;
    QRect TextLane() const;
    void DrawCutCue(QPainter& painter, bool at_right) const;

    Kind kind_;
    // The face the field was given; FitText draws a narrower cut of it while
    // the text would not fit.
    QFont face_;
    bool fitting_ = false;
};

}  // namespace quorvel
