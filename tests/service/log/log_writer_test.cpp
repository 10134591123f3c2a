#include <gtest/gtest.h>

#include <filesystem>

#include "common/runtime/virtual_clock.h"
#include "log_test_support.h"
#include "service/log/log_writer.h"

using namespace std::chrono_literals;

namespace qm {
namespace {

using testing::readFile;
using testing::writeFile;

const std::string kBom = "\xEF\xBB\xBF";

// The writer's steps run one at a time on the test thread: no writer thread, no waiting.
class LogWriterSteps : public ::testing::Test {
  protected:
    void post(const char* text) { queue.push(makeLogEvent(0, toFileTime(clock.localNow()), text)); }
    std::string dayFile(const char* date) const {
        return folder.text(std::string("qmMicHost [") + date + "].log");
    }

    VirtualClock clock{VirtualClock::Mode::Manual, {2026, 12, 5, 23, 59, 58, 0}};
    testing::TempFolder folder;
    LogEventQueue queue;
    LogWriter writer{clock, FileLogStorage::instance(), queue, folder.text(), "qmMicHost"};
};

TEST_F(LogWriterSteps, FileThatCantBeOpenedDropsEventsUntilTheNextDayOpensOne) {
    // A directory where the day's file should be: opening it for writing fails.
    std::filesystem::create_directory(dayFile("2026.12.05"));
    writer.writeStart();
    post("lost");
    writer.writeBatch();
    EXPECT_TRUE(queue.takeAll().empty()) << "the batch was taken and dropped";

    clock.advance(2s);  // 00:00:00.000 on the 6th
    post("kept");
    writer.writeBatch();
    EXPECT_EQ(readFile(dayFile("2026.12.06")), kBom + "00:00:00:000 --> <Info> kept\r\n");
}

TEST_F(LogWriterSteps, ExistingFileKeepsItsFirstBytes) {
    // A file that doesn't begin with the byte order mark: writing the mark at offset 0 would
    // overwrite its first three bytes.
    writeFile(dayFile("2026.12.05"), "legacy text\r\n");
    writer.writeStart();
    post("appended");
    writer.writeRemaining();
    EXPECT_EQ(readFile(dayFile("2026.12.05")),
              "legacy text\r\n"
              " <=====  05.12.2026 23:59:58:000 ===  Start LOG  =====>\r\n\r\n"
              "23:59:58:000 --> <Info> appended\r\n");

    // The same on the change of day, for a file someone else has already begun.
    writeFile(dayFile("2026.12.06"), "ab");
    clock.advance(2s);
    post("next day");
    writer.writeBatch();
    EXPECT_EQ(readFile(dayFile("2026.12.06")), "ab00:00:00:000 --> <Info> next day\r\n");
}

TEST_F(LogWriterSteps, AbandonedWriterTakesAndWritesNothingMore) {
    writer.writeStart();
    const std::string started = readFile(dayFile("2026.12.05"));
    post("left for the next writer");
    writer.abandon();
    writer.writeBatch();
    writer.writeRemaining();
    EXPECT_EQ(readFile(dayFile("2026.12.05")), started);
    ASSERT_EQ(queue.takeAll().size(), 1u) << "the queue is the owner's to empty";

    // Not even a change of day opens a file.
    clock.advance(2s);
    writer.writeBatch();
    EXPECT_FALSE(std::filesystem::exists(dayFile("2026.12.06")));
}

}  // namespace
}  // namespace qm
