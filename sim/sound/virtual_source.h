#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/pulse/pulse_connection.h"

// The capture source of a virtual microphone on a sound server: a null sink that the
// microphone's signal is played into, and a source remapped from that sink's monitor that carries
// the microphone's USB identity (bus, vendor id, product id, serial number), as a USB
// microphone's source does. Both are float stereo at 48 kHz. Removed with the object.
namespace qm::sim {

struct VirtualSourceIdentity {
    std::string serial;
    std::string description;  // what mixers show
    std::string vendorId = "10c4";
    std::string productId = "eab0";
};

class VirtualSource {
  public:
    static std::unique_ptr<VirtualSource> create(std::shared_ptr<pulse::PulseConnection> connection,
                                                 const VirtualSourceIdentity& identity,
                                                 Duration timeout, std::string& error);
    VirtualSource(const VirtualSource&) = delete;
    VirtualSource& operator=(const VirtualSource&) = delete;
    ~VirtualSource();

    // Names on the server; every name begins with "qm_sim_", so that left-overs of a program
    // that was killed can be found and removed.
    const std::string& sinkName() const { return sinkName_; }
    const std::string& sourceName() const { return sourceName_; }

    static std::string sinkNameOf(const std::string& serial);
    static std::string sourceNameOf(const std::string& serial);

  private:
    VirtualSource(std::shared_ptr<pulse::PulseConnection> connection, Duration timeout);

    std::shared_ptr<pulse::PulseConnection> connection_;
    Duration timeout_;
    std::string sinkName_;
    std::string sourceName_;
    std::uint32_t sinkModule_ = PA_INVALID_INDEX;
    std::uint32_t sourceModule_ = PA_INVALID_INDEX;
};

}  // namespace qm::sim
