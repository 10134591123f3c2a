#include <gtest/gtest.h>

#include "tools/qmreg/value_text.h"

namespace qm::qmreg {
namespace {

using registry::Value;
using registry::ValueType;
using Bytes = std::vector<std::uint8_t>;

std::optional<Value> parse(ValueType type, std::string_view text) {
    std::string error;
    auto value = parseValueData(type, text, error);
    EXPECT_EQ(value.has_value(), error.empty()) << error;
    return value;
}

TEST(ValueText, TypesByName) {
    EXPECT_EQ(parseValueType("REG_SZ"), ValueType::Sz);
    EXPECT_EQ(parseValueType("reg_expand_sz"), ValueType::ExpandSz);
    EXPECT_EQ(parseValueType("REG_QWORD"), ValueType::Qword);
    EXPECT_EQ(parseValueType("REG_NONE"), ValueType::None);
    EXPECT_FALSE(parseValueType("REG_MULTI_SZ"));
    EXPECT_FALSE(parseValueType("DWORD"));
}

TEST(ValueText, NumbersInDecimalOrHexWithinTheirRange) {
    EXPECT_EQ(parse(ValueType::Dword, "150")->data, (Bytes{150, 0, 0, 0}));
    EXPECT_EQ(parse(ValueType::Dword, "0x1FF")->data, (Bytes{0xFF, 1, 0, 0}));
    EXPECT_EQ(parse(ValueType::Dword, "4294967295")->data, (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(parse(ValueType::Dword, "0x00000000FFFFFFFF")->data, (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    for (const char* bad : {"4294967296", "0x100000000", "-1", "", "0x", "12a", " 1", "1.0"}) {
        EXPECT_FALSE(parse(ValueType::Dword, bad)) << bad;
    }
    EXPECT_EQ(parse(ValueType::Qword, "18446744073709551615")->data, Bytes(8, 0xFF));
    EXPECT_FALSE(parse(ValueType::Qword, "18446744073709551616"));
    EXPECT_EQ(parse(ValueType::Qword, "0x0102030405060708")->data, (Bytes{8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(ValueText, HexBytesWithOrWithoutSeparators) {
    EXPECT_EQ(parse(ValueType::Binary, "01 a0 FF")->data, (Bytes{1, 0xA0, 0xFF}));
    EXPECT_EQ(parse(ValueType::Binary, "01,a0,ff")->data, (Bytes{1, 0xA0, 0xFF}));
    EXPECT_EQ(parse(ValueType::Binary, "hex:01a0ff")->data, (Bytes{1, 0xA0, 0xFF}));
    EXPECT_EQ(parse(ValueType::None, "")->data, Bytes{});
    EXPECT_FALSE(parse(ValueType::Binary, "1"));
    EXPECT_FALSE(parse(ValueType::Binary, "0 1"));
    EXPECT_FALSE(parse(ValueType::Binary, "zz"));
}

TEST(ValueText, StringsAreStoredAsWindowsWouldStoreThem) {
    EXPECT_EQ(*parse(ValueType::ExpandSz, "%X%"),
              (Value{ValueType::ExpandSz, Bytes{'%', 0, 'X', 0, '%', 0, 0, 0}}));
}

TEST(ValueText, QueryLinesDecodeWhatIsWellFormed) {
    EXPECT_EQ(queryLine("LogFolder", registry::encodeString(ValueType::Sz, "C:\\QMLog")),
              "    LogFolder    REG_SZ    C:\\QMLog");
    EXPECT_EQ(queryLine("", registry::encodeDword(150)),
              "    (Default)    REG_DWORD    0x96 (150)");
    EXPECT_EQ(queryLine("Q", registry::encodeQword(1)), "    Q    REG_QWORD    0x1 (1)");
    EXPECT_EQ(queryLine("B", Value{ValueType::Binary, Bytes{1, 0xAB}}),
              "    B    REG_BINARY    01 ab");
    EXPECT_EQ(queryLine("S", Value{ValueType::Sz, Bytes{'a', 0}}),
              "    S    REG_SZ    (malformed) 61 00");
    EXPECT_EQ(queryLine("D", Value{ValueType::Dword, Bytes{1, 2, 3}}),
              "    D    REG_DWORD    (malformed) 01 02 03");
}

TEST(ValueText, ExportLinesEscapeAndFallBackToHex) {
    EXPECT_EQ(exportLine("Path", registry::encodeString(ValueType::Sz, "C:\\\"Q\"\t")),
              "\"Path\"=REG_SZ:\"C:\\\\\\\"Q\\\"\\x09\"");
    EXPECT_EQ(exportLine("", registry::encodeString(ValueType::Sz, "")), "@=REG_SZ:\"\"");
    EXPECT_EQ(exportLine("T", registry::encodeDword(150)), "\"T\"=REG_DWORD:0x00000096");
    EXPECT_EQ(exportLine("Q", registry::encodeQword(0x1FF)), "\"Q\"=REG_QWORD:0x00000000000001ff");
    // Text after an inner terminator would be lost as a string, so it is shown as bytes.
    EXPECT_EQ(exportLine("M", Value{ValueType::Sz, Bytes{'a', 0, 0, 0, 'b', 0, 0, 0}}),
              "\"M\"=REG_SZ:hex:61,00,00,00,62,00,00,00");
    EXPECT_EQ(exportLine("N", Value{ValueType::None, Bytes{}}), "\"N\"=REG_NONE:hex:");
    EXPECT_EQ(exportLine("X", Value{static_cast<ValueType>(7), Bytes{0}}),
              "\"X\"=REG_TYPE_7:hex:00");
}

}  // namespace
}  // namespace qm::qmreg
