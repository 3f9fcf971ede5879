// Texts between the action's strings and Qt's.
#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel {

// UTF-16 code units copied one for one: no decoding, so a byte-order mark or
// a lone surrogate the user typed reaches the calculation as it stands.
inline QString ToQString(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

// And back, the same way: what the user typed, as it stands.
inline std::u16string ToU16String(const QString& text) {
    const QStringView view(text);
    return std::u16string(view.utf16(), static_cast<std::size_t>(view.size()));
}

// The action's UTF-8 texts (figures, headings, pictures' descriptions).
inline QString Utf8ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace quorvel
