// qmTonecraft: the desktop studio of the microphone system.

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>

#include "platform/registry/store.h"
#include "platform/servicehost/systemd_service_control.h"
#include "studio/audio/audio_analysis.h"
#include "studio/audio/cpu_times.h"
#include "studio/audio/pulse/pulse_audio_system.h"
#include "studio/audio/views/monitoring_views.h"
#include "studio/panels/control_panels.h"
#include "studio/profiles/profile_part.h"
#include "studio/shell/audio_monitoring.h"
#include "studio/shell/dbus_service_connector.h"
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

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The studio of the QUILLMERE microphones."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption busOption(
        QStringLiteral("bus"),
        QStringLiteral("The bus of the service: system, session or a D-Bus address "
                       "(default: $QM_DBUS_ADDRESS, else system)."),
        QStringLiteral("bus"));
    parser.addOption(busOption);
    parser.process(application);
    std::optional<qm::ipc::BusAddress> bus;
    if (parser.isSet(busOption)) {
        bus = qm::ipc::BusAddress::parse(parser.value(busOption).toStdString());
        if (!bus) {
            std::fprintf(stderr,
                         "qmTonecraft: --bus: \"%s\" is not system, session or a D-Bus "
                         "address\n",
                         parser.value(busOption).toLocal8Bit().constData());
            return 2;
        }
    }

    qm::registry::Store store(qm::registry::StoreLocations::fromEnvironment());

    qm::studio::DbusServiceConnector connector(bus);
    // The sound server of the session (PULSE_SERVER when it is set). Without one no microphone's
    // sound is found, and a selected microphone keeps its panels closed.
    qm::audio::PulseAudioSystem audio(qm::audio::PulseAudioSystem::Options{});
    if (!audio.available()) {
        std::fprintf(stderr, "qmTonecraft: no sound server: %s\n", audio.error().c_str());
    }
    qm::audio::AudioAnalysis analysis;
    qm::studio::AudioMonitoring monitoring(audio, analysis.state());

    // The analysis and the monitoring views: the windows go into the frame's places once it is
    // made; the analysis thread starts after that and stops at exit. The meters read the
    // capture's peak levels; the volume sliders set the capture and preview volumes, and a preview
    // volume changed in a mixer moves the output slider.
    qm::audio::ProcCpuTimes cpuTimes;
    qm::audio::views::MonitoringViews views(analysis, monitoring.capture(), qm::Clock::real(),
                                            cpuTimes);
    QObject::connect(&views, &qm::audio::views::MonitoringViews::inputVolumeMoved, &monitoring,
                     &qm::studio::AudioMonitoring::inputVolumeMoved);
    QObject::connect(&views, &qm::audio::views::MonitoringViews::outputVolumeMoved, &monitoring,
                     &qm::studio::AudioMonitoring::outputVolumeMoved);
    QObject::connect(&monitoring, &qm::studio::AudioMonitoring::outputVolumeShown, &views,
                     &qm::audio::views::MonitoringViews::showOutputPosition);

    // The control panels: the panel host goes into the frame's place once it is made.
    qm::studio::panels::ControlPanels panels;
    // The profile pane and commands: registered now, put into the frame once it is made.
    qm::studio::ProfilePart profiles;

    // The Service tab drives systemd ($QM_SYSTEMD_ADDRESS names another bus for tests).
    qm::servicehost::SystemdServiceControlConnector serviceManager(
        qm::servicehost::SystemdServiceControlConnector::addressFromEnvironment());

    qm::studio::CTonecraftApp* app = nullptr;
    qm::studio::StudioEnvironment environment;
    environment.connector = &connector;
    environment.hooks.endpoints = &monitoring;
    environment.hooks.monitoring = &monitoring;
    environment.serviceManager = &serviceManager;
    environment.hooks.analysis = &views;
    environment.hooks.panels = &panels;
    environment.hooks.profiles = &profiles;
    environment.frameCreated = [&](qm::studio::CMainFrame& frame) {
        views.attach(frame, app->settings());
        panels.attach(frame, app->settings(), app->registry());
        monitoring.attach(frame, *app);
        profiles.attach(frame, *app);
    };
    // The spectrum marks the filter and equaliser settings the panels show.
    QObject::connect(&panels, &qm::studio::panels::ControlPanels::filterMarksChanged, &views,
                     &qm::audio::views::MonitoringViews::showFilterMarks);

    qm::studio::CTonecraftApp tonecraft(store, std::move(environment));
    app = &tonecraft;
    if (!tonecraft.InitInstance()) {
        return 1;
    }
    const int code = QApplication::exec();
    tonecraft.ExitInstance();
    return code;
}
