#include <gtest/gtest.h>

#include <vector>

#include "platform/hiduart/cp2114_reports.h"

namespace qm::hiduart::cp2114 {
namespace {

std::vector<std::uint8_t> head(const Report& report, std::size_t count) {
    return {report.begin(), report.begin() + static_cast<std::ptrdiff_t>(count)};
}

bool zeroFrom(const Report& report, std::size_t from) {
    for (std::size_t i = from; i < report.size(); ++i) {
        if (report[i] != 0) {
            return false;
        }
    }
    return true;
}

TEST(Cp2114Reports, UartConfigIsBigEndianBaudThenParityFlowDataBitsStopBits) {
    // Every field distinct, so a swapped field shows.
    const Report other = uartConfigReport({0x00123456, 2, 4, 1, 1});
    EXPECT_EQ(head(other, 9),
              (std::vector<std::uint8_t>{0x50, 0x00, 0x12, 0x34, 0x56, 0x04, 0x01, 0x02, 0x01}));
    EXPECT_TRUE(zeroFrom(other, 9));
}

struct ParseCase {
    const char* name;
    std::vector<std::uint8_t> received;
    InputReportKind kind;
    std::vector<std::uint8_t> data;
};

TEST(Cp2114Reports, InputReportsAreTakenOnlyWhenTheirIdFitsWhatArrived) {
    std::vector<std::uint8_t> full(64, 0x5A);
    full[0] = 63;
    std::vector<std::uint8_t> tooLong(64, 0x5A);
    tooLong[0] = 64;
    const ParseCase cases[] = {
        {"nothing arrived", {}, InputReportKind::Empty, {}},
        {"id 0", {0x00, 0x11, 0x22}, InputReportKind::Empty, {}},
        {"exact", {0x03, 0x01, 0x02, 0x03}, InputReportKind::Data, {0x01, 0x02, 0x03}},
        {"padding after the data",
         {0x02, 0x0A, 0x0B, 0xEE, 0xEE},
         InputReportKind::Data,
         {0x0A, 0x0B}},
        {"63 bytes", full, InputReportKind::Data, std::vector<std::uint8_t>(63, 0x5A)},
        {"id 64", tooLong, InputReportKind::NotData, {}},
        {"id 255", {0xFF, 0x01}, InputReportKind::NotData, {}},
        {"id larger than what arrived", {0x05, 0x01, 0x02}, InputReportKind::Truncated, {}},
        {"id alone", {0x01}, InputReportKind::Truncated, {}},
    };
    for (const ParseCase& c : cases) {
        const InputReportData parsed = parseInputReport(c.received);
        EXPECT_EQ(parsed.kind, c.kind) << c.name;
        EXPECT_EQ(std::vector<std::uint8_t>(parsed.data.begin(), parsed.data.end()), c.data)
            << c.name;
    }
}

}  // namespace
}  // namespace qm::hiduart::cp2114
