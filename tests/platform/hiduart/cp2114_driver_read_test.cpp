#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "driver_fixture.h"

using namespace std::chrono_literals;

namespace qm::hiduart::testing {
namespace {

class ReadTest : public DriverTest {
  protected:
    void SetUp() override {
        device = openBridge();
        ASSERT_EQ(driver.SetTimeouts(device, 150, 150), HID_UART_SUCCESS);
    }

    // Reads up to `count` bytes; the bytes read are in `bytes`.
    HID_UART_STATUS read(std::uint32_t count, HID_UART_DEVICE from = kNoDevice) {
        bytes.assign(count, 0xCC);
        std::uint32_t got = 12345;
        const HID_UART_STATUS status =
            driver.Read(from == kNoDevice ? device : from, bytes.data(), count, &got);
        if (status == HID_UART_INVALID_HANDLE) {
            got = 0;  // refused before the count is touched
        }
        EXPECT_LE(got, count);
        bytes.resize(std::min(got, count));
        return status;
    }

    HID_UART_DEVICE device = kNoDevice;
    std::vector<std::uint8_t> bytes;
};

TEST_F(ReadTest, ReplySplitOverReportsIsJoinedWithoutWaiting) {
    bridge->queueInputReport({0x02, 0x01, 0x02});
    bridge->queueInputReport({0x03, 0x03, 0x04, 0x05});
    EXPECT_EQ(read(5), HID_UART_SUCCESS);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(elapsed(), 0ms);
}

TEST_F(ReadTest, ReadOfAThousandBytesEndsAtTheTimeOutWithTheReply) {
    bridge->queueInputReport({0x03, 0x01, 0x7F, 0x22}, 10ms);
    bridge->queueInputReport({0x01, 0x33}, 20ms);
    EXPECT_EQ(read(1000), HID_UART_READ_TIMED_OUT);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x01, 0x7F, 0x22, 0x33}));
    EXPECT_EQ(elapsed(), 150ms);
}

TEST_F(ReadTest, ReplyAfterTheTimeOutIsLeftForTheNextRead) {
    bridge->queueInputReport({0x02, 0x00, 0x91}, 200ms);
    EXPECT_EQ(read(1000), HID_UART_READ_TIMED_OUT);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(elapsed(), 150ms);
    EXPECT_EQ(read(1000), HID_UART_READ_TIMED_OUT);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x00, 0x91}));
    EXPECT_EQ(elapsed(), 300ms);
}

TEST_F(ReadTest, BytesBeyondTheRequestAreKeptForTheNextRead) {
    const std::vector<std::uint8_t> sent = patternBytes(10);
    bridge->queueUartBytes(sent);
    EXPECT_EQ(read(4), HID_UART_SUCCESS);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(sent.begin(), sent.begin() + 4));
    EXPECT_EQ(read(4), HID_UART_SUCCESS);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(sent.begin() + 4, sent.begin() + 8));
    EXPECT_EQ(elapsed(), 0ms);  // served from what was kept
    EXPECT_EQ(read(4), HID_UART_READ_TIMED_OUT);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(sent.begin() + 8, sent.end()));
}

TEST_F(ReadTest, LargeReplyFillsTheBufferAndKeepsTheRest) {
    const std::vector<std::uint8_t> sent = patternBytes(1100);
    bridge->queueUartBytes(sent);
    EXPECT_EQ(read(1000), HID_UART_SUCCESS);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(sent.begin(), sent.begin() + 1000));
    EXPECT_EQ(elapsed(), 0ms);
    EXPECT_EQ(read(1000), HID_UART_READ_TIMED_OUT);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(sent.begin() + 1000, sent.end()));
}

TEST_F(ReadTest, ZeroTimeOutTakesAWaitingReportWithoutWaiting) {
    ASSERT_EQ(driver.SetTimeouts(device, 0, 0), HID_UART_SUCCESS);
    EXPECT_EQ(read(1000), HID_UART_READ_TIMED_OUT);
    EXPECT_TRUE(bytes.empty());
    bridge->queueInputReport({0x01, 0x00});
    EXPECT_EQ(read(1000), HID_UART_READ_TIMED_OUT);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>{0x00});
    EXPECT_EQ(elapsed(), 0ms);
}

TEST_F(ReadTest, MalformedReportsAreDroppedAndNeverReadPast) {
    // A full report first, so that the driver's report buffer holds stale bytes that a
    // truncated report would expose if its id were trusted.
    bridge->queueUartBytes(std::vector<std::uint8_t>(63, 0x11));
    ASSERT_EQ(read(63), HID_UART_SUCCESS);

    std::vector<std::uint8_t> idTooLarge(64, 0x33);
    idTooLarge[0] = 64;
    bridge->queueInputReport({0x00});
    bridge->queueInputReport({0x00, 0x44, 0x44});
    bridge->queueInputReport(idTooLarge);
    bridge->queueInputReport({0xFF, 0x55});
    bridge->queueInputReport({0x0A, 0x22, 0x22});  // announces 10, brings 2
    bridge->queueInputReport({0x01});
    bridge->queueInputReport({0x02, 0xAA, 0xBB});
    EXPECT_EQ(read(1000), HID_UART_READ_TIMED_OUT);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xAA, 0xBB}));
    EXPECT_EQ(driver.droppedReports(device), 4u);
}

