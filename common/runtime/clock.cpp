#include "common/runtime/clock.h"

#include <ctime>
#include <thread>

namespace qm {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;  // 100-ns units
constexpr std::int64_t kDaysFrom1601To1970 = 134'774;

// Days since 1970-01-01 of a civil date (proleptic Gregorian), after H. Hinnant's algorithm.
std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned mp = static_cast<unsigned>(m + (m > 2 ? -3 : 9));
    const unsigned doy = (153 * mp + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
}

class NoSubscription final : public Clock::Subscription {};

}  // namespace

std::uint64_t toFileTime(const LocalDateTime& t) {
    const std::int64_t days = daysFromCivil(t.year, t.month, t.day) + kDaysFrom1601To1970;
    const std::int64_t seconds =
        days * 86400 + std::int64_t{t.hour} * 3600 + std::int64_t{t.minute} * 60 + t.second;
    return static_cast<std::uint64_t>(seconds * kTicksPerSecond +
                                      std::int64_t{t.millisecond} * 10'000);
}

LocalDateTime fromFileTime(std::uint64_t fileTime) {
    const auto ticks = static_cast<std::int64_t>(fileTime);
    const std::int64_t totalMs = ticks / 10'000;
    const std::int64_t totalSeconds = totalMs / 1000;
    const std::int64_t days = totalSeconds / 86400;
    const std::int64_t secondOfDay = totalSeconds % 86400;
    LocalDateTime t;
    civilFromDays(days - kDaysFrom1601To1970, t.year, t.month, t.day);
    t.hour = static_cast<int>(secondOfDay / 3600);
    t.minute = static_cast<int>(secondOfDay / 60 % 60);
    t.second = static_cast<int>(secondOfDay % 60);
    t.millisecond = static_cast<int>(totalMs % 1000);
    return t;
}

Clock& Clock::real() {
    static RealClock clock;
    return clock;
}

TimePoint RealClock::now() const {
    return std::chrono::steady_clock::now();
}

LocalDateTime RealClock::localNow() const {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    return {tm.tm_year + 1900,
            tm.tm_mon + 1,
            tm.tm_mday,
            tm.tm_hour,
            tm.tm_min,
            tm.tm_sec,
            static_cast<int>(ms < 0 ? ms + 1000 : ms)};
}

void RealClock::sleepFor(Duration d) {
    std::this_thread::sleep_for(d);
}

std::unique_ptr<Clock::Subscription> RealClock::subscribe(std::mutex&, std::condition_variable&) {
    return std::make_unique<NoSubscription>();
}

bool RealClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                          TimePoint deadline) {
    return cv.wait_until(lock, deadline) == std::cv_status::no_timeout ||
           std::chrono::steady_clock::now() < deadline;
}

}  // namespace qm
