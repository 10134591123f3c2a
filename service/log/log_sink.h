#pragma once

#include <cstdint>
#include <string_view>

namespace qm::log {

// Where a component sends its finished log lines. The text is written as it stands; it is never
// used as a format. `type` is the log event type (0 info, 1 warning, 2 error, 3 debug).
class LogSink {
  public:
    virtual ~LogSink() = default;
    virtual void write(std::uint32_t type, std::string_view text) = 0;
};

}  // namespace qm::log
