#pragma once

namespace qm::studio::controls {

// The state an update handler gives a command's controls.
struct CommandUi {
    bool enabled = true;
    bool checked = false;
};

// Answers the state of commands by id. The ribbon asks it for every command it shows, after each
// command and at a steady pace, so that enabling and check marks follow the program's state.
class CommandUpdater {
  public:
    virtual ~CommandUpdater() = default;

    // Fills `ui` and returns true for a command the updater knows; returns false to leave the
    // command's controls as they are (labels, custom controls).
    virtual bool updateCommandUi(int id, CommandUi& ui) = 0;
};

}  // namespace qm::studio::controls
