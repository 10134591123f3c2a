#include "studio/controls/taskbar_progress.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <algorithm>

namespace qm::studio::controls {

LauncherEntryProgress::LauncherEntryProgress(const QString& desktopFileName)
    : appUri_(QStringLiteral("application://") + desktopFileName) {}

void LauncherEntryProgress::setState(State state) {
    state_ = state;
    visible_ = true;
    publish();
}

void LauncherEntryProgress::setRange(int maximum) {
    maximum_ = maximum;
    publish();
}

void LauncherEntryProgress::setValue(int value) {
    value_ = value;
    visible_ = true;
    publish();
}

void LauncherEntryProgress::clear() {
    visible_ = false;
    value_ = 0;
    state_ = State::Normal;
    publish();
}

QVariantMap LauncherEntryProgress::properties(bool visible, int value, int maximum, State state) {
    double fraction = 0.0;
    if (maximum > 0) {
        fraction = std::clamp(static_cast<double>(value) / maximum, 0.0, 1.0);
    }
    QVariantMap map;
    map.insert(QStringLiteral("progress-visible"), visible);
    map.insert(QStringLiteral("progress"), fraction);
    map.insert(QStringLiteral("urgent"), visible && state == State::Error);
    return map;
}

void LauncherEntryProgress::publish() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/qmTonecraft"), QStringLiteral("com.canonical.Unity.LauncherEntry"),
        QStringLiteral("Update"));
    signal << appUri_ << properties(visible_, value_, maximum_, state_);
    bus.send(signal);
}

}  // namespace qm::studio::controls
