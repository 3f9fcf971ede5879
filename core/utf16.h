#pragma once
// Conversion between UTF-8 (files, terminals, JSON) and the UTF-16 code units
// that field texts are made of.

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// A byte that continues a UTF-8 sequence (10xxxxxx) rather than starting a
// character: cutting a text just before one would split a character.
constexpr bool IsUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U; }

// Nothing when the bytes are not well-formed UTF-8 (overlong forms,
// surrogates and values past U+10FFFF included).
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);

// A lone surrogate, which only a window field can hold, becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// The same, appended to `out`.
void AppendUtf8(std::string& out, std::u16string_view utf16);

}  // namespace quorvel
