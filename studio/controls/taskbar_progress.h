#pragma once

#include <QString>
#include <QVariantMap>

namespace qm::studio::controls {

// Progress shown on the program's button in the desktop's task bar or dock.
class TaskbarProgress {
  public:
    enum class State { Normal, Paused, Error };

    virtual ~TaskbarProgress() = default;

    virtual void setState(State state) = 0;
    // The range is 0 .. maximum.
    virtual void setRange(int maximum) = 0;
    virtual void setValue(int value) = 0;
    // No progress shown.
    virtual void clear() = 0;
};

// The launcher-entry protocol that docks and task managers of Linux desktops follow (a D-Bus
// signal "com.canonical.Unity.LauncherEntry.Update" on the session bus naming the program's
// desktop file). Where no session bus or no listener exists, the signals go nowhere. There is no
// paused look in that protocol: a paused progress shows as normal; an error asks for attention.
class LauncherEntryProgress final : public TaskbarProgress {
  public:
    explicit LauncherEntryProgress(const QString& desktopFileName);

    void setState(State state) override;
    void setRange(int maximum) override;
    void setValue(int value) override;
    void clear() override;

    // The properties one update carries.
    static QVariantMap properties(bool visible, int value, int maximum, State state);

  private:
    void publish();

    QString appUri_;
    State state_ = State::Normal;
    int maximum_ = 100;
    int value_ = 0;
    bool visible_ = false;
};

}  // namespace qm::studio::controls
