// User actions on the panels and the calls they make, in order, each followed by the
// microphone's status and, when that is not 0, ResetStatus.
#include <QComboBox>

#include "studio/controls/media_slider.h"
#include "studio/panels/ctrl_tab_alc.h"
#include "studio/panels/ctrl_tab_eq.h"
#include "studio/panels/ctrl_tab_ext.h"
#include "studio/panels/ctrl_tab_lpf.h"
#include "studio/panels/panel_fixture.h"

namespace qm::studio::panels::testing {
namespace {

using ::testing::ElementsAre;

class PanelActionsTest : public PanelHostTest {
  protected:
    QWidget* strip(int band) const {
        return host_.equalizerPanel()->findChild<QWidget*>(QStringLiteral("id%1").arg(6251 + band));
    }
    template <typename Widget = QAbstractButton>
    Widget* stripControl(int band, int id) const {
        return strip(band)->findChild<Widget*>(QStringLiteral("id%1").arg(id));
    }
    void click(PanelTab tab, int id) {
        control(tab, id)->click();
        settle();
    }
};

TEST_F(PanelActionsTest, SwitchingBandTwoOnWithEveryBandOff) {
    const auto device = select("Larch", deviceXml({{"EQ_POWER", 0}, {"EQ_2_BW_MODE", 0x23}}));
    stripControl(1, 6264)->click();
    settle();
    EXPECT_THAT(device->changes(),
                ElementsAre("Set_EQ_POWER(2)", "GetLastStatus()", "Set_EQ_GAIN(2, 0)",
                            "GetLastStatus()", "Set_EQ_NOTCH(2)", "GetLastStatus()"));
    EXPECT_TRUE(stripControl(1, 6263)->isChecked());
    EXPECT_TRUE(stripControl<QWidget>(1, 6265)->isVisibleTo(strip(1)));
    EXPECT_EQ(device->callsOnGuiThread(), 0);
}

TEST_F(PanelActionsTest, GainMovedWithTheNotchOnClearsTheNotchFirst) {
    const auto device = select(
        "Larch", deviceXml({{"EQ_POWER", 0x03}, {"EQ_NOTCH", 0x03}, {"EQ_2_BW_MODE", 0x23}}));
    stripControl<controls::MediaSlider>(1, 6265)->setValue(40);
    settle();
    EXPECT_THAT(device->changes(), ElementsAre("Set_EQ_NOTCH(1)", "GetLastStatus()",
                                               "Set_EQ_GAIN(2, 40)", "GetLastStatus()"));
    EXPECT_FALSE(stripControl(1, 6263)->isChecked());
}

TEST_F(PanelActionsTest, CentreFrequencyOfBandThree) {
    const auto device = select("Larch", deviceXml({{"EQ_POWER", 0x04}, {"EQ_3_BW_MODE", 0x35}}));
    auto* list = stripControl<QComboBox>(2, 6266);
    EXPECT_EQ(list->currentText(), QStringLiteral("1500"));
    emit list->activated(5);
    settle();
    EXPECT_THAT(device->changes(),
                ElementsAre("Set_EQ_GAIN(3, 0)", "GetLastStatus()",
                            "Set_EQ_BAND_WIDTH(3, 1750, 300)", "GetLastStatus()"));
    EXPECT_EQ(host_.equalizerPanel()->model().mode(2), 0x36);
}

TEST_F(PanelActionsTest, FiltersOffAndOnAgain) {
    const auto device = select("Larch", deviceXml({{"HPF_2", 6}}));
    click(PanelTab::Filters, 6170);
    EXPECT_FALSE(control(PanelTab::Filters, 6176)->isVisibleTo(host_.filtersPanel()));
    click(PanelTab::Filters, 6170);
    click(PanelTab::Filters, 6115);
    EXPECT_THAT(device->changes(), ElementsAre("Set_HPF_2(0)", "GetLastStatus()", "Set_HPF_2(1)",
                                               "GetLastStatus()", "Set_LPF(5)", "GetLastStatus()"));
    EXPECT_TRUE(control(PanelTab::Filters, 6171)->isChecked());
}

TEST_F(PanelActionsTest, OutputMuteGoesBeyondTheSlider) {
    const auto device = select("Rowan", deviceXml({{"OUT_VOLUME", 24}}));
    EXPECT_EQ(control<controls::MediaSlider>(PanelTab::OutputVolume, 6311)->value(), 179);
    click(PanelTab::OutputVolume, 6314);
    EXPECT_THAT(device->changes(), ElementsAre("Set_Ext_OutVolume(204)", "GetLastStatus()"));
    EXPECT_EQ(control<controls::MediaSlider>(PanelTab::OutputVolume, 6311)->value(), 1);
}

TEST_F(PanelActionsTest, AlcButtonsEditTheirBitFields) {
    const auto device = select("Larch", deviceXml({{"ALC_MODE", 0x21}, {"ALC_RECOVERY", 0x00}}));
    EXPECT_FALSE(control(PanelTab::Alc, 6226)->isVisibleTo(host_.alcPanel()));
    click(PanelTab::Alc, 6225);
    click(PanelTab::Alc, 6228);
    click(PanelTab::Alc, 6203);
    click(PanelTab::Alc, 6015);
    EXPECT_THAT(device->changes(),
                ElementsAre("Set_ALC_MODE(96)", "GetLastStatus()", "Set_ALC_MODE(98)",
                            "GetLastStatus()", "Set_ALC_RECOVERY(8)", "GetLastStatus()"))
        << "Mute of the DSP volume is disabled while the ALC is on";
    EXPECT_TRUE(control(PanelTab::Alc, 6228)->isChecked());
    EXPECT_FALSE(control(PanelTab::Alc, 6221)->isVisibleTo(host_.alcPanel()));

    click(PanelTab::Alc, 6209);  // ALC off: the DSP volume comes back
    EXPECT_TRUE(control(PanelTab::Alc, 6015)->isEnabled());
    EXPECT_FALSE(control(PanelTab::Alc, 6203)->isEnabled());
    device->clear();
    click(PanelTab::Alc, 6015);
    EXPECT_THAT(device->changes(), ElementsAre("SetVolumeMute()", "GetLastStatus()"));
}

TEST_F(PanelActionsTest, RejectedChangeIsResetAndTheSentValueStays) {
    const auto device = select("Larch", deviceXml({{"LPF", 2}}));
    device->rejectNext({static_cast<sdk::HRESULT>(0x80004005u)});
    click(PanelTab::Filters, 6118);
    EXPECT_THAT(device->changes(), ElementsAre("Set_LPF(8)", "GetLastStatus()", "ResetStatus()"));
    EXPECT_TRUE(control(PanelTab::Filters, 6118)->isChecked());
    EXPECT_EQ(host_.shownSettings()[Setting::LPF], 8);
    EXPECT_EQ(host_.link().rejectedChanges(), 1);
}

TEST_F(PanelActionsTest, DraggedSliderSendsItsNewestPositionWhileTheMicrophoneIsBusy) {
    const auto device = select("Alder", deviceXml({{"DspVolume", 145}, {"DirZoom", 0}}));
    auto* zoom = control<controls::MediaSlider>(PanelTab::Direction, 6018);
    device->gate.close();
    zoom->setValue(10);
    ASSERT_TRUE(device->gate.awaitWaiting());
    for (int position = 11; position <= 60; ++position) {
        zoom->setValue(position);  // the GUI thread goes on while the first change waits
    }
    device->gate.open();
    settle();
    EXPECT_THAT(device->changes(),
                ElementsAre("SetZoom(10)", "GetLastStatus()", "SetZoom(60)", "GetLastStatus()"));
    EXPECT_EQ(host_.shownSettings()[Setting::Zoom], 60);
}

}  // namespace
}  // namespace qm::studio::panels::testing
