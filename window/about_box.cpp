#include "window/about_box.h"

#include <QMessageBox>
#include <QString>

namespace quorvel {
namespace {

const QString kAboutTitle = QStringLiteral("About Quorvel");

// Paragraphs of plain text: nothing in them is markup.
QString AboutText() {
    return QStringLiteral(
               "Quorvel %1\n"
               "\n"
               "A calculator of tuning words for direct digital synthesis.\n"
               "\n"
               "The words and frequencies come from the texts typed into the fields, in the "
               "calculator's own arithmetic of doubles. What a word really gives, in the word "
               "fields' tooltips, is worked out exactly, in rational arithmetic with the GMP "
               "library, from those same texts.\n"
               "\n"
               "Copyright (c) 2026 The Quorvel developers. Released under the MIT License: free "
               "to use, copy, change and pass on, with the copyright and licence notice, and "
               "without any warranty.")
        .arg(QStringLiteral(QUORVEL_DISPLAY_VERSION));
}

}  // namespace

void ShowAbout(QWidget* window) {
    QMessageBox box(QMessageBox::NoIcon, kAboutTitle, AboutText(), QMessageBox::Ok, window);
    box.setTextFormat(Qt::PlainText);
    box.setObjectName(QStringLiteral("About"));
    box.exec();
}

}  // namespace quorvel
