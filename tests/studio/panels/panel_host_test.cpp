// The panel host as the shell's selection drives it: which tabs enable, which panels fill, how
// the microphone is read, and that no call waits on the GUI thread.
#include <QComboBox>
#include <QLabel>

#include "studio/controls/image_button.h"
#include "studio/controls/media_slider.h"
#include "studio/panels/ctrl_tab_alc.h"
#include "studio/panels/ctrl_tab_beam.h"
#include "studio/panels/ctrl_tab_eq.h"
#include "studio/panels/ctrl_tab_ext.h"
#include "studio/panels/ctrl_tab_lpf.h"
#include "studio/panels/panel_fixture.h"

namespace qm::studio::panels::testing {
namespace {

using ::testing::ElementsAre;

QString labelAt(const CCtrlTab* panel, int index) {
    QStringList texts;
    for (const QLabel* label : panel->findChildren<QLabel*>()) {
        if (label->font().bold()) {
            texts.push_back(label->text());
        }
    }
    return texts.value(index);
}

TEST_F(PanelHostTest, CedarGetsItsTabsAndPanelsReadFromTheDescription) {
    const auto device = select("Cedar", deviceXml({{"DspVolume", 146}, {"OUT_VOLUME", 0}}));
    EXPECT_EQ(enabledTabs(), 0b010111u);
    EXPECT_EQ(filledPanels(), 0b010111u);
    EXPECT_FALSE(host_.page(PanelTab::Direction)->inner()->controlsShown());
    EXPECT_THAT(device->calls(), ElementsAre("IsStarted()", "GetDeviceXML()", "GetName()"));
    EXPECT_EQ(device->callsOnGuiThread(), 0);
    EXPECT_EQ(labelAt(host_.alcPanel(), 0), QStringLiteral("+ 0.4 dB"));
    EXPECT_EQ(labelAt(host_.outputPanel(), 0), QStringLiteral("+ 12.0 dB"));
    EXPECT_EQ(control<controls::MediaSlider>(PanelTab::OutputVolume, 6311)->value(), 203);

    selection_.selectNone();
    settle();
    EXPECT_EQ(enabledTabs(), 0u);
    EXPECT_EQ(filledPanels(), 0u);
}

TEST_F(PanelHostTest, UnknownProductEnablesThreeTabsAndFillsNone) {
    const auto device = select("Spruce", deviceXml({{"LPF", 3}}));
    EXPECT_EQ(enabledTabs(), 0b000111u);
    EXPECT_EQ(filledPanels(), 0u);
    EXPECT_THAT(device->calls(), ElementsAre("IsStarted()"));
}

TEST_F(PanelHostTest, MicrophoneNotStartedEnablesItsTabsEmpty) {
    const auto device = select("Larch", deviceXml({{"LPF", 3}}), false);
    EXPECT_EQ(enabledTabs(), 0b110111u);
    EXPECT_EQ(filledPanels(), 0u);
    EXPECT_THAT(device->calls(), ElementsAre("IsStarted()"));
}

TEST_F(PanelHostTest, UnreadableDescriptionFallsBackToTheStatusCallsInPanelOrder) {
    const auto birch = select("Birch", "not xml");
    EXPECT_THAT(birch->calls(),
                ElementsAre("IsStarted()", "GetDeviceXML()", "GetStatusDSP()", "GetStatusALC()",
                            "GetStatusHPF_LPF()", "GetStatusEQ_NOTCH_GAIN()",
                            "GetStatusEQ_POWER_BW_MODE()", "GetDirection()", "Get_Ext_OutVolume()",
                            "GetName()"));
    EXPECT_EQ(filledPanels(), 0b011111u);
}

TEST_F(PanelHostTest, ShowsTheBytesAsThePanelsDo) {
    select("Larch", deviceXml({{"DspVolume", 4}, {"ALC_REF_VALUE", 145}, {"HPF_1", 7},
                               {"EQ_2_BW_MODE", 0x25}, {"EQ_POWER", 2}, {"TPA", 0xA0}}));
    EXPECT_EQ(labelAt(host_.alcPanel(), 0), QStringLiteral("- 52.9 dB"));
    EXPECT_EQ(labelAt(host_.alcPanel(), 1), QStringLiteral("0 dB"));
    EXPECT_EQ(labelAt(host_.alcPanel(), 2), QStringLiteral("- 54.4 dB"))
        << "the description has no current volume";
    EXPECT_EQ(control<controls::MediaSlider>(PanelTab::Alc, 6013)->value(), 5);

    auto* hpf1 = control(PanelTab::Filters, 6150);
    EXPECT_TRUE(hpf1->isChecked());
    for (int id = 6151; id <= 6154; ++id) {
        EXPECT_TRUE(control(PanelTab::Filters, id)->isVisibleTo(host_.filtersPanel()));
        EXPECT_FALSE(control(PanelTab::Filters, id)->isChecked());
    }
    EXPECT_FALSE(control(PanelTab::Filters, 6111)->isVisibleTo(host_.filtersPanel()));

    auto* band2 = host_.equalizerPanel()->findChild<QWidget*>(QStringLiteral("id6252"));
    ASSERT_NE(band2, nullptr);
    auto* gain = band2->findChild<controls::MediaSlider*>(QStringLiteral("id6265"));
    EXPECT_EQ(gain->minimum(), 5);
    EXPECT_EQ(gain->maximum(), 103);
    EXPECT_TRUE(band2->findChild<QAbstractButton*>(QStringLiteral("id6261"))->isChecked());

    EXPECT_TRUE(control(PanelTab::InputGain, 6350)->isChecked());
    EXPECT_TRUE(control(PanelTab::InputGain, 6353)->isChecked());
    EXPECT_TRUE(control(PanelTab::InputGain, 6353)->isVisibleTo(host_.inputGainPanel()));
}

TEST_F(PanelHostTest, DirectionVolumeAndBeamOfAnAlder) {
    select("Alder", deviceXml({{"DirVolume", 17}, {"DirBeam", 4}, {"DirZoom", 128}}));
    const CCtrlTabBeam* beam = host_.directionPanel();
    EXPECT_EQ(labelAt(beam, 0), QStringLiteral("- 1.0 dB"));
    EXPECT_EQ(labelAt(beam, 1), QStringLiteral("128"));
    EXPECT_EQ(control<controls::MediaSlider>(PanelTab::Direction, 6017)->value(), 24);
    EXPECT_EQ(beam->picture()->pattern(), 4);

    select("Alder", deviceXml({{"DirVolume", 41}, {"DirBeam", 9}}));
    EXPECT_EQ(labelAt(beam, 0), QStringLiteral("- 25.0 dB"));
    EXPECT_EQ(control<controls::MediaSlider>(PanelTab::Direction, 6017)->value(), 0);
    EXPECT_EQ(beam->beamList()->currentIndex(), 4) << "an unknown pattern keeps the list";
}

TEST_F(PanelHostTest, AReadForAnEarlierSelectionIsDropped) {
    select("Larch", deviceXml({{"LPF", 3}}), true, false);
    selection_.selectNone();  // before the read's answer reaches the GUI thread
    settle();
    EXPECT_EQ(filledPanels(), 0u);
    EXPECT_EQ(enabledTabs(), 0u);
}

TEST_F(PanelHostTest, AlcTimerFollowsTheChosenPeriodAndReadsTheCurrentVolume) {
    const auto device = select("Larch", deviceXml({{"ALC_MODE", 0}}));
    CCtrlTabALC* alc = host_.alcPanel();
    std::vector<std::uint32_t> stored;
    QObject::connect(alc, &CCtrlTabALC::timerPeriodChosen,
                     [&stored](std::uint32_t period) { stored.push_back(period); });
    EXPECT_FALSE(alc->timerRunning());
    alc->chooseTimerPeriod(5000);
    EXPECT_TRUE(alc->timerRunning()) << "5 sec starts the timer while the ALC is off";
    EXPECT_THAT(stored, ElementsAre(5000u));
    alc->chooseTimerPeriod(0);
    EXPECT_FALSE(alc->timerRunning());
    settle();

    device->status[Setting::ALC_VOLUME] = 146;
    device->clear();
    alc->updateCurrentVolume();
    settle();
    EXPECT_THAT(device->calls(), ElementsAre("GetStatusALC()"));
    EXPECT_EQ(labelAt(alc, 2), QStringLiteral("+ 0.4 dB"));

    device->statusCallsFail = true;
    alc->updateCurrentVolume();
    settle();
    EXPECT_EQ(labelAt(alc, 2), QStringLiteral("+ 0.4 dB")) << "a failed read leaves the label";

    // A microphone with the ALC on starts the timer when it is read.
    alc->setTimerPeriod(10000);
    select("Larch", deviceXml({{"ALC_MODE", 0x20}}));
    EXPECT_TRUE(alc->timerRunning());
    select("Larch", deviceXml({{"ALC_MODE", 0x00}}));
    EXPECT_FALSE(alc->timerRunning());
}

}  // namespace
}  // namespace qm::studio::panels::testing
