#pragma once

#include <memory>
#include <string>

// The floor of a D-Bus round trip: sd-bus itself on both ends, with nothing of ours in between.
// The server answers GetDeviceSN with the device interface's signature (an HRESULT and a string)
// on a thread of its own; the client calls it (or the service's device object) synchronously from
// the caller's thread, on a connection that runs no event loop.
namespace qm::bench {

class BareServer {
  public:
    // Connects to the bus at `address` and serves until destroyed. Throws std::runtime_error.
    explicit BareServer(const std::string& address);
    BareServer(const BareServer&) = delete;
    BareServer& operator=(const BareServer&) = delete;
    ~BareServer();

    // The server's unique name on the bus.
    std::string name() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

class BareClient {
  public:
    // Calls GetDeviceSN of `interface` on the object at `path` of `server` (the bare server's
    // own object when both are empty). Throws std::runtime_error.
    BareClient(const std::string& address, std::string server, std::string path = {},
               std::string interface = {});
    BareClient(const BareClient&) = delete;
    BareClient& operator=(const BareClient&) = delete;
    ~BareClient();

    // One GetDeviceSN round trip; false when it failed.
    bool getDeviceSN(std::string& serial);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace qm::bench
