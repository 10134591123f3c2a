#include <gtest/gtest.h>

#include "common/text/text.h"
#include "log_test_support.h"
#include "service/log/log_format.h"

namespace qm {
namespace {

using testing::repeat;

const std::string kE = "\xC3\xA9";            // é: 2 bytes, 1 UTF-16 unit
const std::string kEuro = "\xE2\x82\xAC";     // €: 3 bytes, 1 unit
const std::string kMic = "\xF0\x9F\x8E\xA4";  // 🎤: 4 bytes, 2 units

std::uint64_t at(int hour, int minute, int second, int millisecond) {
    return toFileTime({2026, 12, 5, hour, minute, second, millisecond});
}

TEST(LogFormat, FolderEndsWithOneSeparatorAfterBeingCut) {
    EXPECT_EQ(normalizeLogFolder("/var/log/quillmere"), "/var/log/quillmere/");
    EXPECT_EQ(normalizeLogFolder("/var/log/quillmere/"), "/var/log/quillmere/");
    EXPECT_EQ(normalizeLogFolder(""), "/");
    // The cut counts UTF-16 units and falls between characters.
    EXPECT_EQ(normalizeLogFolder("/" + repeat(kE, 300)), "/" + repeat(kE, 257) + "/");
    EXPECT_EQ(normalizeLogFolder("/" + repeat("a", 255) + "/tail"), "/" + repeat("a", 255) + "/t/");
}

TEST(LogFormat, FileNamesCarryTheDateInBrackets) {
    const LocalDateTime day{2026, 12, 5, 9, 0, 0, 0};
    EXPECT_EQ(logFilePath("/var/log/quillmere/", "qmMicHost", day),
              "/var/log/quillmere/qmMicHost [2026.12.05].log");
    EXPECT_EQ(logFilePath("/l/", "qmMicHost ", day), "/l/qmMicHost  [2026.12.05].log");
    EXPECT_EQ(logFilePath("/l/", text::format("%s - ", "SN123"), day),
              "/l/SN123 -  [2026.12.05].log");
    // The whole path is cut to 259 UTF-16 units.
    const std::string longPath = logFilePath("/" + repeat("d", 250) + "/", "qmMicHost", day);
    EXPECT_EQ(longPath, "/" + repeat("d", 250) + "/qmMicHo");
    EXPECT_EQ(text::utf16Length(logFilePath("/ab/", repeat(kMic, 200), day)), 258u)
        << "a surrogate pair is never split";
}

TEST(LogFormat, EventLineHasItsTimeTagAndTextVerbatim) {
    EXPECT_EQ(logEventLine(at(23, 59, 59, 1), 1, "Set_LPF 0D 05"),
              "23:59:59:001 --> <Warning> Set_LPF 0D 05\r\n");
    EXPECT_EQ(logEventLine(at(0, 0, 0, 0), 9, "100% %s %n"),
              "00:00:00:000 --> <Unknown> 100% %s %n\r\n");
    EXPECT_EQ(logTypeTag(3), "<Debug>");
    EXPECT_EQ(logTypeTag(0xFFFFFFFFu), "<Unknown>");
    EXPECT_EQ(logEventLine(at(8, 7, 6, 50), 0, "r\xC3\xA9gl\xC3\xA9 " + kMic),
              "08:07:06:050 --> <Info> r\xC3\xA9gl\xC3\xA9 " + kMic + "\r\n");
    // Malformed input can't make the file invalid UTF-8.
    EXPECT_EQ(logEventLine(at(8, 0, 0, 0), 0,
                           "a\xFF"
                           "b"),
              "08:00:00:000 --> <Info> a\xEF\xBF\xBD"
              "b\r\n");
}

TEST(LogFormat, LineBreaksAndControlsInsideTheTextCannotStartALine) {
    EXPECT_EQ(logEventLine(at(9, 0, 0, 0), 0, "a\nb\r\nc\x1b[31m\td"),
              "09:00:00:000 --> <Info> a\\nb\\r\\nc\\x1b[31m\td\r\n");
    // The line feed that ends some of the service's own lines stays where it is.
    EXPECT_EQ(logEventLine(at(9, 0, 0, 0), 0, "Close LOG file\n"),
              "09:00:00:000 --> <Info> Close LOG file\n\r\n");
}

// Checks the shape every cut line must keep: the prefix, whole characters only, CR LF at the end.
void expectWholeLine(const std::string& line, const std::string& prefix, const std::string& ch,
                     std::size_t count) {
    ASSERT_GE(line.size(), prefix.size() + 2);
    EXPECT_EQ(line.substr(0, prefix.size()), prefix);
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    EXPECT_EQ(line.substr(prefix.size(), line.size() - prefix.size() - 2), repeat(ch, count));
    EXPECT_LE(line.size(), kMaxLogLineBytes);
    EXPECT_LE(text::utf16Length(line), kMaxLogLineUnits);
}

TEST(LogFormat, LongLinesAreCutBetweenCharactersAndKeepTheirLineEnd) {
    const std::string info = "09:00:00:000 --> <Info> ";    // 24 units
    const std::string error = "09:00:00:000 --> <Error> ";  // 25 units
    const std::uint64_t nine = at(9, 0, 0, 0);

    // Two-byte characters: the 2047-unit line limit comes first (24 + 2021 + CR LF).
    expectWholeLine(logEventLine(nine, 0, repeat(kE, 2047)), info, kE, 2021);
    // Three-byte characters: the byte limit comes first. 24 + 3 * 1356 + 2 = 4094 exactly...
    const std::string exact = logEventLine(nine, 0, repeat(kEuro, 2047));
    expectWholeLine(exact, info, kEuro, 1356);
    EXPECT_EQ(exact.size(), 4094u);
    // ...while with a 25-byte prefix the 4094th byte would split a character, so it stops short.
    const std::string shortened = logEventLine(nine, 2, repeat(kEuro, 2047));
    expectWholeLine(shortened, error, kEuro, 1355);
    EXPECT_EQ(shortened.size(), 4092u);
    // Surrogate pairs stay whole at the unit limit: 24 + 2 * 1010 <= 2045 < 24 + 2 * 1011.
    expectWholeLine(logEventLine(nine, 0, repeat(kMic, 1023)), info, kMic, 1010);
    // A line that fits is not touched.
    expectWholeLine(logEventLine(nine, 0, repeat("x", 2021)), info, "x", 2021);
}

}  // namespace
}  // namespace qm
