#pragma once
// Texts as test names and failure messages show them: printable ASCII as it
// stands, everything else escaped, so a name never carries raw bytes.
//   Escaped(u"60 NYQUIST!") -> "60 NYQUIST!"
//   Escaped(u"\t\u00B5") -> "\\t\\u00B5"
//   Escaped(std::string("\x00\xFF", 2)) -> "\\x00\\xFF"

#include <string>
#include <string_view>

namespace quorvel::test {

namespace detail {
inline void AppendHex(std::string& out, unsigned value, int digits) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xFU]);
}
inline bool AppendShortEscape(std::string& out, unsigned c) {
    switch (c) {
        case '\t': out += "\\t"; return true;
        case '\n': out += "\\n"; return true;
        case '\r': out += "\\r"; return true;
        case '"': out += "\\\""; return true;
        case '\\': out += "\\\\"; return true;
        default: return false;
    }
}
}  // namespace detail

inline std::string Escaped(std::u16string_view text) {
    std::string out;
    for (const char16_t unit : text) {
        if (detail::AppendShortEscape(out, unit)) continue;
        if (unit >= 0x20 && unit < 0x7F) {
            out.push_back(static_cast<char>(unit));
        } else {
            out += "\\u";
            detail::AppendHex(out, unit, 4);
        }
    }
    return out;
}

inline std::string Escaped(std::string_view bytes) {
    std::string out;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (detail::AppendShortEscape(out, c)) continue;
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            out += "\\x";
            detail::AppendHex(out, c, 2);
        }
    }
    return out;
}

}  // namespace quorvel::test
