#include "bare_bus_peer.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <thread>

#include <systemd/sd-bus.h>

namespace qm::bench {
namespace {

constexpr const char* kPath = "/com/quillmere/Floor";
constexpr const char* kInterface = "com.quillmere.Floor";

sd_bus* openBus(const std::string& address) {
    sd_bus* bus = nullptr;
    int r = sd_bus_new(&bus);
    if (r >= 0) {
        r = sd_bus_set_address(bus, address.c_str());
    }
    if (r >= 0) {
        r = sd_bus_set_bus_client(bus, 1);
    }
    if (r >= 0) {
        r = sd_bus_start(bus);
    }
    if (r < 0) {
        sd_bus_close_unref(bus);
        throw std::runtime_error("bare sd-bus peer: cannot connect to " + address);
    }
    return bus;
}

int getDeviceSN(sd_bus_message* call, void* /*userdata*/, sd_bus_error* /*error*/) {
    return sd_bus_reply_method_return(call, "is", std::int32_t{0}, "SN1001");
}

const sd_bus_vtable kVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD_WITH_NAMES("GetDeviceSN", "", , "is", SD_BUS_PARAM(hr) SD_BUS_PARAM(bstrDeviceSN),
                             getDeviceSN, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END};

}  // namespace

struct BareServer::State {
    sd_bus* bus = nullptr;
    sd_bus_slot* slot = nullptr;
    int stopFd = -1;
    std::string name;
    std::thread thread;

    void serve() const {
        for (;;) {
            while (sd_bus_process(bus, nullptr) > 0) {
            }
            pollfd fds[] = {{sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0},
                            {stopFd, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN) != 0) {
                return;
            }
        }
    }
};

BareServer::BareServer(const std::string& address) : state_(std::make_unique<State>()) {
    state_->bus = openBus(address);
    state_->stopFd = eventfd(0, EFD_CLOEXEC);
    if (state_->stopFd < 0 || sd_bus_add_object_vtable(state_->bus, &state_->slot, kPath,
                                                       kInterface, kVtable, nullptr) < 0) {
        throw std::runtime_error("bare sd-bus server: cannot export its object");
    }
    // Asked before the thread starts: sd-bus objects are not for two threads at once.
    const char* unique = nullptr;
    if (sd_bus_get_unique_name(state_->bus, &unique) < 0 || unique == nullptr) {
        throw std::runtime_error("bare sd-bus server: no unique name");
    }
    state_->name = unique;
    state_->thread = std::thread([state = state_.get()] { state->serve(); });
}

BareServer::~BareServer() {
    const std::uint64_t one = 1;
    // Writing to an eventfd only fails when its counter would overflow.
    [[maybe_unused]] const auto written = write(state_->stopFd, &one, sizeof one);
    state_->thread.join();
    sd_bus_slot_unref(state_->slot);
    sd_bus_flush_close_unref(state_->bus);
    close(state_->stopFd);
}

std::string BareServer::name() const {
    return state_->name;
}

struct BareClient::State {
    sd_bus* bus = nullptr;
    std::string server;
    std::string path;
    std::string interface;
};

BareClient::BareClient(const std::string& address, std::string server, std::string path,
                       std::string interface)
    : state_(std::make_unique<State>()) {
    state_->bus = openBus(address);
    state_->server = std::move(server);
    state_->path = path.empty() ? kPath : std::move(path);
    state_->interface = interface.empty() ? kInterface : std::move(interface);
}

BareClient::~BareClient() {
    sd_bus_flush_close_unref(state_->bus);
}

bool BareClient::getDeviceSN(std::string& serial) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(state_->bus, state_->server.c_str(), state_->path.c_str(),
                               state_->interface.c_str(), "GetDeviceSN", &error, &reply, "");
    std::int32_t hr = -1;
    const char* text = nullptr;
    if (r >= 0) {
        r = sd_bus_message_read(reply, "is", &hr, &text);
    }
    if (r >= 0) {
        serial = text;
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return r >= 0 && hr == 0;
}

}  // namespace qm::bench
