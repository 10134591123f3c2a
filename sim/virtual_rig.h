#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/simulated_endpoints.h"
#include "sim/virtual_hid_uart.h"

namespace qm::sim {

// Virtual microphones as the system sees them: each has a bridge on the virtual bus and an audio
// endpoint, which appear and vanish together. Foreign endpoints (another maker's audio device,
// no bridge) can be plugged too.
class VirtualRig {
  public:
    explicit VirtualRig(Clock& clock);

    VirtualHidUart& bus() { return bus_; }
    SimulatedEndpoints& endpoints() { return endpoints_; }

    // Plugs a new virtual microphone, or plugs a known one in again.
    std::shared_ptr<VirtualMicrophone> plug(const std::string& model, const std::string& serial);
    std::shared_ptr<VirtualMicrophone> plug(const MicrophoneIdentity& identity);
    // Unplugs a microphone: its bridge vanishes, then its endpoint reports not present.
    bool unplug(const std::string& serial);
    // An audio endpoint without a bridge; returns its endpoint id.
    std::string plugForeignEndpoint(const std::string& name);
    void unplugForeignEndpoint(const std::string& endpointId);

    // Every microphone ever plugged, by serial (also the unplugged ones).
    std::shared_ptr<VirtualMicrophone> microphone(const std::string& serial) const;
    std::vector<std::shared_ptr<VirtualMicrophone>> microphones() const;
    static std::string endpointIdOf(const std::string& serial);

    // Told after a microphone was plugged in (true) or unplugged (false), on the thread that did
    // it; for parts that follow the microphones, such as their sound.
    using PlugObserver =
        std::function<void(const std::shared_ptr<VirtualMicrophone>& microphone, bool plugged)>;
    void setPlugObserver(PlugObserver observer);

  private:
    void notify(const std::shared_ptr<VirtualMicrophone>& mic, bool plugged);

    VirtualHidUart bus_;
    SimulatedEndpoints endpoints_;
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<VirtualMicrophone>> known_;
    PlugObserver observer_;
};

}  // namespace qm::sim