TEST_F(ReadTest, AStreamOfEmptyReportsCannotHoldTheReadPastItsTimeOut) {
    for (int i = 1; i <= 400; ++i) {
        bridge->queueInputReport({0x00}, i * 1ms);  // one every millisecond
    }
    EXPECT_EQ(read(1000), HID_UART_READ_TIMED_OUT);
    EXPECT_TRUE(bytes.empty());
    EXPECT_GE(elapsed(), 150ms);
    EXPECT_LT(elapsed(), 152ms);
    EXPECT_GT(bridge->queuedInputReports(), 200u);
}

TEST_F(ReadTest, RequestSizesAndPointersAreChecked) {
    std::uint8_t buffer[8];
    std::uint32_t got = 7;
    EXPECT_EQ(driver.Read(device, buffer, 0, &got), HID_UART_INVALID_REQUEST_LENGTH);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(driver.Read(device, buffer, 32769, &got), HID_UART_INVALID_REQUEST_LENGTH);
    EXPECT_EQ(driver.Read(device, nullptr, 8, &got), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.Read(device, buffer, 8, nullptr), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(elapsed(), 0ms);
}

TEST_F(ReadTest, TransportFailureGivesReadErrorAndKeepsWhatArrived) {
    bridge->queueInputReport({0x03, 0x0A, 0x0B, 0x0C});
    ASSERT_EQ(read(2), HID_UART_SUCCESS);
    bridge->failNext(FakeHidOperation::Read, HidIoStatus::Failed);
    EXPECT_EQ(read(1000), HID_UART_READ_ERROR);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(read(1), HID_UART_SUCCESS);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>{0x0C});
}

TEST_F(ReadTest, UnplugInTheMiddleOfAReadEndsItAtOnce) {
    bridge->queueInputReport({0x02, 0x04, 0x05}, 10ms);
    bridge->unplugAfter(50ms);
    EXPECT_EQ(read(1000), HID_UART_DEVICE_IO_FAILED);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(elapsed(), 50ms);  // not the whole time-out

    bool opened = true;
    ASSERT_EQ(driver.IsOpened(device, &opened), HID_UART_SUCCESS);
    EXPECT_FALSE(opened);
    EXPECT_EQ(read(1000), HID_UART_DEVICE_IO_FAILED);
    EXPECT_EQ(elapsed(), 50ms);
    ASSERT_EQ(driver.Close(device), HID_UART_SUCCESS);
    EXPECT_EQ(read(1000), HID_UART_INVALID_HANDLE);
}

TEST_F(ReadTest, HandlesReadInParallelEachGettingItsOwnBytes) {
    auto other = transport->addCp2114(1, "SN2");
    const HID_UART_DEVICE second = openBridge(1);
    const std::vector<std::uint8_t> first = patternBytes(2000, 3);
    const std::vector<std::uint8_t> theOther = patternBytes(2000, 200);
    bridge->queueUartBytes(first);
    other->queueUartBytes(theOther);

    auto drain = [&](HID_UART_DEVICE handle, std::vector<std::uint8_t>& out) {
        std::uint8_t chunk[100];
        for (int i = 0; i < 20; ++i) {
            std::uint32_t got = 0;
            if (driver.Read(handle, chunk, 100, &got) != HID_UART_SUCCESS) {
                return;
            }
            out.insert(out.end(), chunk, chunk + got);
        }
    };
    std::vector<std::uint8_t> gotFirst;
    std::vector<std::uint8_t> gotOther;
    std::thread a([&] { drain(device, gotFirst); });
    std::thread b([&] { drain(second, gotOther); });
    a.join();
    b.join();
    EXPECT_EQ(gotFirst, first);
    EXPECT_EQ(gotOther, theOther);
}

TEST_F(ReadTest, UnserialisedReadsOnOneHandleNeitherLoseNorRepeatBytes) {
    const std::vector<std::uint8_t> sent = patternBytes(4000);
    bridge->queueUartBytes(sent);
    std::vector<std::vector<std::uint8_t>> chunks[4];
    std::vector<std::thread> readers;
    for (auto& mine : chunks) {
        readers.emplace_back([&] {
            for (int i = 0; i < 10; ++i) {
                std::vector<std::uint8_t> chunk(100);
                std::uint32_t got = 0;
                EXPECT_EQ(driver.Read(device, chunk.data(), 100, &got), HID_UART_SUCCESS);
                mine.push_back(chunk);
            }
        });
    }
    for (auto& t : readers) {
        t.join();
    }
    // Every chunk is one of the 40 consecutive slices of what was sent, each taken once.
    std::vector<int> taken(40, 0);
    for (const auto& mine : chunks) {
        for (const auto& chunk : mine) {
            for (std::size_t k = 0; k < 40; ++k) {
                if (std::equal(chunk.begin(), chunk.end(),
                               sent.begin() + static_cast<long>(k * 100))) {
                    ++taken[k];
                }
            }
        }
    }
    EXPECT_EQ(taken, std::vector<int>(40, 1));
}

}  // namespace
}  // namespace qm::hiduart::testing
