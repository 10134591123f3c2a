#include "tools/qmctl/json_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qm::qmctl {
namespace {

TEST(JsonQuoted, EscapesQuoteBackslashAndEveryControlCharacter) {
    EXPECT_EQ(jsonQuoted(R"(say "hi" \ bye)"), R"("say \"hi\" \\ bye")");
    EXPECT_EQ(jsonQuoted("\b\f\n\r\t"), R"("\b\f\n\r\t")");
    EXPECT_EQ(jsonQuoted(std::string("a\0b", 3)), R"("a\u0000b")");
    EXPECT_EQ(jsonQuoted("\x01\x1f\x7f"), R"("\u0001\u001f\u007f")");
    EXPECT_EQ(jsonQuoted("\x1b[31m"), R"("\u001b[31m")");
    EXPECT_EQ(jsonQuoted("/ and space stay"), R"("/ and space stay")");
}

TEST(JsonQuoted, PassesUtf8AndReplacesBytesThatAreNotUtf8) {
    // Two-, three- and four-byte characters pass unchanged.
    EXPECT_EQ(jsonQuoted("Mikro\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xA4"),
              "\"Mikro\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xA4\"");
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(jsonQuoted("a\x80z"), "\"a" + replacement + "z\"");  // lone continuation
    EXPECT_EQ(jsonQuoted("a\xC3"), "\"a" + replacement + "\"");    // cut at the end
    EXPECT_EQ(jsonQuoted("\xC0\x80"), "\"" + replacement + replacement + "\"");  // overlong NUL
    EXPECT_EQ(jsonQuoted("\xE0\x80\xAF"),
              "\"" + replacement + replacement + replacement + "\"");  // overlong '/'
    EXPECT_EQ(jsonQuoted("\xED\xA0\x80"),
              "\"" + replacement + replacement + replacement + "\"");  // a surrogate
    EXPECT_EQ(jsonQuoted("\xF4\x90\x80\x80"), "\"" + replacement + replacement + replacement +
                                                  replacement + "\"");  // above U+10FFFF
    EXPECT_EQ(jsonQuoted("\xE2\x82z"), "\"" + replacement + replacement + "z\"");
    EXPECT_EQ(jsonQuoted("\xFF"), "\"" + replacement + "\"");
}

TEST(JsonWriter, PlacesCommasAndColonsInNestedDocuments) {
    JsonWriter json;
    json.beginObject()
        .member("serial", "SN1001")
        .member("state", -1)
        .member("started", true)
        .key("nothing")
        .null()
        .key("list")
        .beginArray()
        .number(1)
        .beginObject()
        .endObject()
        .beginArray()
        .endArray()
        .string("x")
        .endArray()
        .key("big")
        .number(INT64_MIN)
        .endObject();
    EXPECT_EQ(json.text(), R"({"serial":"SN1001","state":-1,"started":true,"nothing":null,)"
                           R"("list":[1,{},[],"x"],"big":-9223372036854775808})");
    EXPECT_TRUE(json.complete());
}

TEST(JsonWriter, EscapesKeysToo) {
    JsonWriter json;
    json.beginObject().member("a\"b\n", false).endObject();
    EXPECT_EQ(json.text(), R"({"a\"b\n":false})");
}

TEST(JsonWriter, RefusesMisuseInsteadOfWritingBrokenJson) {
    {
        JsonWriter json;
        json.beginObject();
        EXPECT_THROW(json.string("no key"), std::logic_error);
        EXPECT_FALSE(json.complete());
    }
    {
        JsonWriter json;
        json.beginArray();
        EXPECT_THROW(json.key("k"), std::logic_error);
        EXPECT_THROW(json.endObject(), std::logic_error);
    }
    {
        JsonWriter json;
        json.beginObject().key("k");
        EXPECT_THROW(json.endObject(), std::logic_error);  // the key has no value
        EXPECT_THROW(json.key("second"), std::logic_error);
    }
    {
        JsonWriter json;
        json.number(1);
        EXPECT_THROW(json.number(2), std::logic_error);
    }
}

}  // namespace
}  // namespace qm::qmctl
