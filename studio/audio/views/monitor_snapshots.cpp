// monitor_snapshots: the studio's monitoring views playing a microphone's sound, pictured for the
// documentation, and what the studio costs while they run. Puts the studio together as
// qmTonecraft does (the service on the bus, the sound server, the analysis, every view), selects
// the microphone once the service lists it, waits until its sound reaches the meters, then counts
// the process's own CPU time over a number of seconds while every view runs and saves the
// pictures (the studio's window fills the screen):
//   <folder>/views.png          waveform above spectrum, with the peak meters beside them
//   <folder>/clock-and-cpu.png  the clock and the CPU graph
//
//   monitor_snapshots [--bus ADDRESS] [--seconds N] FOLDER SERIAL

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "platform/registry/store.h"
#include "studio/audio/audio_analysis.h"
#include "studio/audio/cpu_times.h"
#include "studio/audio/pulse/pulse_audio_system.h"
#include "studio/audio/views/monitoring_views.h"
#include "studio/panels/control_panels.h"
#include "studio/shell/audio_monitoring.h"
#include "studio/shell/child_view.h"
#include "studio/shell/dbus_service_connector.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/pane_source.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/tonecraft_app.h"

namespace {

using namespace qm;

bool waitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The process's CPU time and the machine's busy and total time, in clock ticks.
struct Ticks {
    std::uint64_t own = 0;
    std::uint64_t machineBusy = 0;
    std::uint64_t machineTotal = 0;
};

Ticks ticksNow(audio::CpuTimesSource& source) {
    Ticks ticks;
    if (const auto own = source.processTimes()) {
        ticks.own = own->kernel + own->user;
    }
    if (const auto machine = source.systemTimes()) {
        ticks.machineTotal = machine->kernel + machine->user;
        ticks.machineBusy = ticks.machineTotal - machine->idle;
    }
    return ticks;
}

// Each thread's name and CPU time in clock ticks, by thread id.
std::map<std::string, std::pair<std::string, std::uint64_t>> threadTicks() {
    std::map<std::string, std::pair<std::string, std::uint64_t>> threads;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream file(task.path() / "stat");
        std::string text;
        std::getline(file, text);  // one line
        const auto open = text.find('(');
        const auto close = text.rfind(')');
        const auto times = audio::parseProcessStat(text);
        if (open != std::string::npos && close != std::string::npos && times) {
            threads[task.path().filename().string()] = {text.substr(open + 1, close - open - 1),
                                                        times->kernel + times->user};
        }
    }
    return threads;
}

// Runs the event loop for `seconds` and prints the process's CPU use over that time as a share
// of one core, the machine's load, and each thread's share.
void reportCpuUse(audio::CpuTimesSource& cpuTimes, const std::string& serial, int seconds) {
    const auto threadsBefore = threadTicks();
    const Ticks before = ticksNow(cpuTimes);
    QElapsedTimer elapsed;
    elapsed.start();
    runFor(seconds * 1000);
    const Ticks after = ticksNow(cpuTimes);
    const auto threadsAfter = threadTicks();
    const double wall = static_cast<double>(elapsed.elapsed()) / 1000.0;
    const double tick = 1.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    const auto percentOfCore = [&](std::uint64_t ticks) {
        return static_cast<double>(ticks) * tick / wall * 100.0;
    };
    const std::uint64_t total = after.machineTotal - before.machineTotal;
    const double machine =
        total == 0 ? 0.0
                   : 100.0 * static_cast<double>(after.machineBusy - before.machineBusy) /
                         static_cast<double>(total);
    std::printf(
        "monitor_snapshots: %s selected, every view running for %.1f s: the studio used "
        "%.1f %% of one core (the machine's cores were %.0f %% busy)\n",
        serial.c_str(), wall, percentOfCore(after.own - before.own), machine);
    const std::string mainThread = std::to_string(::getpid());
    for (const auto& [id, thread] : threadsAfter) {
        const auto earlier = threadsBefore.find(id);
        const std::uint64_t start = earlier == threadsBefore.end() ? 0 : earlier->second.second;
        const double share = percentOfCore(thread.second - start);
        if (share >= 0.05) {
            std::printf("  %-16s %5.1f %%\n",
                        id == mainThread ? "GUI thread" : thread.first.c_str(), share);
        }
    }
}

