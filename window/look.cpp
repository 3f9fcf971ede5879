#include "window/look.h"

#include <QApplication>
#include <QColor>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QStringView>
#include <QTextLayout>
#include <array>
#include <string_view>

namespace quorvel {
namespace {

using namespace layout;

QString ToQString(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

QColor FromBgr(std::uint32_t bgr) {
    constexpr std::uint32_t kByte = 0xFF;
    return QColor(static_cast<int>(bgr & kByte), static_cast<int>((bgr >> 8) & kByte),
                  static_cast<int>((bgr >> 16) & kByte));
}

// A family as the font database lists it, less the foundry it adds where two
// offer the face: "Nimbus Sans [urw]" -> "Nimbus Sans".
QStringView WithoutFoundry(const QString& listed) {
    const qsizetype bracket = listed.indexOf(QLatin1String(" ["));
    return bracket < 0 ? QStringView(listed) : QStringView(listed).left(bracket);
}

// The installed families are listed once and the faces looked up in the
// list: asking the font database for each face would run the system's
// substitution rules for every face that is not there.
QString WindowFamily() {
    const QStringList installed = QFontDatabase::families();
    for (std::u16string_view family : kWindowFamilies) {
        const QString name = ToQString(family);
        for (const QString& listed : installed) {
            if (WithoutFoundry(listed).compare(name, Qt::CaseInsensitive) == 0) return name;
        }
    }
    return ToQString(kGenericFamily);
}

// Qt's light shades for frames and bevels, from the system grey.
constexpr int kLightFactor = 150;   // light bevel: the grey made 50% lighter
constexpr int kMidFactor = 130;     // mid shade
constexpr int kDarkFactor = 150;    // dark shade
constexpr int kShadowFactor = 135;  // shadow: the dark shade darker again
constexpr int kPlaceholderAlpha = 128;

// The icon's pictures and the sizes each is drawn at: one for each small
// size, whose few pixels a scaled-down drawing would smear, and the
// scalable one for the sizes desktops ask for beyond.
struct IconPicture {
    std::u16string_view path;
    int size;
};
constexpr std::array<IconPicture, 7> kIconPictures = {{
    {u":/icons/quorvel-16.svg", 16},
    {u":/icons/quorvel-24.svg", 24},
    {u":/icons/quorvel-32.svg", 32},
    {u":/icons/quorvel.svg", 48},
    {u":/icons/quorvel.svg", 64},
    {u":/icons/quorvel.svg", 128},
    {u":/icons/quorvel.svg", 256},
}};

}  // namespace

QFont WindowFont() {
    QFont font(WindowFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kWindowPoints);
    return font;
}

QFont HeadingFont(QFont window_font) {
    window_font.setPointSizeF(kHeadingPoints);
    return window_font;
}

QPalette WindowPalette() {
    const QColor grey = FromBgr(kSystemGrey);
    const QColor black = FromBgr(kBlack);
    const QColor white = FromBgr(kWhite);
    const QColor dark = grey.darker(kDarkFactor);
    QPalette palette(black, grey, grey.lighter(kLightFactor), dark, grey.darker(kMidFactor), black, white, white,
                     grey);
    palette.setColor(QPalette::Shadow, dark.darker(kShadowFactor));
    palette.setColor(QPalette::Highlight, FromBgr(kHighlight));
    palette.setColor(QPalette::HighlightedText, white);
    QColor placeholder = black;
    placeholder.setAlpha(kPlaceholderAlpha);
    palette.setColor(QPalette::PlaceholderText, placeholder);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, FromBgr(kDisabledText));
    }
    palette.setColor(QPalette::Disabled, QPalette::Base, grey);
    return palette;
}

void UseWindowLookThroughout() {
    QApplication::setFont(WindowFont());
    QApplication::setPalette(WindowPalette());
}

void SetColour(QWidget* control, QPalette::ColorRole role, std::uint32_t bgr) {
    QPalette palette = control->palette();
    palette.setColor(role, FromBgr(bgr));
    control->setPalette(palette);
}

void ApplyLook(QLineEdit* edit, Look look) {
    switch (look) {
        case Look::kInput:
            SetColour(edit, QPalette::Base, kLightPink);
            break;
        case Look::kOutput:
            SetColour(edit, QPalette::Base, kWhite);
            break;
        case Look::kHex: {
            SetColour(edit, QPalette::Base, kWhite);
            SetColour(edit, QPalette::Text, kBlue);
            QFont bold = edit->font();
            bold.setBold(true);
            edit->setFont(bold);
            break;
        }
        case Look::kSystem:
            break;
    }
}

void WrappedCaption::paintEvent(QPaintEvent*) {
    const qreal em = QFontInfo(font()).pixelSize();
    const QFontMetricsF metrics(font());
    QTextLayout layout(text(), font());
    QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal baseline = kWrappedAscentEm * em;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, baseline - metrics.ascent()));
        baseline += kWrappedLineEm * em;
    }
    layout.endLayout();
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, 0));
}

// A QIcon made from several SVG files would keep only the last; pixmaps at
// their sizes keep every one.
QIcon WindowIcon() {
    QIcon icon;
    for (const IconPicture& picture : kIconPictures) {
        QImageReader reader(ToQString(picture.path));
        reader.setScaledSize(QSize(picture.size, picture.size));
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

}  // namespace quorvel
