#include "tests/printable.h"

#include <cstdint>

#include "core/utf16.h"

namespace quorvel::testing_text {
namespace {

// "\\x" (or "\\u", "\\U") and `digits` upper-case hexadecimal digits.
void AppendHex(std::string& out, std::string_view prefix, std::uint32_t value, int digits) {
    constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    out.append(prefix);
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(kHexDigits[(value >> shift) & 0xFU]);
}

void AppendCodePoint(std::string& out, std::uint32_t c) {
    switch (c) {
        case '\\': out += "\\\\"; return;
        case '"': out += "\\\""; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        case 0: out += "\\0"; return;
        default: break;
    }
    if (c >= 0x20 && c < 0x7F) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x80) {
        AppendHex(out, "\\x", c, 2);
    } else if (c <= 0xFFFF) {
        AppendHex(out, "\\u", c, 4);
    } else {
        AppendHex(out, "\\U", c, 8);
    }
}

// The length of the well-formed UTF-8 sequence at the start of `bytes`, or 0.
std::size_t Utf8SequenceLength(std::string_view bytes) {
    for (std::size_t length = 2; length <= 4 && length <= bytes.size(); ++length) {
        if (Utf8ToUtf16(bytes.substr(0, length))) return length;
    }
    return 0;
}

}  // namespace

std::string Escaped(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        }
        AppendCodePoint(out, c);
    }
    return out;
}

std::string Escaped(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            AppendCodePoint(out, byte);
            ++i;
        } else if (const std::size_t length = Utf8SequenceLength(bytes.substr(i)); length > 0) {
            out += Escaped(*Utf8ToUtf16(bytes.substr(i, length)));
            i += length;
        } else {
            AppendHex(out, "\\x", byte, 2);
            ++i;
        }
    }
    return out;
}

std::string TestNameOf(std::string_view text) {
    std::string name;
    for (const char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            name.push_back(c);
        } else if (c == '-') {
            name += "minus";
        } else if (c == '.') {
            name += "dot";
        } else if (c == '+') {
            name += "plus";
        } else {
            name.push_back('_');
        }
    }
    return name.empty() ? "empty" : name;
}

}  // namespace quorvel::testing_text
