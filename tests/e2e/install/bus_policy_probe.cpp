// qm_bus_policy_probe: what one bus user may do on a bus, line by line on standard output, for
// the system bus policy test (which runs it as different users).
//
//   qm_bus_policy_probe ADDRESS own NAME
//       "own <reply code>" (1 primary owner ... 4 already owner) or "own <error name>"
//   qm_bus_policy_probe ADDRESS call-all XML SERIAL TEXT
//       calls every method of the manager and device interfaces in the interface XML (the device
//       object of SERIAL), and Introspect on the manager, with zero values and TEXT for strings:
//       one line "<interface>.<method> ok|<error name>" each
//   qm_bus_policy_probe ADDRESS call DESTINATION PATH INTERFACE METHOD SIGNATURE TEXT
//       one such line for one call
//   qm_bus_policy_probe ADDRESS serve
//       exports a notification sink and another object at the same path, advises the sink to
//       the service, prints "name <unique name> <sink path> <AdviceSink result>", then
//       "notify <serial> <state>" for each notification, until SIGTERM (at most a minute)
#include <systemd/sd-bus.h>

#include <pugixml.hpp>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "common/ipc/bus_names.h"

namespace {

constexpr std::uint64_t kCallTimeoutUs = 10'000'000;
constexpr std::uint64_t kServeLimitUs = 60'000'000;
constexpr const char* kProbeInterface = "com.quillmere.Probe";

volatile std::sig_atomic_t stopRequested = 0;

// sd_bus_error values start as "error{}": SD_BUS_ERROR_NULL, without its C compound literal.

struct BusDeleter {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using BusPtr = std::unique_ptr<sd_bus, BusDeleter>;

BusPtr connect(const char* address) {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) {
        return nullptr;
    }
    BusPtr owned(bus);
    if (sd_bus_set_address(bus, address) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
        sd_bus_start(bus) < 0) {
        return nullptr;
    }
    return owned;
}

// Appends the zero value of each type (TEXT for strings, "/" for object paths).
int appendDefaults(sd_bus_message* message, const std::string& signature, const std::string& text) {
    for (char type : signature) {
        int r = 0;
        switch (type) {
            case 'y': {
                const std::uint8_t zero = 0;
                r = sd_bus_message_append_basic(message, type, &zero);
                break;
            }
            case 'i':
            case 'u':
            case 'b': {
                const std::int32_t zero = 0;
                r = sd_bus_message_append_basic(message, type, &zero);
                break;
            }
            case 's':
                r = sd_bus_message_append_basic(message, type, text.c_str());
                break;
            case 'o':
                r = sd_bus_message_append_basic(message, type, "/");
                break;
            default:
                return -EINVAL;
        }
        if (r < 0) {
            return r;
        }
    }
    return 0;
}

// "ok" or the error's name.
std::string call(sd_bus* bus, const char* destination, const std::string& path,
                 const std::string& interface, const std::string& method,
                 const std::string& signature, const std::string& text) {
    sd_bus_message* message = nullptr;
    int r = sd_bus_message_new_method_call(bus, &message, destination, path.c_str(),
                                           interface.c_str(), method.c_str());
    if (r >= 0) {
        r = appendDefaults(message, signature, text);
    }
    if (r < 0) {
        sd_bus_message_unref(message);
        return "probe-error";
    }
    sd_bus_error error{};
    sd_bus_message* reply = nullptr;
    r = sd_bus_call(bus, message, kCallTimeoutUs, &error, &reply);
    std::string result = r >= 0 ? "ok" : (error.name != nullptr ? error.name : "probe-error");
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_message_unref(message);
    return result;
}

void printCall(const std::string& interface, const std::string& method, const std::string& result) {
    std::printf("%s.%s %s\n", interface.c_str(), method.c_str(), result.c_str());
}

int own(sd_bus* bus, const char* name) {
    sd_bus_error error{};
    sd_bus_message* reply = nullptr;
    const std::uint32_t doNotQueue = 4;
    const int r = sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                     "org.freedesktop.DBus", "RequestName", &error, &reply, "su",
                                     name, doNotQueue);
    std::uint32_t code = 0;
    if (r >= 0 && sd_bus_message_read(reply, "u", &code) >= 0) {
        std::printf("own %u\n", code);
    } else {
        std::printf("own %s\n", error.name != nullptr ? error.name : "probe-error");
    }
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    return 0;
}

std::string inSignature(const pugi::xml_node& method) {
    std::string signature;
    for (const pugi::xml_node& arg : method.children("arg")) {
        if (std::string(arg.attribute("direction").as_string("in")) == "in") {
            signature += arg.attribute("type").as_string();
        }
    }
    return signature;
}

