// The interface file says exactly what the method tables declare and what the service and the
// clients export.
#include <gtest/gtest.h>

#include <algorithm>

#include <sdbus-c++/sdbus-c++.h>
#include <pugixml.hpp>

#include "common/ipc/bus_names.h"
#include "common/ipc/remote_sink_proxy.h"
#include "common/ipc/wire_types.h"
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

// The same description of every method of a table, in slot order: in values, the HRESULT, then
// out values, each with the signature it travels with.
template <typename T>
std::string signatureOf() {
    return sdbus::signature_of<WireType<T>>::str();
}
#define QM_DESCRIBE_IN(dir, type, name) QM_DESCRIBE_IN_##dir(type, name)
#define QM_DESCRIBE_IN_in(type, name) +("in " + signatureOf<type>() + " " #name ", ")
#define QM_DESCRIBE_IN_out(type, name)
#define QM_DESCRIBE_IN_outp(type, name)
#define QM_DESCRIBE_OUT(dir, type, name) QM_DESCRIBE_OUT_##dir(type, name)
#define QM_DESCRIBE_OUT_in(type, name)
#define QM_DESCRIBE_OUT_out(type, name) +("out " + signatureOf<type>() + " " #name ", ")
#define QM_DESCRIBE_OUT_outp(type, name) QM_DESCRIBE_OUT_out(type, name)
#define QM_DESCRIBE(Name, ...)                                        \
    std::string(#Name "(") QM_FOR_EACH(QM_DESCRIBE_IN, __VA_ARGS__) + \
        "out i hr, " QM_FOR_EACH(QM_DESCRIBE_OUT, __VA_ARGS__) + ")",

TEST(InterfaceFileTest, ListsTheMethodTablesInSlotOrder) {
    const std::vector<std::string> manager{QM_MANAGER_METHODS(QM_DESCRIBE, QM_DESCRIBE)};
    const std::vector<std::string> device{QM_DEVICE_METHODS(QM_DESCRIBE)};
    EXPECT_EQ(describeInterface(interfaceFile(), kSdkInterface), manager);
    EXPECT_EQ(describeInterface(interfaceFile(), kDeviceInterface), device);
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
}

TEST_F(IntrospectionTest, DeviceMatchesTheInterfaceFile) {
    addDevices(1);
    auto client = connect();
    const std::string path = pathOf(enumerateAll(*client).at(0));
    ASSERT_FALSE(path.empty());
    expectSame(kDeviceInterface, introspect(kBusName, path));
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
