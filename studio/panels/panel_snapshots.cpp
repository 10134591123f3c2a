// panel_snapshots: pictures of the control panels for the documentation. Connects to the service,
// selects each microphone given as the studio does and saves every tab its model has, in the
// studio's dark look, as <folder>/<tab>.png (a tab already saved for an earlier microphone is
// skipped).
//
//   panel_snapshots [--bus ADDRESS] FOLDER SERIAL...

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <array>
#include <cstdio>
#include <set>

#include "common/ipc/client.h"
#include "studio/controls/dark_style.h"
#include "studio/controls/panel_tab_control.h"
#include "studio/panels/ctrl_container_wnd.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/service_calls.h"
#include "studio/shell/service_connection.h"

namespace {

using namespace qm;

constexpr std::array<const char*, 6> kTabFiles = {"alc",       "filters", "equalizer",
                                                  "direction", "output",  "input-gain"};
constexpr QSize kPictureSize(1340, 372);

// Every microphone has a capture endpoint here: only the panels are pictured.
class AnyEndpoint final : public studio::AudioEndpoints {
  public:
    std::optional<std::string> captureEndpointFor(const sdk::Guid&) override { return "any"; }
};

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

std::shared_ptr<sdk::IQMDevice> findDevice(sdk::IQuillmereSDK& service, const std::string& serial) {
    const auto found = studio::fetchDevice(service, serial);
    return found ? found->device : nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setPalette(studio::controls::darkPalette());
    application.setStyleSheet(studio::controls::darkStyleSheet());

    QStringList arguments = QApplication::arguments().mid(1);
    ipc::ClientOptions options;
    if (arguments.size() >= 2 && arguments[0] == QStringLiteral("--bus")) {
        options.bus = ipc::BusAddress::parse(arguments[1].toStdString());
        arguments = arguments.mid(2);
    }
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: panel_snapshots [--bus ADDRESS] FOLDER SERIAL...\n");
        return 2;
    }
    const QDir folder(arguments.takeFirst());
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "panel_snapshots: can't make %s\n", qPrintable(folder.path()));
        return 1;
    }
    const auto service = ipc::connectToService(options);
    if (service == nullptr) {
        std::fprintf(stderr, "panel_snapshots: the service can't be reached\n");
        return 1;
    }

    AnyEndpoint endpoints;
    studio::StudioHooks hooks;
    hooks.endpoints = &endpoints;
    studio::DeviceSelection selection(hooks);
    studio::ServiceCalls calls;
    studio::panels::CCtrlContainerWnd host(calls, selection);
    hooks.panels = &host;
    host.resize(kPictureSize);
    host.show();

    std::set<int> saved;
    int failures = 0;
    for (const QString& serial : arguments) {
        const auto device = findDevice(*service, serial.toStdString());
        if (device == nullptr) {
            std::fprintf(stderr, "panel_snapshots: no microphone %s\n", qPrintable(serial));
            ++failures;
            continue;
        }
        selection.select(device, studio::readDeviceInfo(*device));
        if (!waitFor([&host] { return host.shownPanels() != 0; }, 10000)) {
            std::fprintf(stderr, "panel_snapshots: %s was not shown\n", qPrintable(serial));
            ++failures;
            continue;
        }
        for (int tab = 0; tab < host.tabs()->count(); ++tab) {
            if ((host.shownPanels() & (1u << tab)) == 0 || !saved.insert(tab).second) {
                continue;
            }
            host.tabs()->setCurrentIndex(tab);
            waitFor([] { return false; }, 100);  // laid out and painted
            const QString file =
                folder.filePath(QStringLiteral("%1.png").arg(QLatin1String(kTabFiles[tab])));
            if (!host.grab().save(file)) {
                std::fprintf(stderr, "panel_snapshots: can't write %s\n", qPrintable(file));
                ++failures;
            } else {
                std::printf("%s\n", qPrintable(file));
            }
        }
    }
    selection.selectNone();
    calls.shutdown();
    return failures == 0 ? 0 : 1;
}