int callAll(sd_bus* bus, const char* xmlFile, const std::string& serial, const std::string& text) {
    pugi::xml_document document;
    if (!document.load_file(xmlFile)) {
        std::fprintf(stderr, "qm_bus_policy_probe: cannot read %s\n", xmlFile);
        return 2;
    }
    const std::pair<const char*, std::string> objects[] = {
        {qm::ipc::kSdkInterface, qm::ipc::kSdkPath},
        {qm::ipc::kDeviceInterface, qm::ipc::devicePath(serial, 1)},
    };
    for (const auto& [interface, path] : objects) {
        const pugi::xml_node node =
            document.child("node").find_child_by_attribute("interface", "name", interface);
        for (const pugi::xml_node& method : node.children("method")) {
            const std::string name = method.attribute("name").as_string();
            printCall(
                interface, name,
                call(bus, qm::ipc::kBusName, path, interface, name, inSignature(method), text));
        }
    }
    const char* introspectable = "org.freedesktop.DBus.Introspectable";
    printCall(
        introspectable, "Introspect",
        call(bus, qm::ipc::kBusName, qm::ipc::kSdkPath, introspectable, "Introspect", "", text));
    return 0;
}

int onNotify(sd_bus_message* message, void* /*data*/, sd_bus_error* /*error*/) {
    const char* serial = nullptr;
    std::int32_t state = 0;
    if (sd_bus_message_read(message, "si", &serial, &state) < 0) {
        return -EINVAL;
    }
    std::printf("notify %s %d\n", serial, state);
    std::fflush(stdout);
    return sd_bus_reply_method_return(message, "i", 0);
}

int onPoke(sd_bus_message* message, void* /*data*/, sd_bus_error* /*error*/) {
    return sd_bus_reply_method_return(message, "");
}

const sd_bus_vtable kSinkVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("OnDeviceNotify", "si", "i", onNotify, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};
const sd_bus_vtable kProbeVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Poke", "", "", onPoke, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

std::uint64_t nowUs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000 +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000;
}

int serve(sd_bus* bus) {
    std::signal(SIGTERM, [](int) { stopRequested = 1; });
    const std::string sinkPath = qm::ipc::clientSinkPath(1);
    if (sd_bus_add_object_vtable(bus, nullptr, sinkPath.c_str(), qm::ipc::kDeviceNotifyInterface,
                                 kSinkVtable, nullptr) < 0 ||
        sd_bus_add_object_vtable(bus, nullptr, sinkPath.c_str(), kProbeInterface, kProbeVtable,
                                 nullptr) < 0) {
        return 2;
    }
    const char* unique = nullptr;
    sd_bus_get_unique_name(bus, &unique);
    sd_bus_error error{};
    sd_bus_message* reply = nullptr;
    std::int32_t advised = -1;
    if (sd_bus_call_method(bus, qm::ipc::kBusName, qm::ipc::kSdkPath, qm::ipc::kSdkInterface,
                           "AdviceSink", &error, &reply, "o", sinkPath.c_str()) >= 0) {
        sd_bus_message_read(reply, "i", &advised);
    }
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    std::printf("name %s %s %d\n", unique, sinkPath.c_str(), advised);
    std::fflush(stdout);

    const std::uint64_t deadline = nowUs() + kServeLimitUs;
    while (stopRequested == 0 && nowUs() < deadline) {
        const int r = sd_bus_process(bus, nullptr);
        if (r < 0) {
            return 1;
        }
        if (r == 0) {
            sd_bus_wait(bus, 100'000);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc < 3) {
        std::fprintf(stderr, "usage: qm_bus_policy_probe ADDRESS own|call-all|call|serve ...\n");
        return 2;
    }
    BusPtr bus = connect(argv[1]);
    if (!bus) {
        std::fprintf(stderr, "qm_bus_policy_probe: cannot connect to %s\n", argv[1]);
        return 3;
    }
    const std::string command = argv[2];
    if (command == "own" && argc == 4) {
        return own(bus.get(), argv[3]);
    }
    if (command == "call-all" && argc == 6) {
        return callAll(bus.get(), argv[3], argv[4], argv[5]);
    }
    if (command == "call" && argc == 9) {
        printCall(argv[5], argv[6],
                  call(bus.get(), argv[3], argv[4], argv[5], argv[6], argv[7], argv[8]));
        return 0;
    }
    if (command == "serve" && argc == 3) {
        return serve(bus.get());
    }
    std::fprintf(stderr, "qm_bus_policy_probe: bad arguments\n");
    return 2;
}
