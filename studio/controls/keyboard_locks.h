#pragma once

#include <QString>

namespace qm::studio::controls {

struct LockStates {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;

    friend bool operator==(const LockStates&, const LockStates&) = default;
};

// Where the state of the keyboard's lock keys comes from.
class KeyboardLocks {
  public:
    virtual ~KeyboardLocks() = default;
    virtual LockStates read() = 0;
};

// The kernel's keyboard LEDs ("<device>::capslock/brightness" and its siblings under
// /sys/class/leds), which every user may read. A lock counts as on when any keyboard's LED for
// it is lit. Without such LEDs (no keyboard, a remote session) every lock reads as off.
class LedKeyboardLocks final : public KeyboardLocks {
  public:
    explicit LedKeyboardLocks(QString ledsFolder = QStringLiteral("/sys/class/leds"));
    LockStates read() override;

  private:
    bool anyLit(const QString& suffix) const;

    QString folder_;
};

}  // namespace qm::studio::controls
