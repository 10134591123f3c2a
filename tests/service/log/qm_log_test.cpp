#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "common/runtime/virtual_clock.h"
#include "common/text/text.h"
#include "log_test_support.h"
#include "service/log/qm_log.h"

using namespace std::chrono_literals;

namespace qm {
namespace {

using testing::readFile;
using testing::repeat;

const std::string kBom = "\xEF\xBB\xBF";

std::string header(const char* when) {
    return std::string(" <=====  ") + when + " ===  Start LOG  =====>\r\n\r\n";
}

// A log on a virtual clock writing into a temporary folder. The writer's one-second batches are
// driven by advancing the clock once the writer waits on it; a batch is known to be written when
// its appends have reached the storage.
class QmLogTest : public ::testing::Test {
  protected:
    explicit QmLogTest(LocalDateTime start = {2026, 12, 5, 9, 0, 0, 0})
        : clock(VirtualClock::Mode::Manual, start) {}

    std::string dayFile(const std::string& name, const char* date = "2026.12.05") const {
        return folder.text(name + " [" + date + "].log");
    }
    // Lets time pass until the next batch and waits for its `appends` writes.
    void runBatch(Duration advance, std::size_t appends) {
        clock.awaitBlocked(1);
        const std::size_t before = storage.appendCount();
        clock.advance(advance);
        ASSERT_TRUE(storage.awaitAppends(before + appends));
    }

