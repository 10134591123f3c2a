#include <gtest/gtest.h>

#include "platform/registry/registry_test_support.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::registry {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ValueRules : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(
            fixture_.store->createKey(Hive::LocalMachine, "SOFTWARE\\QUILLMERE\\qmCore\\Devices",
                                      Access::ReadWrite, key_),
            ERROR_SUCCESS);
    }
    void setRaw(const char* name, ValueType type, Bytes data) {
        ASSERT_EQ(key_.setValue(name, Value{type, std::move(data)}), ERROR_SUCCESS);
    }

    testing::StoreFixture fixture_;
    Key key_;
};

TEST_F(ValueRules, ReadDwordTakesOnlyFourByteDwords) {
    ASSERT_EQ(writeDword(key_, "TimeoutRead", 150), ERROR_SUCCESS);
    EXPECT_EQ(readDword(key_, "TimeoutRead"), 150u);
    EXPECT_EQ(readDword(key_, "timeoutread"), 150u);

    setRaw("Volume", ValueType::Dword, {0xFF, 0x01, 0x00, 0x00});  // 0x1FF stays whole here
    EXPECT_EQ(readDword(key_, "Volume"), 0x1FFu);

    ASSERT_EQ(writeString(key_, "TimeoutWrite", "150"),
              ERROR_SUCCESS);  // REG_SZ where a DWORD belongs
    EXPECT_EQ(readDword(key_, "TimeoutWrite"), std::nullopt);
    setRaw("Binary", ValueType::Binary, {150, 0, 0, 0});
    EXPECT_EQ(readDword(key_, "Binary"), std::nullopt);
    setRaw("Short", ValueType::Dword, {150, 0, 0});
    EXPECT_EQ(readDword(key_, "Short"), std::nullopt);
    setRaw("Long", ValueType::Dword, {150, 0, 0, 0, 0});
    EXPECT_EQ(readDword(key_, "Long"), std::nullopt);
    EXPECT_EQ(readDword(key_, "Missing"), std::nullopt);

    std::uint32_t number = 7;
    EXPECT_EQ(queryDword(key_, "Short", number), ERROR_INVALID_DATA);
    EXPECT_EQ(queryDword(key_, "Missing", number), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(number, 0u);
}

TEST_F(ValueRules, ReadStringTakesTerminatedEvenStringsUpTo520Bytes) {
    ASSERT_EQ(writeString(key_, "LogFolder", "C:\\QMLog"), ERROR_SUCCESS);
    EXPECT_EQ(readString(key_, "LogFolder"), "C:\\QMLog");

    setRaw("Empty", ValueType::Sz, {});
    EXPECT_EQ(readString(key_, "Empty"), "");
    setRaw("Expand", ValueType::ExpandSz, {'%', 0, 'X', 0, '%', 0, 0, 0});
    EXPECT_EQ(readString(key_, "Expand"), "%X%");  // as stored, never expanded

    setRaw("Unterminated", ValueType::Sz, {'a', 0, 'b', 0});
    EXPECT_EQ(readString(key_, "Unterminated"), std::nullopt);
    setRaw("Odd", ValueType::Sz, {'a', 0, 0});
    EXPECT_EQ(readString(key_, "Odd"), std::nullopt);
    setRaw("Dword", ValueType::Dword, {'a', 0, 0, 0});
    EXPECT_EQ(readString(key_, "Dword"), std::nullopt);
    setRaw("Binary", ValueType::Binary, {'a', 0, 0, 0});
    EXPECT_EQ(readString(key_, "Binary"), std::nullopt);
    EXPECT_EQ(readString(key_, "Missing"), std::nullopt);

    std::string text = "stale";
    EXPECT_EQ(queryString(key_, "Unterminated", text), ERROR_INVALID_DATA);
    EXPECT_EQ(text, "");
    EXPECT_EQ(queryString(key_, "Missing", text), ERROR_FILE_NOT_FOUND);
}

TEST_F(ValueRules, ReadStringLimitIsCountedInStoredBytes) {
    // 259 characters and the terminator are exactly 520 bytes; one more is too many.
    ASSERT_EQ(writeString(key_, "Fits", std::string(259, 'x')), ERROR_SUCCESS);
    EXPECT_EQ(readString(key_, "Fits"), std::string(259, 'x'));
    ASSERT_EQ(writeString(key_, "TooLong", std::string(299, 'x')), ERROR_SUCCESS);  // 600 bytes
    EXPECT_EQ(readString(key_, "TooLong"), std::nullopt);
    std::string text;
    EXPECT_EQ(queryString(key_, "TooLong", text), ERROR_MORE_DATA);
    EXPECT_EQ(readString(key_, "TooLong", 600), std::string(299, 'x'));
    // 200 two-byte UTF-8 characters are 200 UTF-16 units: 402 bytes, within the limit.
    std::string accents;
    for (int i = 0; i < 200; ++i) {
        accents += "\xC3\xA9";
    }
    ASSERT_EQ(writeString(key_, "Accents", accents), ERROR_SUCCESS);
    EXPECT_EQ(readString(key_, "Accents"), accents);
}

TEST_F(ValueRules, ReadStringStopsAtTheFirstZeroCharacter) {
    setRaw("Embedded", ValueType::Sz, {'a', 0, 0, 0, 'b', 0, 0, 0});
    EXPECT_EQ(readString(key_, "Embedded"), "a");
}

TEST_F(ValueRules, WritersStoreWindowsBytes) {
    ASSERT_EQ(writeString(key_, "Name", "Birch \xC3\xA9"), ERROR_SUCCESS);
    Value value;
    ASSERT_EQ(key_.queryValue("Name", value), ERROR_SUCCESS);
    EXPECT_EQ(value, (Value{ValueType::Sz,
                            Bytes{'B', 0, 'i', 0, 'r', 0, 'c', 0, 'h', 0, ' ', 0, 0xE9, 0, 0, 0}}));
    ASSERT_EQ(writeDword(key_, "LPF", 0x1FF), ERROR_SUCCESS);
    ASSERT_EQ(key_.queryValue("LPF", value), ERROR_SUCCESS);
    EXPECT_EQ(value, (Value{ValueType::Dword, Bytes{0xFF, 0x01, 0, 0}}));
}

TEST(DecodeString, ChecksSizeBeforeTypeAsAFixedBufferReadWould) {
    std::string text;
    EXPECT_EQ(decodeString(Value{ValueType::Binary, Bytes(600, 1)}, text), ERROR_MORE_DATA);
    EXPECT_EQ(decodeString(Value{ValueType::Binary, Bytes(6, 1)}, text), ERROR_INVALID_DATA);
    EXPECT_EQ(decodeString(Value{ValueType::Sz, Bytes{0, 0}}, text), ERROR_SUCCESS);
    EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace qm::registry
