// qmTonecraft: the desktop studio of the microphone system.

#include <QApplication>
#include <QIcon>

#include "platform/registry/store.h"
#include "studio/shell/service_connector.h"
#include "studio/shell/studio_hooks.h"
#include "studio/shell/tonecraft_app.h"
#include "studio/shell/version_document.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qmTonecraft"));
    QApplication::setOrganizationName(QStringLiteral("QUILLMERE"));
    QApplication::setApplicationVersion(QString::fromLatin1(qm::studio::installedVersionText()));
    // The desktop groups the studio's windows under its desktop file.
    QGuiApplication::setDesktopFileName(QStringLiteral("qmTonecraft"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qmTonecraft/qmTonecraft.png")));

    qm::registry::Store store(qm::registry::StoreLocations::fromEnvironment());

    // No interprocess binding and no audio system are linked into this build yet: the studio
    // runs without the service (an empty microphone list, no message) and finds no capture
    // endpoints.
    qm::studio::NoServiceConnector connector;
    qm::studio::NoAudioEndpoints endpoints;

    qm::studio::StudioEnvironment environment;
    environment.connector = &connector;
    environment.hooks.endpoints = &endpoints;

    qm::studio::CTonecraftApp tonecraft(store, std::move(environment));
    if (!tonecraft.InitInstance()) {
        return 1;
    }
    const int code = QApplication::exec();
    tonecraft.ExitInstance();
    return code;
}