    VirtualClock clock;
    testing::TempFolder folder;
    testing::ObservedStorage storage;
    std::unique_ptr<CQmLog> log = std::make_unique<CQmLog>(clock, storage);
};

TEST_F(QmLogTest, WritesABatchInPostingOrderWithEachEventsOwnTime) {
    log->Start(folder.text(), "qmMicHost");
    ASSERT_TRUE(log->IsRunning());
    log->LogText(0, "zero");
    runBatch(1ms, 1);  // the first batch comes 1 ms after the start
    const std::size_t afterFirstBatch = storage.appendCount();

    log->Log(0, "first %d", 1);
    clock.awaitBlocked(1);
    clock.advance(10ms);  // the writer wakes to look at its stop flag, but no batch is due
    log->Log(3, "second %s", "line");
    clock.awaitBlocked(1);
    EXPECT_EQ(storage.appendCount(), afterFirstBatch);
    runBatch(990ms, 2);
    EXPECT_EQ(readFile(dayFile("qmMicHost")), kBom + header("05.12.2026 09:00:00:000") +
                                                  "09:00:00:000 --> <Info> zero\r\n"
                                                  "09:00:00:001 --> <Info> first 1\r\n"
                                                  "09:00:00:011 --> <Debug> second line\r\n");
}

TEST_F(QmLogTest, StopRightAfterPostingStillWritesTheLine) {
    log->Start(folder.text(), "qmMicHost");
    log->Log(0, "FinalRelease =>>> Close LOG file\n");
    log->Stop();  // the clock never moves: the writer empties the queue as soon as it is asked
    EXPECT_FALSE(log->IsRunning());
    EXPECT_EQ(readFile(dayFile("qmMicHost")), kBom + header("05.12.2026 09:00:00:000") +
                                                  "09:00:00:000 --> <Info> FinalRelease =>>> "
                                                  "Close LOG file\n\r\n");
}

TEST_F(QmLogTest, RestartOnTheSameDayAppendsAfterANewHeaderUnderOneByteOrderMark) {
    log->Start(folder.text(), "qmMicHost");
    log->LogText(1, "before restart");
    clock.awaitBlocked(1);  // the writer has read its start time
    clock.advance(2500ms);
    log->Start(folder.text(), "qmMicHost");
    log->LogText(2, "after restart");
    log.reset();
    EXPECT_EQ(readFile(dayFile("qmMicHost")), kBom + header("05.12.2026 09:00:00:000") +
                                                  "09:00:00:000 --> <Warning> before restart\r\n" +
                                                  header("05.12.2026 09:00:02:500") +
                                                  "09:00:02:500 --> <Error> after restart\r\n");
}

class QmLogAtMidnightTest : public QmLogTest {
  protected:
    QmLogAtMidnightTest() : QmLogTest({2026, 12, 5, 23, 59, 59, 0}) {}
};

TEST_F(QmLogAtMidnightTest, ContinuesInTheNewDatesFileWithoutHeader) {
    log->Start(folder.text(), "qmMicHost");
    log->LogText(0, "early");
    runBatch(1ms, 1);         // written at 23:59:59.001
    log->LogText(0, "late");  // stamped 23:59:59.001
    runBatch(1000ms, 2);      // written at 00:00:00.001: byte order mark and the line
    log->LogText(0, "next day");
    log->Stop();

    EXPECT_EQ(readFile(dayFile("qmMicHost", "2026.12.05")),
              kBom + header("05.12.2026 23:59:59:000") + "23:59:59:000 --> <Info> early\r\n");
    EXPECT_EQ(readFile(dayFile("qmMicHost", "2026.12.06")),
              kBom + "23:59:59:001 --> <Info> late\r\n00:00:00:001 --> <Info> next day\r\n");
}

TEST_F(QmLogTest, TextIsWrittenAsUtf8AndRecordedAsItStands) {
    log->Start(folder.text(), "qmMicHost");
    log->LogText(0, "Gain r\xC3\xA9gl\xC3\xA9 \xE2\x86\x92 3 dB \xF0\x9F\x8E\xA4");
    log->LogText(7, "100% %s %n");  // a client's text is never a format
    log->Log(0, "%s", "50% done");
    log->Stop();
    EXPECT_EQ(readFile(dayFile("qmMicHost")),
              kBom + header("05.12.2026 09:00:00:000") +
                  "09:00:00:000 --> <Info> Gain r\xC3\xA9gl\xC3\xA9 \xE2\x86\x92 3 dB "
                  "\xF0\x9F\x8E\xA4\r\n"
                  "09:00:00:000 --> <Unknown> 100% %s %n\r\n"
                  "09:00:00:000 --> <Info> 50% done\r\n");
}

TEST_F(QmLogTest, MessagesAreLimitedTo2047Utf16UnitsAndNeverEmpty) {
    const std::string e = "\xC3\xA9";
    const std::string mic = "\xF0\x9F\x8E\xA4";
    log->Start(folder.text(), "qmMicHost");
    log->LogText(0, repeat(e, 2047));            // 4094 bytes, 2047 units: logged
    log->Log(1, "%s", repeat(e, 2048).c_str());  // dropped whole, not cut
    log->LogText(1, repeat("a", 2048));          // dropped
    log->LogText(1, repeat(mic, 1024));          // 2048 units in 1024 characters: dropped
    log->LogText(1, "");                         // dropped
    log->Log(1, "%s", "");                       // dropped
    log->LogText(2, repeat(mic, 1023) + "a");    // 2047 units: logged
    log->Stop();

    const std::string file = readFile(dayFile("qmMicHost"));
    const std::string start = kBom + header("05.12.2026 09:00:00:000");
    ASSERT_EQ(file.substr(0, start.size()), start);
    // Each logged message's line is cut between characters to the line limit.
    EXPECT_EQ(file.substr(start.size()), "09:00:00:000 --> <Info> " + repeat(e, 2021) + "\r\n" +
                                             "09:00:00:000 --> <Error> " + repeat(mic, 1010) +
                                             "\r\n");
}

TEST_F(QmLogTest, FileNamesOfTheManagerAndOfAMicrophoneInMissingFolders) {
    const std::string nested = folder.text("a/b/logs");
    log->Start(nested, "qmMicHost");
    EXPECT_EQ(log->Folder(), nested + "/");
    CQmLog microphone(clock, storage);
    microphone.Start(nested + "/", text::format("%s - ", "SN123"));
    EXPECT_EQ(microphone.Folder(), nested + "/");
    microphone.Stop();
    log->Stop();
    EXPECT_TRUE(std::filesystem::is_regular_file(nested + "/qmMicHost [2026.12.05].log"));
    EXPECT_TRUE(std::filesystem::is_regular_file(nested + "/SN123 -  [2026.12.05].log"));
}

TEST_F(QmLogTest, FolderThatCantBeCreatedOrEmptyNameLeavesTheLogIdle) {
    testing::writeFile(folder.text("plain-file"), "not a folder");
    log->Post(0, toFileTime(clock.localNow()), "before any start");

    log->Start(folder.text("plain-file/logs"), "qmMicHost");
    EXPECT_FALSE(log->IsRunning());
    log->Post(0, toFileTime(clock.localNow()), "dropped");
    log->LogText(0, "dropped");

    // A running log restarted with an empty name stops and stays idle; its folder is created.
    log->Start(folder.text("named"), "qmMicHost");
    ASSERT_TRUE(log->IsRunning());
    log->Start(folder.text("unnamed"), "");
    EXPECT_FALSE(log->IsRunning());
    EXPECT_TRUE(std::filesystem::is_directory(folder.text("unnamed")));
    log->LogText(0, "dropped");
    log->Post(0, toFileTime(clock.localNow()), "dropped");
    log->Stop();

    EXPECT_TRUE(std::filesystem::is_empty(folder.text("unnamed")));
    EXPECT_EQ(readFile(folder.text("named/qmMicHost [2026.12.05].log")),
              kBom + header("05.12.2026 09:00:00:000"));
}

TEST_F(QmLogTest, ManyProducersNeverWaitAndKeepTheirOrder) {
    constexpr int kProducers = 4;
    constexpr int kEach = 250;
    log->Start(folder.text(), "qmMicHost");
    std::vector<std::thread> producers;
    producers.reserve(kProducers);
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([this, p] {
            for (int i = 0; i < kEach; ++i) {
                log->Log(0, "producer %d line %03d", p, i);
            }
        });
    }
    for (auto& producer : producers) {
        producer.join();
    }
    log->Stop();

