#include <gtest/gtest.h>

#include "common/text/text.h"

namespace qm::text {
namespace {

TEST(Utf, RoundTripsAllPlanesAndReplacesBrokenInput) {
    const std::string mixed = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xA4z";  // A é € 🎤 z
    const std::u16string wide = toUtf16(mixed);
    EXPECT_EQ(wide, (std::u16string{u'A', 0xE9, 0x20AC, 0xD83C, 0xDFA4, u'z'}));
    EXPECT_EQ(toUtf8(wide), mixed);
    EXPECT_EQ(utf16Length(mixed), 6u);
    EXPECT_EQ(toUtf16("\xFF"
                      "a"),
              (std::u16string{0xFFFD, u'a'}));
    EXPECT_EQ(toUtf16("\xE2\x82"), (std::u16string{0xFFFD, 0xFFFD}));  // truncated sequence
    EXPECT_EQ(toUtf8(std::u16string{0xD800, u'x'}), "\xEF\xBF\xBDx");  // lone surrogate
}

TEST(Utf, TruncationNeverSplitsACharacter) {
    const std::string s = "ab\xC3\xA9\xE2\x82\xAC";  // a b é €  (bytes 1 1 2 3)
    EXPECT_EQ(truncateUtf8Bytes(s, 100), s);
    EXPECT_EQ(truncateUtf8Bytes(s, 4), "ab\xC3\xA9");
    EXPECT_EQ(truncateUtf8Bytes(s, 3), "ab");
    EXPECT_EQ(truncateUtf8Bytes(s, 6), "ab\xC3\xA9");
    EXPECT_EQ(truncateUtf8Bytes(s, 0), "");
    const std::string emoji = "x\xF0\x9F\x8E\xA4";  // x then a surrogate pair in UTF-16
    EXPECT_EQ(truncateUtf16Units(emoji, 2), "x");
    EXPECT_EQ(truncateUtf16Units(emoji, 3), emoji);
}

TEST(Ascii, CaseRulesTouchOnlyAscii) {
    EXPECT_TRUE(asciiIEquals("birch", "BIRCH"));
    EXPECT_FALSE(asciiIEquals("birch", "birc"));
    EXPECT_FALSE(asciiIEquals("\xC3\xA9", "\xC3\x89"));  // é and É differ outside ASCII
    EXPECT_LT(asciiICompare("Alder", "birch"), 0);
    EXPECT_EQ(asciiUpperCopy("10c4:eab0"), "10C4:EAB0");
}

TEST(Format, GrowsBeyondTheSmallBuffer) {
    EXPECT_EQ(format("%s-%02d", "x", 7), "x-07");
    const std::string big(1000, 'q');
    EXPECT_EQ(format("<%s>", big.c_str()).size(), 1002u);
}

}  // namespace
}  // namespace qm::text
