// The start-up benchmark's reference: a bare Qt window with the calculator's
// controls, built the same way (the same classes at the same places with the
// same texts, then shown), with Qt's own look and nothing more.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string_view>

#include "action/fields.h"
#include "action/layout.h"

namespace {

using namespace quorvel::layout;

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QRect ToPixels(const TwipRect& place) {
    return QRect(Pixels(place.left), Pixels(place.top), Pixels(place.width), Pixels(place.height));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(ToQString(kWindowCaption));
    window.resize(ToPixels(kClientArea).size());
    for (const TextFieldControl& control : kTextFields) {
        auto* edit = new QLineEdit(ToQString(quorvel::InitialText(control.field)), &window);
        edit->setGeometry(ToPixels(control.place));
    }
    auto* bit_size = new QComboBox(&window);
    bit_size->setGeometry(ToPixels(kBitSizePlace));
    bit_size->setEditable(true);
    for (std::u16string_view entry : kBitSizeList) bit_size->addItem(ToQString(entry));
    bit_size->setEditText(ToQString(quorvel::InitialText(quorvel::Field::kBitSize)));
    auto* go = new QPushButton(ToQString(kGoCaption), &window);
    go->setGeometry(ToPixels(kGoPlace));
    go->hide();
    for (const RowLabelControl& control : kRowLabels) {
        auto* label = new QLabel(ToQString(quorvel::RowCaption(control.row)), &window);
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        label->setWordWrap(control.wraps);
        label->setGeometry(ToPixels(control.place));
    }
    auto* heading = new QLabel(ToQString(kHeadingCaption), &window);
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    heading->setGeometry(ToPixels(kHeadingPlace));
    window.show();
    return QApplication::exec();
}
