#pragma once

#include <cstdint>

#include "common/runtime/clock.h"

namespace qm::sim {

// Faults a virtual microphone shows on demand. Counters count down with each frame they
// affect; -1 means "until cleared".
struct FaultPlan {
    int failWrites = 0;     // Write fails with a write error
    int noReply = 0;        // frames get no answer
    int wrongBlock = 0;     // status replies carry a wrong block number in byte 0
    int garbage = 0;        // answers are replaced by bytes that mean nothing
    int rejectChanges = 0;  // changes are refused with a non-zero acknowledgement
    std::uint8_t rejectCode = 0x01;
    int unplugAfterWrites = -1;  // unplug right after this many more frames were written
    Duration replyDelay{0};      // slowness: answers arrive this long after the frame
    int passFrames = 0;          // frames that go through untouched before the faults apply

    static constexpr int kForever = -1;
};

}  // namespace qm::sim
