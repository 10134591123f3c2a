#include <gtest/gtest.h>

#include "platform/registry/key_path.h"
#include "platform/registry/status.h"
#include "platform/registry/value.h"

namespace qm::registry {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ValueEncoding, StringsAreUtf16LittleEndianWithTerminator) {
    EXPECT_EQ(encodeString(ValueType::Sz, "C:\\QMLog"),
              (Value{ValueType::Sz, Bytes{'C', 0, ':', 0, '\\', 0, 'Q', 0, 'M', 0, 'L', 0, 'o', 0,
                                          'g', 0, 0, 0}}));
    EXPECT_EQ(encodeString(ValueType::Sz, ""), (Value{ValueType::Sz, Bytes{0, 0}}));
    // é is one unit (E9 00), € is 20AC, the microphone emoji a surrogate pair D83C DFA4.
    EXPECT_EQ(encodeString(ValueType::ExpandSz, "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xA4").data,
              (Bytes{0xE9, 0x00, 0xAC, 0x20, 0x3C, 0xD8, 0xA4, 0xDF, 0, 0}));
    EXPECT_EQ(encodeString(ValueType::ExpandSz, "x").type, ValueType::ExpandSz);
}

TEST(ValueEncoding, NumbersAreLittleEndian) {
    EXPECT_EQ(encodeDword(0x12345678), (Value{ValueType::Dword, Bytes{0x78, 0x56, 0x34, 0x12}}));
    EXPECT_EQ(encodeDword(0x1FF).data, (Bytes{0xFF, 0x01, 0x00, 0x00}));
    EXPECT_EQ(encodeQword(0x0102030405060708ULL),
              (Value{ValueType::Qword, Bytes{8, 7, 6, 5, 4, 3, 2, 1}}));
}

TEST(KeyPath, SplitsAtBackslashesAndSkipsEmptyParts) {
    std::vector<std::string> parts;
    ASSERT_EQ(splitKeyPath("SOFTWARE\\QUILLMERE\\qmCore\\Devices", parts), ERROR_SUCCESS);
    EXPECT_EQ(parts, (std::vector<std::string>{"SOFTWARE", "QUILLMERE", "qmCore", "Devices"}));
    ASSERT_EQ(splitKeyPath("\\a\\\\b\\", parts), ERROR_SUCCESS);
    EXPECT_EQ(parts, (std::vector<std::string>{"a", "b"}));
    ASSERT_EQ(splitKeyPath("", parts), ERROR_SUCCESS);
    EXPECT_TRUE(parts.empty());
    // A slash is an ordinary character of a key name.
    ASSERT_EQ(splitKeyPath("MIME\\text/plain", parts), ERROR_SUCCESS);
    EXPECT_EQ(parts.back(), "text/plain");
}

TEST(KeyPath, RejectsPartsLongerThan255Units) {
    std::vector<std::string> parts;
    EXPECT_EQ(splitKeyPath(std::string(255, 'k'), parts), ERROR_SUCCESS);
    EXPECT_EQ(splitKeyPath("a\\" + std::string(256, 'k'), parts), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(parts.empty());
    // Counted in UTF-16 units, not bytes: 255 two-byte characters fit.
    std::string wide;
    for (int i = 0; i < 255; ++i) {
        wide += "\xC3\xA9";
    }
    EXPECT_EQ(splitKeyPath(wide, parts), ERROR_SUCCESS);
}

TEST(KeyPath, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(foldName("Devices-SN1001"), "devices-sn1001");
    EXPECT_EQ(foldName("\xC3\x89t\xC3\xA9"), "\xC3\x89t\xC3\xA9");  // Été keeps É
}

}  // namespace
}  // namespace qm::registry
