// The control panels against the real service: changes made on a panel reach the microphone's
// description and qmctl, changes made by qmctl show on the panel, and a slider dragged while the
// microphone answers slowly leaves the window responsive.
#include <QAbstractButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "studio/controls/media_slider.h"
#include "studio/panels/ctrl_tab_alc.h"
#include "studio/panels/ctrl_tab_lpf.h"
#include "studio_fixture.h"

namespace qm::studio::testing {
namespace {

// A Larch's panels shown, once the service has read every microphone: a change made while the
// service still reads a microphone for the first time would meet that reading.
class PanelsAgainstServiceTest : public StudioWithPanelsTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(startService());
        ASSERT_NO_FATAL_FAILURE(waitUntilRead({"SN1001", "SN1002", "SN1003"}));
        ASSERT_NO_FATAL_FAILURE(startStudioWithPanels(3));
        ASSERT_TRUE(showPanelsOf("SN1003"));
    }

    // The service's description of the microphone, read by a client of its own.
    std::string describedSetting(const std::string& serial, const std::string& attribute) {
        const auto device = serviceDevice(serial);
        std::string xml;
        if (!device || device->device->GetDeviceXML(xml) != sdk::S_OK) {
            return "?";
        }
        const auto at = xml.find(" " + attribute + "=\"");
        if (at == std::string::npos) {
            return "";
        }
        const auto begin = at + attribute.size() + 3;
        return xml.substr(begin, xml.find('"', begin) - begin);
    }

    template <typename Widget = QAbstractButton>
    Widget* control(panels::PanelTab tab, int id) {
        return host().panel(tab)->findChild<Widget*>(QStringLiteral("id%1").arg(id));
    }
};

bool hasLine(const std::vector<std::string>& lines, const std::string& name,
             const std::string& value) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(name + " ") != std::string::npos &&
               line.find(" " + value + " ") != std::string::npos;
    });
}

TEST_F(PanelsAgainstServiceTest, APanelChangeReachesTheDescriptionAndQmctl) {
    EXPECT_EQ(host().shownPanels(), 0b110111u) << "a Larch";

    control(panels::PanelTab::Filters, 6115)->click();
    EXPECT_EQ(panels_.filterMarks().lpfHz, 5000) << "what the spectrum may mark";
    EXPECT_TRUE(pumpUntil([&] { return describedSetting("SN1003", "LPF") == "5"; }, 5s));
    EXPECT_TRUE(hasLine(qmctl({"show", "SN1003"}), "LPF", "5"));
}

TEST_F(PanelsAgainstServiceTest, AChangeByQmctlShowsWhenTheMicrophoneIsSelectedAgain) {
    EXPECT_FALSE(control(panels::PanelTab::Filters, 6170)->isChecked());

    qmctl({"set", "SN1003", "HPF_2", "4"});
    ASSERT_TRUE(showPanelsOf("SN1001"));
    ASSERT_TRUE(showPanelsOf("SN1003"));
    EXPECT_TRUE(control(panels::PanelTab::Filters, 6170)->isChecked());
    EXPECT_TRUE(control(panels::PanelTab::Filters, 6174)->isChecked());
}

// The microphone answers every frame 120 ms late (a change and its acknowledgement then take
// about as long as on real hardware); the DSP volume slider is dragged across its whole range
// in 10 ms steps meanwhile.
TEST_F(PanelsAgainstServiceTest, ADraggedSliderKeepsTheWindowRespondingAndEndsAtItsLastPosition) {
    qmctl({"sim", "fault", "SN1003", "slow", "--value", "120", "--count", "-1"});

    auto* slider = control<controls::MediaSlider>(panels::PanelTab::Alc, 6013);
    ASSERT_NE(slider, nullptr);
    ASSERT_TRUE(slider->isEnabled()) << "the ALC is off";

    std::vector<Clock::time_point> ticks;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(50ms);
    QObject::connect(&probe, &QTimer::timeout, [&ticks] { ticks.push_back(Clock::now()); });
    QTimer drag;
    drag.setInterval(10ms);
    QObject::connect(&drag, &QTimer::timeout, [&] {
        if (slider->value() < slider->maximum()) {
            slider->setValue(slider->value() + 1);
        } else {
            drag.stop();
        }
    });
    slider->setValue(slider->minimum());
    const auto started = Clock::now();
    probe.start();
    drag.start();
    ASSERT_TRUE(pumpUntil([&] { return !drag.isActive(); }, 20s));
    const auto dragged = Clock::now();
    probe.stop();
    EXPECT_TRUE(pumpUntil([&] { return describedSetting("SN1003", "DspVolume") == "241"; }, 10s));
    const auto stored = Clock::now();

    ASSERT_GE(ticks.size(), 2u);
    const auto longest = longestGap(started, ticks);
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    std::printf(
        "236 positions dragged in %lld ms; longest gap of a 50 ms timer %lld ms; last "
        "position stored %lld ms after the drag ended\n",
        static_cast<long long>(duration_cast<milliseconds>(dragged - started).count()),
        static_cast<long long>(duration_cast<milliseconds>(longest).count()),
        static_cast<long long>(duration_cast<milliseconds>(stored - dragged).count()));
    EXPECT_LE(longest, 150ms);
    EXPECT_EQ(host().shownSettings()[settings::Setting::Volume], 241);
}

}  // namespace
}  // namespace qm::studio::testing
