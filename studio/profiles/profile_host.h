#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "studio/profiles/apply_worker.h"

namespace qm::studio {

class UserPrompts;

// What the profile pane needs from the rest of the studio: the selected microphone as the shell
// keeps it (no call to the service on the GUI thread), a way to read its description off the
// GUI thread, the selection procedure, and the places and prompts of the studio.
class ProfileHost {
  public:
    virtual ~ProfileHost() = default;

    // The selected microphone's serial number (empty: none), product name and started state.
    virtual std::string selectedSerial() const = 0;
    virtual std::string selectedProduct() const = 0;
    virtual bool selectedStarted() const = 0;

    // Reads the selected microphone's description (GetDeviceXML) off the GUI thread; `done`
    // gets it on the GUI thread, or nothing when the call failed. Dropped when `receiver` is
    // gone or the selection changed meanwhile.
    virtual void readSelectedDescription(
        QObject* receiver, std::function<void(std::optional<std::string> xml)> done) = 0;

    // Runs the selection procedure again with the selected microphone (panels and profile list
    // read anew).
    virtual void reselect() = 0;

    // Opens a microphone on a client connection of its own; called on an apply worker's thread.
    virtual ApplyWorker::DeviceOpener deviceOpener() = 0;

    virtual std::filesystem::path profileFolder() const = 0;
    virtual UserPrompts& prompts() = 0;
};

}  // namespace qm::studio
