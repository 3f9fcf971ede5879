#include "core/utf16.h"

#include <cstdint>

namespace quorvel {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kSurrogateLast = 0xDFFF;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSupplementaryFirst = 0x10000;

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < kSupplementaryFirst) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= kSupplementaryFirst;
    out.push_back(static_cast<char16_t>(kSurrogateFirst + (cp >> 10)));
    out.push_back(static_cast<char16_t>(kLowSurrogateFirst + (cp & 0x3FF)));
}

void AppendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < kSupplementaryFirst) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t cp = 0;
        char32_t smallest = 0;  // below this the form is overlong
        if (lead < 0x80) {
            length = 1, cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, cp = lead & 0x1Fu, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, cp = lead & 0x0Fu, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, cp = lead & 0x07u, smallest = kSupplementaryFirst;
        } else {
            return std::nullopt;
        }
        if (utf8.size() - i < length) return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            if (!IsUtf8Continuation(utf8[i + k])) return std::nullopt;
            const auto byte = static_cast<unsigned char>(utf8[i + k]);
            cp = (cp << 6) | (byte & 0x3Fu);
        }
        if (cp < smallest || cp > kMaxCodePoint || (cp >= kSurrogateFirst && cp <= kSurrogateLast)) {
            return std::nullopt;
        }
        AppendUtf16(out, cp);
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    AppendUtf8(out, utf16);
    return out;
}

void AppendUtf8(std::string& out, std::u16string_view utf16) {
    out.reserve(out.size() + utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp < 0x80) {  // most field text is ASCII
            out.push_back(static_cast<char>(cp));
            continue;
        }
        const bool high = cp >= kSurrogateFirst && cp < kLowSurrogateFirst;
        const bool low = cp >= kLowSurrogateFirst && cp <= kSurrogateLast;
        if (high && i + 1 < utf16.size() && utf16[i + 1] >= kLowSurrogateFirst &&
            utf16[i + 1] <= kSurrogateLast) {
            cp = kSupplementaryFirst + ((cp - kSurrogateFirst) << 10) + (utf16[i + 1] - kLowSurrogateFirst);
            ++i;
        } else if (high || low) {
            cp = kReplacement;
        }
        AppendCodePoint(out, cp);
    }
}

}  // namespace quorvel