    const std::string file = readFile(dayFile("qmMicHost"));
    for (int p = 0; p < kProducers; ++p) {
        std::size_t at = 0;
        for (int i = 0; i < kEach; ++i) {
            at = file.find(text::format("producer %d line %03d\r\n", p, i), at);
            ASSERT_NE(at, std::string::npos) << "producer " << p << " line " << i;
        }
    }
}

// Several owners restart and stop one log at once while lines are posted: every restart is
// whole, and the log ends in one of the folders it was given.
TEST_F(QmLogTest, RestartsFromSeveralThreadsAtOnce) {
    std::atomic<bool> posting{true};
    std::thread poster([&] {
        while (posting.load())
            log->LogText(0, "line");
    });
    std::vector<std::thread> owners;
    for (int t = 0; t < 4; ++t) {
        owners.emplace_back([&, t] {
            for (int i = 0; i < 40; ++i) {
                if ((i + t) % 4 == 3) {
                    log->Stop();
                } else {
                    log->Start(folder.text("f" + std::to_string((i + t) % 3)), "qmMicHost");
                }
            }
        });
    }
    for (auto& owner : owners)
        owner.join();
    posting = false;
    poster.join();
    log->Start(folder.text("last"), "qmMicHost");
    EXPECT_EQ(log->Folder(), folder.text("last/"));
    EXPECT_TRUE(log->IsRunning());
    log.reset();
}

TEST_F(QmLogTest, StopAbandonsAWriterStuckInAWriteWithinItsBound) {
    log->Start(folder.text(), "qmMicHost");
    clock.awaitBlocked(1);  // the header is written, the writer waits for its first batch
    storage.holdNextAppend();
    log->LogText(0, "in flight");
    log->LogText(0, "queued behind");
    clock.advance(1ms);
    ASSERT_TRUE(storage.awaitHeldAppend());

    // Stop waits on the clock; nothing moves it but this helper, once Stop is waiting.
    std::thread timeout([this] {
        clock.awaitBlocked(1);
        clock.advance(CQmLog::kStopWait);
    });
    log->Stop();
    timeout.join();
    EXPECT_FALSE(log->IsRunning());
    log->LogText(0, "after stop");

    // A new writer runs while the old one is still stuck; the old one takes none of its events.
    log->Start(folder.text(), "qmMicHost");
    log->LogText(0, "new writer");
    log->Stop();
    storage.releaseHeldAppend();
    log.reset();  // joins the abandoned writer

    EXPECT_EQ(readFile(dayFile("qmMicHost")), kBom + header("05.12.2026 09:00:00:000") +
                                                  header("05.12.2026 09:00:00:501") +
                                                  "09:00:00:501 --> <Info> new writer\r\n"
                                                  "09:00:00:000 --> <Info> in flight\r\n");
}

}  // namespace
}  // namespace qm
