#include "common/ipc/simulator_adaptor.h"

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/bus_names.h"
#include "common/ipc/wire_text.h"

namespace qm::ipc {

using Microphone = sdbus::Struct<std::string, std::string, bool>;

SimulatorAdaptor::SimulatorAdaptor(sdbus::IConnection& connection,
                                   std::shared_ptr<SimulatorControl> control)
    : control_(std::move(control)), object_(sdbus::createObject(connection, kSimulatorPath)) {
    SimulatorControl& c = *control_;
    object_->registerMethod("Plug")
        .onInterface(kSimulatorInterface)
        .withInputParamNames("model", "serial")
        .withOutputParamNames("hr")
        .implementedAs([&c](const std::string& model, const std::string& serial) {
            return static_cast<std::int32_t>(c.Plug(toWireText(model), toWireText(serial)));
        });
    object_->registerMethod("Unplug")
        .onInterface(kSimulatorInterface)
        .withInputParamNames("serial")
        .withOutputParamNames("hr")
        .implementedAs([&c](const std::string& serial) {
            return static_cast<std::int32_t>(c.Unplug(toWireText(serial)));
        });
    object_->registerMethod("PlugForeign")
        .onInterface(kSimulatorInterface)
        .withInputParamNames("name")
        .withOutputParamNames("hr", "endpointId")
        .implementedAs([&c](const std::string& name) {
            std::string id;
            const auto hr = static_cast<std::int32_t>(c.PlugForeign(toWireText(name), id));
            return std::tuple<std::int32_t, std::string>(hr, toWireText(id));
        });
    object_->registerMethod("UnplugForeign")
        .onInterface(kSimulatorInterface)
        .withInputParamNames("endpointId")
        .withOutputParamNames("hr")
        .implementedAs([&c](const std::string& id) {
            return static_cast<std::int32_t>(c.UnplugForeign(toWireText(id)));
        });
    object_->registerMethod("SetFault")
        .onInterface(kSimulatorInterface)
        .withInputParamNames("serial", "fault", "count", "value")
        .withOutputParamNames("hr")
        .implementedAs([&c](const std::string& serial, const std::string& fault, std::int32_t count,
                            std::int32_t value) {
            return static_cast<std::int32_t>(
                c.SetFault(toWireText(serial), toWireText(fault), count, value));
        });
    object_->registerMethod("List")
        .onInterface(kSimulatorInterface)
        .withOutputParamNames("hr", "microphones")
        .implementedAs([&c]() {
            std::vector<SimulatedMicrophoneState> list;
            const auto hr = static_cast<std::int32_t>(c.List(list));
            std::vector<Microphone> out;
            out.reserve(list.size());
            for (const auto& m : list) {
                out.emplace_back(toWireText(m.serial), toWireText(m.model), m.plugged);
            }
            return std::tuple<std::int32_t, std::vector<Microphone>>(hr, std::move(out));
        });
    object_->finishRegistration();
}

SimulatorAdaptor::~SimulatorAdaptor() {
    if (object_)
        object_->unregister();
}

}  // namespace qm::ipc
