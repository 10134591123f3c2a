#include "service/com/dbus_server_runtime.h"

#include <ostream>

#include "common/ipc/bus_names.h"
#include "platform/endpoints/udev_endpoints.h"
#include "platform/hiduart/cp2114_driver.h"
#include "platform/hiduart/hidapi_transport.h"
#include "platform/hiduart/recording_hid_transport.h"
#include "service/com/simulated_rig_control.h"
#include "service/core/quillmere_sdk.h"
#include "service/log/log_storage.h"
#include "sim/replay_hid_transport.h"

namespace qm::com {

namespace {

ipc::BusAddress busAddressOf(const BusChoice& bus) {
    switch (bus.kind) {
        case BusChoice::Kind::Session:
            return ipc::BusAddress::session();
        case BusChoice::Kind::Address:
            return ipc::BusAddress::explicitAddress(bus.address);
        case BusChoice::Kind::System:
            break;
    }
    return ipc::BusAddress::system();
}

}  // namespace

DbusServerRuntime::DbusServerRuntime(const RuntimeContext& context)
    : options_(context.options),
      store_(context.store),
      clock_(context.clock),
      errors_(context.errors) {}

DbusServerRuntime::~DbusServerRuntime() {
    unregisterEndpoints();
    simulatorAdaptor_.reset();
    sdkAdaptor_.reset();
    manager_.reset();
    connection_.reset();
}

sdk::HRESULT DbusServerRuntime::registerClassObjects() {
    const ipc::BusAddress address = busAddressOf(options_.bus);
    try {
        connection_ = ipc::BusConnection::open(address);
        connection_->requestName(ipc::kBusName);
        connection_->startEventLoop();
    } catch (const std::exception& e) {
        errors_ << "qmMicHost: cannot serve on the " << address.describe() << " bus: " << e.what()
                << "\n";
        connection_.reset();
        return static_cast<sdk::HRESULT>(0x800706BAu);  // the server is not available
    }
    return sdk::S_OK;
}

std::shared_ptr<sdk::IQuillmereSDK> DbusServerRuntime::createDeviceManager() {
    if (!connection_)
        return nullptr;
    if (!options_.replay.empty()) {
        const std::shared_ptr<hiduart::HidTransport> replayed = replayTransport();
        if (!replayed)
            return nullptr;
        bridges_ = std::make_unique<hiduart::Cp2114Driver>(replayed, clock_);
        endpoints_ = std::make_unique<sim::SimulatedEndpoints>();
    } else if (options_.simulate.empty()) {
        bridges_ = std::make_unique<hiduart::Cp2114Driver>(machineTransport(), clock_);
        endpoints_ = std::make_unique<endpoints::UdevEndpoints>();
    } else {
        rig_ = std::make_unique<sim::VirtualRig>(clock_);
        startSound();
        for (const SimulatedMicrophone& mic : options_.simulate)
            rig_->plug(mic.model, mic.serial);
    }
    hiduart::HidUartApi& bridges = rig_ ? rig_->bus() : *bridges_;
    endpoints::EndpointSystem& endpoints = rig_ ? rig_->endpoints() : *endpoints_;

    try {
        manager_ = core::CQuillmereSDK::create(core::DeviceEnvironment{
            store_, bridges, endpoints, clock_, FileLogStorage::instance()});
        sdkAdaptor_ = std::make_unique<ipc::SdkAdaptor>(connection_->native(), manager_);
        if (rig_) {
            simulatorAdaptor_ = std::make_unique<ipc::SimulatorAdaptor>(
                connection_->native(), std::make_shared<SimulatedRigControl>(*rig_));
        }
    } catch (const std::exception& e) {
        errors_ << "qmMicHost: cannot export the device manager: " << e.what() << "\n";
        sdkAdaptor_.reset();
        manager_.reset();
        return nullptr;
    }
    return manager_;
}

void DbusServerRuntime::startSound() {
    if (!options_.sound) {
        return;
    }
    std::string error;
    sound_ = sim::RigSound::connect(*options_.sound, error);
    if (sound_ == nullptr) {
        errors_ << "qmMicHost: the virtual microphones have no sound: " << error << "\n";
        return;
    }
    rig_->setPlugObserver([this](const std::shared_ptr<sim::VirtualMicrophone>& mic, bool plugged) {
        if (!plugged) {
            sound_->unplugged(mic->identity().serial);
            return;
        }
        std::string reason;
        if (!sound_->plugged(mic, reason)) {
            errors_ << "qmMicHost: " << mic->identity().serial << " has no sound: " << reason
                    << "\n";
        }
    });
}

// The machine's HID devices; with --record, their traffic goes to the file too.
std::shared_ptr<hiduart::HidTransport> DbusServerRuntime::machineTransport() {
    std::shared_ptr<hiduart::HidTransport> transport = hiduart::createHidapiTransport();
    if (options_.record.empty())
        return transport;
    auto writer = std::make_shared<hiduart::RecordingWriter>(options_.record, clock_);
    if (!writer->good()) {
        errors_ << "qmMicHost: cannot record to " << options_.record << "; serving unrecorded\n";
        return transport;
    }
    return std::make_shared<hiduart::RecordingHidTransport>(transport, writer);
}

// The bridges of the --replay recording; nothing (and a line that says why) when it can't be read.
std::shared_ptr<hiduart::HidTransport> DbusServerRuntime::replayTransport() {
    std::string error;
    const auto recording = hiduart::readRecordingFile(options_.replay, error);
    if (!recording) {
        errors_ << "qmMicHost: --replay: " << error << "\n";
        return nullptr;
    }
    return std::make_shared<sim::ReplayHidTransport>(*recording, clock_);
}

bool DbusServerRuntime::registerEndpointNotifications(
    const std::shared_ptr<sdk::IQuillmereSDK>& manager) {
    if (!manager_ || manager.get() != manager_.get())
        return false;
    endpoints::EndpointSystem& endpoints = rig_ ? rig_->endpoints() : *endpoints_;
    listener_ = std::make_unique<core::CMMNotificationClient>(manager_);
    endpoints.setListener(listener_.get());
    if (auto* udev = dynamic_cast<endpoints::UdevEndpoints*>(endpoints_.get())) {
        return udev->available();
    }
    return true;
}

void DbusServerRuntime::unregisterEndpoints() {
    if (!listener_)
        return;
    endpoints::EndpointSystem& endpoints = rig_ ? rig_->endpoints() : *endpoints_;
    endpoints.setListener(nullptr);
    listener_.reset();
}

void DbusServerRuntime::revokeClassObjects() {
    unregisterEndpoints();
    simulatorAdaptor_.reset();
    sdkAdaptor_.reset();
    manager_.reset();  // the last reference: the manager stops its devices and its log here
    if (connection_)
        connection_->stopEventLoop();
}

}  // namespace qm::com
