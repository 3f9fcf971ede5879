#include "core/utf16.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(Utf16, RoundTripsEveryPlane) {
    // A, e-acute, euro sign, and U+1F600 as a surrogate pair.
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    const std::u16string utf16 = u"A\u00E9\u20AC\xD83D\xDE00";
    EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
}

TEST(Utf16, RejectsIllFormedUtf8) {
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xFF", "a\xE2\x82"}) {
        EXPECT_FALSE(Utf8ToUtf16(bad).has_value()) << bad;
    }
}

TEST(Utf16, LoneSurrogateBecomesReplacement) {
    EXPECT_EQ(Utf16ToUtf8(u"1\xD800" u"2"), "1\xEF\xBF\xBD" "2");
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00"), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace quorvel
