#include "service/com/com_registration.h"

#include "common/sdk/identifiers.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "service/com/security_descriptor.h"
#include "service/com/service_identity.h"

namespace qm::com {
namespace {

using registry::Access;
using registry::Hive;
using registry::Key;

constexpr std::size_t kLocalServiceMaxBytes = 520;

sdk::HRESULT fromStatus(long status) {
    return sdk::HRESULT_FROM_WIN32(static_cast<std::int32_t>(status));
}

std::string appIdKeyPath() {
    return "AppID\\" + sdk::APPID_qmMicHost.toBracedString();
}

registry::Value binaryValue(const std::vector<std::uint8_t>& bytes) {
    return {registry::ValueType::Binary, bytes};
}

// Writes each value in turn; the first failure ends it.
class KeyWriter {
  public:
    explicit KeyWriter(const Key& key) : key_(key) {}

    KeyWriter& string(std::string_view name, std::string_view text) {
        if (status_ == registry::ERROR_SUCCESS) {
            status_ = registry::writeString(key_, name, text);
        }
        return *this;
    }
    KeyWriter& value(std::string_view name, const registry::Value& value) {
        if (status_ == registry::ERROR_SUCCESS) {
            status_ = key_.setValue(name, value);
        }
        return *this;
    }
    // A subkey whose default value is `text`.
    KeyWriter& subkey(std::string_view path, std::string_view text) {
        if (status_ == registry::ERROR_SUCCESS) {
            Key sub;
            status_ = key_.createSubkey(path, Access::ReadWrite, sub);
            if (status_ == registry::ERROR_SUCCESS) {
                status_ = registry::writeString(sub, "", text);
            }
        }
        return *this;
    }
    // A subkey with no values.
    KeyWriter& emptySubkey(std::string_view path) {
        if (status_ == registry::ERROR_SUCCESS) {
            Key sub;
            status_ = key_.createSubkey(path, Access::ReadWrite, sub);
        }
        return *this;
    }
    long status() const { return status_; }

  private:
    const Key& key_;
    long status_ = registry::ERROR_SUCCESS;
};

// Creates HKCR\<path> and fills it; the registry status of the first failure.
template <typename Fill>
long writeKey(registry::Store& store, const std::string& path, Fill fill) {
    Key key;
    const long status = store.createKey(Hive::ClassesRoot, path, Access::ReadWrite, key);
    if (status != registry::ERROR_SUCCESS) {
        return status;
    }
    KeyWriter writer(key);
    fill(writer);
    return writer.status();
}

long removeKey(registry::Store& store, const std::string& path) {
    const long status = store.deleteTree(Hive::ClassesRoot, path);
    return status == registry::ERROR_FILE_NOT_FOUND ? registry::ERROR_SUCCESS : status;
}

}  // namespace

sdk::HRESULT ComRegistration::registerAppId() {
    const std::string appId = sdk::APPID_qmMicHost.toBracedString();
    long status = writeKey(store_, appIdKeyPath(), [](KeyWriter& key) {
        key.string("", sdk::kAppIdName)
            .value("AccessPermission", binaryValue(encodeSelfRelative(appIdAccessPermission())))
            .value("LaunchPermission", binaryValue(encodeSelfRelative(appIdLaunchPermission())));
    });
    if (status == registry::ERROR_SUCCESS) {
        status = writeKey(store_, std::string("AppID\\") + kAppIdExeKey,
                          [&](KeyWriter& key) { key.string("AppID", appId); });
    }
    return fromStatus(status);
}

sdk::HRESULT ComRegistration::registerService(std::string_view serviceName,
                                              std::string_view parameters) {
    Key appIds;
    long status = store_.createKey(Hive::ClassesRoot, "AppID", Access::ReadWrite, appIds);
    Key appId;
    if (status == registry::ERROR_SUCCESS) {
        status =
            appIds.createSubkey(sdk::APPID_qmMicHost.toBracedString(), Access::ReadWrite, appId);
    }
    if (status == registry::ERROR_SUCCESS) {
        const long deleted = appId.deleteValue("LocalService");
        if (deleted != registry::ERROR_SUCCESS && deleted != registry::ERROR_FILE_NOT_FOUND) {
            status = deleted;
        }
    }
    if (status == registry::ERROR_SUCCESS) {
        status = registry::writeString(appId, "LocalService", serviceName);
    }
    if (status == registry::ERROR_SUCCESS) {
        status = registry::writeString(appId, "ServiceParameters", parameters);
    }
    return fromStatus(status);
}

sdk::HRESULT ComRegistration::unregisterAppId() {
    long status = removeKey(store_, appIdKeyPath());
    const long exeStatus = removeKey(store_, std::string("AppID\\") + kAppIdExeKey);
    if (status == registry::ERROR_SUCCESS) {
        status = exeStatus;
    }
    return fromStatus(status);
}

sdk::HRESULT ComRegistration::registerClasses(const std::string& executablePath) {
    const std::string appId = sdk::APPID_qmMicHost.toBracedString();
    const std::string libId = sdk::LIBID_QUILLMERESDKLib.toBracedString();
    const std::string localServer = "\"" + executablePath + "\"";
    for (const sdk::ClassRegistration& entry : sdk::kRegisteredClasses) {
        const std::string clsid = entry.clsid.toBracedString();
        long status = writeKey(store_, entry.progId, [&](KeyWriter& key) {
            key.string("", entry.description).subkey("CLSID", clsid);
        });
        if (status == registry::ERROR_SUCCESS) {
            status = writeKey(store_, entry.versionIndependentProgId, [&](KeyWriter& key) {
                key.string("", entry.description)
                    .subkey("CLSID", clsid)
                    .subkey("CurVer", entry.progId);
            });
        }
        if (status == registry::ERROR_SUCCESS) {
            status = writeKey(store_, "CLSID\\" + clsid, [&](KeyWriter& key) {
                key.string("", entry.description)
                    .subkey("ProgID", entry.progId)
                    .subkey("VersionIndependentProgID", entry.versionIndependentProgId)
                    .emptySubkey("Programmable")
                    .subkey("LocalServer32", localServer)
                    .subkey("TypeLib", libId)
                    .string("AppID", appId);
            });
        }
        if (status != registry::ERROR_SUCCESS) {
            return fromStatus(status);
        }
    }
    return sdk::S_OK;
}

sdk::HRESULT ComRegistration::unregisterClasses() {
    for (const sdk::ClassRegistration& entry : sdk::kRegisteredClasses) {
        for (const std::string& path :
             {std::string(entry.progId), std::string(entry.versionIndependentProgId),
              "CLSID\\" + entry.clsid.toBracedString()}) {
            const long status = removeKey(store_, path);
            if (status != registry::ERROR_SUCCESS) {
                return fromStatus(status);
            }
        }
    }
    return sdk::S_OK;
}

long queryServiceRegistration(registry::Store& store) {
    Key key;
    const long status = store.openKey(Hive::ClassesRoot, appIdKeyPath(), Access::Read, key);
    if (status != registry::ERROR_SUCCESS) {
        return status;
    }
    std::string serviceName;
    return registry::queryString(key, "LocalService", serviceName, kLocalServiceMaxBytes);
}

}  // namespace qm::com
