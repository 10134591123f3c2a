#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Where the CPU load graph gets its figures: the machine's accumulated idle, kernel and user
// time, and the studio process's own kernel and user time, all in the same unit (clock ticks).
// As on the platform the graph was first made for, the kernel time includes the idle time, so
// the busy share of an interval is (Δkernel + Δuser − Δidle) / (Δkernel + Δuser).
namespace qm::audio {

struct SystemCpuTimes {
    std::uint64_t idle = 0;
    std::uint64_t kernel = 0;  // includes idle
    std::uint64_t user = 0;
};

struct ProcessCpuTimes {
    std::uint64_t kernel = 0;
    std::uint64_t user = 0;
};

class CpuTimesSource {
  public:
    virtual ~CpuTimesSource() = default;
    // Nothing when the figures can't be read.
    virtual std::optional<SystemCpuTimes> systemTimes() = 0;
    virtual std::optional<ProcessCpuTimes> processTimes() = 0;
};

// The summary line of /proc/stat ("cpu  user nice system idle iowait irq softirq steal ..."):
// idle = idle + iowait; user = user + nice (guest time is already inside user); kernel = system
// + irq + softirq + steal + idle. Nothing when the line is missing or has fewer than four
// figures; figures a kernel doesn't give (iowait and later) count as 0.
std::optional<SystemCpuTimes> parseProcStat(std::string_view text);

// /proc/<pid>/stat: utime and stime, fields 14 and 15, counted after the parenthesised command
// name (which may itself hold spaces and parentheses).
std::optional<ProcessCpuTimes> parseProcessStat(std::string_view text);

// The figures of this machine and this process, from /proc.
class ProcCpuTimes final : public CpuTimesSource {
  public:
    std::optional<SystemCpuTimes> systemTimes() override;
    std::optional<ProcessCpuTimes> processTimes() override;
};

}  // namespace qm::audio
