// A client in a process of its own for the tests: connects to the bus given as its argument,
// advises a sink, says "advised" and waits until it is killed.
#include <unistd.h>

#include <iostream>

#include "common/ipc/client.h"

namespace {

class QuietSink final : public qm::sdk::IDeviceNotify {
  public:
    qm::sdk::HRESULT OnDeviceNotify(const std::string& /*bstrSN*/, int /*nState*/) override {
        return qm::sdk::S_OK;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: qm_ipc_test_peer <bus address>\n";
        return 2;
    }
    qm::ipc::ClientOptions options;
    options.bus = qm::ipc::BusAddress::explicitAddress(argv[1]);
    qm::sdk::HRESULT hr = qm::sdk::S_OK;
    auto client = qm::ipc::connectToService(options, &hr);
    if (!client) {
        std::cout << "connect failed " << hr << std::endl;
        return 1;
    }
    auto sink = std::make_shared<QuietSink>();
    if (client->AdviceSink(sink) != qm::sdk::S_OK) {
        std::cout << "advise failed" << std::endl;
        return 1;
    }
    std::cout << "advised" << std::endl;
    for (;;) {
        pause();
    }
}
