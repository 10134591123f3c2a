#pragma once

namespace qm::servicehost {

// The service manager as an installer sees it: whether the service exists, creating it and
// deleting it. Results are Win32 status codes (0 is success).
class ServiceInstaller {
  public:
    virtual ~ServiceInstaller() = default;

    virtual bool serviceExists() const = 0;
    // Creates the service; a service that exists already is replaced.
    virtual long createService() = 0;
    // Asks the running service to stop (without waiting for it) and deletes the service.
    virtual long deleteService() = 0;
};

}  // namespace qm::servicehost
