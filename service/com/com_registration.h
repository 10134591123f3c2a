#pragma once

#include <string>
#include <string_view>

#include "common/sdk/hresult.h"
#include "platform/registry/store.h"

// The server's registrations under HKEY_CLASSES_ROOT: its AppID with the access and launch
// permissions, the link from the executable's name to the AppID, the values that mark it as a
// service, and the ProgID and CLSID keys of every class it serves. Results are HRESULTs made from
// the registry's status codes.
namespace qm::com {

class ComRegistration {
  public:
    explicit ComRegistration(registry::Store& store) : store_(store) {}

    // AppID\{AppID} (default "qmMicHost", AccessPermission and LaunchPermission as REG_BINARY)
    // and AppID\qmMicHost.EXE (AppID = the AppID).
    sdk::HRESULT registerAppId();
    // Under AppID\{AppID}: deletes LocalService, then writes LocalService = `serviceName` and
    // ServiceParameters = `parameters`, both REG_SZ.
    sdk::HRESULT registerService(std::string_view serviceName, std::string_view parameters);
    // Removes AppID\{AppID} (with the service values) and AppID\qmMicHost.EXE; never the AppID
    // key itself. Keys that aren't there count as removed.
    sdk::HRESULT unregisterAppId();

    // For each served class: HKCR\<ProgID>, HKCR\<version-independent ProgID> and
    // HKCR\CLSID\{class}, with LocalServer32 = the executable's path in double quotes.
    sdk::HRESULT registerClasses(const std::string& executablePath);
    // Removes those keys class by class, stopping at the first failure; keys that aren't there
    // count as removed. The CLSID key itself stays.
    sdk::HRESULT unregisterClasses();

  private:
    registry::Store& store_;
};

// Whether the process is registered as a service: ERROR_SUCCESS when
// HKEY_CLASSES_ROOT\AppID\{AppID} holds LocalService as a REG_SZ or REG_EXPAND_SZ of at most 520
// bytes that is empty or an even number of bytes ending with a zero character. Otherwise the
// registry's status: ERROR_FILE_NOT_FOUND (2) when the key or value is missing,
// ERROR_INVALID_DATA (13) for another type or an unterminated string, ERROR_MORE_DATA when
// longer, or the store's own failure.
long queryServiceRegistration(registry::Store& store);

}  // namespace qm::com
