#include "studio/controls/keyboard_locks.h"

#include <QDir>
#include <QFile>

namespace qm::studio::controls {

LedKeyboardLocks::LedKeyboardLocks(QString ledsFolder) : folder_(std::move(ledsFolder)) {}

bool LedKeyboardLocks::anyLit(const QString& suffix) const {
    const QDir leds(folder_);
    const QStringList names = leds.entryList({QStringLiteral("*::") + suffix},
                                             QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : names) {
        QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
        if (!brightness.open(QIODevice::ReadOnly)) {
            continue;
        }
        bool ok = false;
        const int level = brightness.readLine(16).trimmed().toInt(&ok);
        if (ok && level > 0) {
            return true;
        }
    }
    return false;
}

LockStates LedKeyboardLocks::read() {
    return {anyLit(QStringLiteral("capslock")), anyLit(QStringLiteral("numlock")),
            anyLit(QStringLiteral("scrolllock"))};
}

}  // namespace qm::studio::controls
