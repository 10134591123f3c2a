#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "log_test_support.h"
#include "service/log/log_event_queue.h"

namespace qm {
namespace {

using testing::repeat;

std::vector<std::string> texts(const std::vector<LogEventPtr>& events) {
    std::vector<std::string> out;
    out.reserve(events.size());
    for (const auto& event : events) {
        out.emplace_back(event->text);
    }
    return out;
}

TEST(LogEvent, HoldsAtMost2047Utf16UnitsCutBetweenCharacters) {
    const LogEventPtr event = makeLogEvent(2, 0x01DC'0000'0000'0000ull, "hello");
    EXPECT_EQ(event->type, 2u);
    EXPECT_EQ(event->time, 0x01DC'0000'0000'0000ull);
    EXPECT_EQ(event->text, "hello");

    // 2047 two-byte characters are exactly the limit: all 4094 bytes are kept.
    EXPECT_EQ(makeLogEvent(0, 0, repeat("\xC3\xA9", 2047))->text.size(), 4094u);
    EXPECT_EQ(makeLogEvent(0, 0, repeat("\xC3\xA9", 2048))->text, repeat("\xC3\xA9", 2047));
    // 1024 characters outside the basic plane take 2048 units: the last pair is left out whole.
    EXPECT_EQ(makeLogEvent(0, 0, repeat("\xF0\x9F\x8E\xA4", 1024))->text,
              repeat("\xF0\x9F\x8E\xA4", 1023));
    EXPECT_EQ(makeLogEvent(0, 0, "")->text, "");
}

TEST(LogEventQueue, GivesEverythingBackInPostingOrderOnce) {
    LogEventQueue queue;
    for (const char* text : {"one", "two", "three"}) {
        queue.push(makeLogEvent(0, 0, text));
    }
    EXPECT_EQ(texts(queue.takeAll()), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_TRUE(queue.takeAll().empty());

    queue.push(makeLogEvent(0, 0, "dropped"));
    queue.discardAll();
    EXPECT_TRUE(queue.takeAll().empty());
    queue.push(makeLogEvent(0, 0, "freed with the queue"));
}

TEST(LogEventQueue, ManyProducersAndATakingConsumerLoseNothing) {
    constexpr int kProducers = 4;
    constexpr int kEach = 5000;
    LogEventQueue queue;
    std::vector<LogEventPtr> taken;
    std::vector<std::thread> producers;
    producers.reserve(kProducers);
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&queue, p] {
            for (int i = 0; i < kEach; ++i) {
                queue.push(
                    makeLogEvent(static_cast<std::uint32_t>(p), static_cast<std::uint64_t>(i), ""));
            }
        });
    }
    // The consumer takes while the producers push, a bounded number of times.
    for (int round = 0; round < 200; ++round) {
        for (auto& event : queue.takeAll()) {
            taken.push_back(std::move(event));
        }
        std::this_thread::yield();
    }
    for (auto& producer : producers) {
        producer.join();
    }
    for (auto& event : queue.takeAll()) {
        taken.push_back(std::move(event));
    }

    ASSERT_EQ(taken.size(), static_cast<std::size_t>(kProducers * kEach));
    std::vector<std::int64_t> last(kProducers, -1);
    for (const auto& event : taken) {
        const auto sequence = static_cast<std::int64_t>(event->time);
        EXPECT_EQ(sequence, last[event->type] + 1) << "producer " << event->type;
        last[event->type] = sequence;
    }
}

}  // namespace
}  // namespace qm