bool save(QWidget* widget, const QDir& folder, const char* name) {
    const QString file = folder.filePath(QString::fromLatin1(name));
    if (widget == nullptr || !widget->grab().save(file)) {
        std::fprintf(stderr, "monitor_snapshots: can't write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    std::optional<ipc::BusAddress> bus;
    int seconds = 30;
    while (arguments.size() >= 2 && arguments[0].startsWith(QStringLiteral("--"))) {
        const QString option = arguments.takeFirst();
        const QString value = arguments.takeFirst();
        if (option == QStringLiteral("--bus")) {
            bus = ipc::BusAddress::parse(value.toStdString());
        } else if (option == QStringLiteral("--seconds")) {
            seconds = value.toInt();
        }
    }
    if (arguments.size() != 2 || seconds <= 0) {
        std::fprintf(stderr,
                     "usage: monitor_snapshots [--bus ADDRESS] [--seconds N] FOLDER SERIAL\n");
        return 2;
    }
    const QDir folder(arguments[0]);
    const std::string serial = arguments[1].toStdString();
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "monitor_snapshots: can't make %s\n", qPrintable(folder.path()));
        return 1;
    }

    // The studio as qmTonecraft puts it together.
    registry::Store store(registry::StoreLocations::fromEnvironment());
    studio::DbusServiceConnector connector(bus);
    audio::PulseAudioSystem sound(audio::PulseAudioSystem::Options{});
    if (!sound.available()) {
        std::fprintf(stderr, "monitor_snapshots: no sound server: %s\n", sound.error().c_str());
        return 1;
    }
    audio::AudioAnalysis analysis;
    studio::AudioMonitoring monitoring(sound, analysis.state());
    audio::ProcCpuTimes cpuTimes;
    audio::views::MonitoringViews views(analysis, monitoring.capture(), Clock::real(), cpuTimes);
    QObject::connect(&views, &audio::views::MonitoringViews::inputVolumeMoved, &monitoring,
                     &studio::AudioMonitoring::inputVolumeMoved);
    QObject::connect(&views, &audio::views::MonitoringViews::outputVolumeMoved, &monitoring,
                     &studio::AudioMonitoring::outputVolumeMoved);
    QObject::connect(&monitoring, &studio::AudioMonitoring::outputVolumeShown, &views,
                     &audio::views::MonitoringViews::showOutputPosition);
    studio::panels::ControlPanels panels;
    QObject::connect(&panels, &studio::panels::ControlPanels::filterMarksChanged, &views,
                     &audio::views::MonitoringViews::showFilterMarks);
    studio::CTonecraftApp* app = nullptr;
    studio::StudioEnvironment environment;
    environment.connector = &connector;
    environment.hooks.endpoints = &monitoring;
    environment.hooks.monitoring = &monitoring;
    environment.hooks.analysis = &views;
    environment.hooks.panels = &panels;
    environment.frameCreated = [&](studio::CMainFrame& frame) {
        views.attach(frame, app->settings());
        panels.attach(frame, app->settings(), app->registry());
        monitoring.attach(frame, *app);
    };
    studio::CTonecraftApp tonecraft(store, std::move(environment));
    app = &tonecraft;
    if (!tonecraft.InitInstance()) {
        return 1;
    }
    studio::CMainFrame& frame = *tonecraft.mainFrame();
    // The whole screen, so that the meters have room for their scale.
    frame.setGeometry(frame.screen()->availableGeometry());
    studio::CSourceListCtrl& list = *frame.sourcePane()->list();
    int failures = 0;
    if (!waitFor([&] { return list.containsDevice(serial); }, 20000) ||
        !list.selectDevice(serial)) {
        std::fprintf(stderr, "monitor_snapshots: the service does not list %s\n", serial.c_str());
        ++failures;
    } else if (!waitFor([&] { return monitoring.capture().inputPeak() > 0.0F; }, 20000)) {
        std::fprintf(stderr, "monitor_snapshots: no sound of %s reaches the studio\n",
                     serial.c_str());
        ++failures;
    } else {
        runFor(3000);  // the analysis history and the waveform filled, the panels read
        reportCpuUse(cpuTimes, serial, seconds);
        QWidget* monitoringPlace =
            frame.childView()->findChild<QWidget*>(QStringLiteral("monitoringPlace"));
        failures += save(monitoringPlace, folder, "views.png") ? 0 : 1;
        failures += save(frame.displayPlace(), folder, "clock-and-cpu.png") ? 0 : 1;
    }
    tonecraft.ExitInstance();
    return failures == 0 ? 0 : 1;
}
