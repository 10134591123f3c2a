// The interface file says exactly what the service and the clients export.
#include <gtest/gtest.h>

#include <algorithm>

#include <sdbus-c++/sdbus-c++.h>
#include <pugixml.hpp>

#include "common/ipc/bus_names.h"
#include "common/ipc/remote_sink_proxy.h"
#include "ipc_fixture.h"
#include "recording_sink.h"

namespace qm::ipc::testing {
namespace {

// "Method(in y bEQ, out i hr, ...)" for every method of `interfaceName`, in document order.
std::vector<std::string> describeInterface(const pugi::xml_document& document,
                                           const std::string& interfaceName) {
    std::vector<std::string> methods;
    const auto node =
        document.child("node").find_child_by_attribute("interface", "name", interfaceName.c_str());
    for (const auto& method : node.children("method")) {
        std::string text = std::string(method.attribute("name").value()) + "(";
        for (const auto& arg : method.children("arg")) {
            text += std::string(arg.attribute("direction").value()) + " " +
                    arg.attribute("type").value() + " " + arg.attribute("name").value() + ", ";
        }
        methods.push_back(text + ")");
    }
    return methods;
}

pugi::xml_document parse(const std::string& xml) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(xml.c_str()));
    return document;
}

pugi::xml_document interfaceFile() {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_file(QM_IPC_INTERFACE_XML));
    return document;
}

class IntrospectionTest : public IpcFixture {
  protected:
    std::string introspect(const std::string& destination, const std::string& path) {
        auto connection = sdbus::createSessionBusConnectionWithAddress(bus_->address());
        auto proxy = sdbus::createProxy(*connection, destination, path);
        std::string xml;
        proxy->callMethod("Introspect")
            .onInterface("org.freedesktop.DBus.Introspectable")
            .storeResultsTo(xml);
        return xml;
    }

    void expectSame(const std::string& interfaceName, const std::string& liveXml) {
        // The bus lists methods by name; the file lists them in slot order.
        auto file = describeInterface(interfaceFile(), interfaceName);
        auto live = describeInterface(parse(liveXml), interfaceName);
        std::sort(file.begin(), file.end());
        std::sort(live.begin(), live.end());
        EXPECT_FALSE(file.empty());
        EXPECT_EQ(file, live);
    }
};

TEST_F(IntrospectionTest, ManagerMatchesTheInterfaceFile) {
    expectSame(kSdkInterface, introspect(kBusName, kSdkPath));
    EXPECT_EQ(describeInterface(interfaceFile(), kSdkInterface).size(), 12u);
}

TEST_F(IntrospectionTest, DeviceMatchesTheInterfaceFile) {
    addDevices(1);
    auto client = connect();
    const std::string path = pathOf(enumerateAll(*client).at(0));
    ASSERT_FALSE(path.empty());
    expectSame(kDeviceInterface, introspect(kBusName, path));
    EXPECT_EQ(describeInterface(interfaceFile(), kDeviceInterface).size(), 46u);
}

TEST_F(IntrospectionTest, ClientSinkMatchesTheInterfaceFile) {
    auto client = connect();
    ASSERT_EQ(client->AdviceSink(std::make_shared<RecordingSink>()), sdk::S_OK);
    // The manager's view of the sink names the client's connection and the sink's path.
    auto remote = std::dynamic_pointer_cast<RemoteSinkProxy>(manager_->sinks().at(0));
    ASSERT_NE(remote, nullptr);
    EXPECT_EQ(remote->path(), clientSinkPath(1));
    expectSame(kDeviceNotifyInterface, introspect(remote->client(), remote->path()));
}

}  // namespace
}  // namespace qm::ipc::testing
