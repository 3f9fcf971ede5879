#pragma once
// Test inputs as readable, stable text: for failure messages and for the
// names of parameterised tests, which must show the input and never raw
// bytes, control characters or addresses.

#include <string>
#include <string_view>

namespace quorvel::testing_text {

// Printable ASCII stays as it is; a backslash, a double quote and anything
// else is escaped: "\\", "\"", "\n", "\r", "\t", "\0", "\xFF" for a byte,
// "\u00E9" / "\U0001F600" for a code point (a lone surrogate as "\uD800").
//   Escaped("25 \u00E9\x01") -> "25 \\u00E9\\x01"
std::string Escaped(std::u16string_view text);
// Bytes, read as UTF-8 where they are well-formed:
//   Escaped("{\"a\":\"\xC3\xA9\"}\x00\xFF") -> "{\\\"a\\\":\\\"\\u00E9\\\"}\\0\\xFF"
std::string Escaped(std::string_view bytes);

// A name for a parameterised test: letters and digits kept, "-" as "minus",
// "." as "dot", "+" as "plus", anything else as "_"; a leading digit is kept
// (GoogleTest allows it after the "/"). Callers add an index where two cases
// could map to the same name.
//   TestNameOf("-1021") -> "minus1021"    TestNameOf("1e300") -> "1e300"
std::string TestNameOf(std::string_view text);

}  // namespace quorvel::testing_text
