#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <map>

#include "studio/controls/backstage_view.h"
#include "studio/controls/ribbon_bar.h"
#include "studio/controls/ribbon_group.h"

namespace qm::studio::controls {
namespace {

// Answers from a table; commands not in it are left alone.
class TableUpdater final : public CommandUpdater {
  public:
    bool updateCommandUi(int id, CommandUi& ui) override {
        const auto found = states.find(id);
        if (found == states.end()) {
            return false;
        }
        ui = found->second;
        ++asked[id];
        return true;
    }
    std::map<int, CommandUi> states;
    std::map<int, int> asked;
};

class RibbonTest : public ::testing::Test {
  protected:
    RibbonTest() {
        RibbonTab* tab = bar.addTab(3002, QStringLiteral("Main"));
        RibbonGroup* group = tab->addGroup(5010, QStringLiteral("Device"));
        reset = group->addButton(5009, QStringLiteral("Reset"),
                                 parsePrompt(QStringLiteral("Reset device\nReset")));
        preview = group->addCheckBox(6000, QStringLiteral("Audio Preview"));
        label = group->addLabel(5072, QStringLiteral("Select output renderer device"));
        RibbonTab* second = bar.addTab(3058, QStringLiteral("Waveform"));
        RibbonGroup* waveform = second->addGroup(5071, QStringLiteral("Waveform"));
        secondLabel = waveform->addLabel(5072, QStringLiteral("Select wave scale"));
        combo = waveform->addComboBox(5073, 120);
        combo->addItem(QStringLiteral("1 pixel 480"), 480);
        combo->addItem(QStringLiteral("20 pixel 24"), 24);
        bar.setCommandUpdater(&updater);
    }

    RibbonBar bar;
    TableUpdater updater;
    QToolButton* reset = nullptr;
    QCheckBox* preview = nullptr;
    QLabel* label = nullptr;
    QLabel* secondLabel = nullptr;
    QComboBox* combo = nullptr;
};

TEST_F(RibbonTest, ButtonsAndCheckBoxesSendTheirIdsThenStatesAreUpdated) {
    QSignalSpy commands(&bar, &RibbonBar::commandTriggered);
    updater.states[5009] = {true, false};
    updater.states[6000] = {true, true};
    reset->click();
    preview->click();
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 5009);
    EXPECT_EQ(commands.at(1).at(0).toInt(), 6000);
    EXPECT_GE(updater.asked[5009], 2);
    EXPECT_TRUE(preview->isChecked());
}

TEST_F(RibbonTest, CheckMarksFollowTheUpdateHandlerNotTheClick) {
    // Neither command is known to the updater: a click alone never sets a check mark.
    reset->click();
    preview->click();
    EXPECT_FALSE(reset->isChecked());
    EXPECT_FALSE(preview->isChecked());

    updater.states[5009] = {false, true};
    label->setEnabled(false);
    bar.updateCommands();
    EXPECT_TRUE(reset->isChecked());
    EXPECT_FALSE(reset->isEnabled());
    EXPECT_FALSE(label->isEnabled()) << "a control unknown to the updater is left alone";
    EXPECT_EQ(updater.asked.count(5072), 0u);
}

TEST_F(RibbonTest, ControlsSharingAnIdAreAllFound) {
    const std::vector<QWidget*> labels = bar.controls(5072);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0], label);
    EXPECT_EQ(labels[1], secondLabel);
    EXPECT_EQ(bar.controlAs<QComboBox>(5073), combo);
    EXPECT_EQ(bar.control(9999), nullptr);
}

TEST_F(RibbonTest, ComboSendsTheChosenEntrysItemData) {
    QSignalSpy selected(&bar, &RibbonBar::comboSelected);
    bar.show();
    bar.setCurrentTab(1);
    combo->setCurrentIndex(0);
    EXPECT_EQ(selected.count(), 0);  // a change made by the program is not a command
    emit combo->activated(1);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 5073);
    EXPECT_EQ(selected.at(0).at(1).toInt(), 1);
    EXPECT_EQ(selected.at(0).at(2).toInt(), 24);
}

TEST_F(RibbonTest, MinimiseAndExpandButtonsSwapAndHideTheGroups) {
    bar.show();
    QSignalSpy commands(&bar, &RibbonBar::commandTriggered);
    EXPECT_TRUE(bar.minimizeButton()->isVisible());
    EXPECT_FALSE(bar.expandButton()->isVisible());

    bar.minimizeButton()->click();
    EXPECT_TRUE(bar.isMinimized());
    EXPECT_FALSE(bar.minimizeButton()->isVisible());
    EXPECT_TRUE(bar.expandButton()->isVisible());
    EXPECT_FALSE(bar.tab(0)->isVisible());

    bar.expandButton()->click();
    EXPECT_FALSE(bar.isMinimized());
    EXPECT_TRUE(bar.tab(0)->isVisible());
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(0).at(0).toInt(), RibbonBar::kMinimizeCommand);
    EXPECT_EQ(commands.at(1).at(0).toInt(), RibbonBar::kExpandCommand);
}

TEST_F(RibbonTest, ToolTipsComeFromThePrompt) {
    EXPECT_EQ(reset->toolTip(), QStringLiteral("<b>Reset</b><br/>Reset device"));
    QToolButton* system =
        bar.setSystemButton(145, parsePrompt(QStringLiteral("Click here\n&File")));
    EXPECT_EQ(system->text(), QStringLiteral("&File"));
    QSignalSpy opened(&bar, &RibbonBar::systemButtonClicked);
    system->click();
    EXPECT_EQ(opened.count(), 1);
}

TEST(BackstageTest, OpensOnTheDefaultPageAndCommandsCloseIt) {
    QWidget window;
    window.resize(400, 300);
    BackstageView backstage(&window);
    auto* about = new QWidget();
    auto* options = new QWidget();
    backstage.addPage(57664, QStringLiteral("About"), about);
    backstage.addPage(3009, QStringLiteral("Options"), options, true);
    backstage.addCommand(57665, QStringLiteral("Exit"));
    window.show();

    backstage.showView();
    EXPECT_TRUE(backstage.isOpen());
    EXPECT_EQ(backstage.currentPage(), 3009);
    EXPECT_EQ(backstage.geometry(), window.rect());

    backstage.tabButton(57664)->click();
    EXPECT_EQ(backstage.currentPage(), 57664);

    QSignalSpy commands(&backstage, &BackstageView::commandTriggered);
    auto* exit = backstage.findChild<QToolButton*>(QStringLiteral("backstageCommand57665"));
    ASSERT_NE(exit, nullptr);
    exit->click();
    EXPECT_FALSE(backstage.isOpen());
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 57665);

    backstage.showView();
    EXPECT_EQ(backstage.currentPage(), 3009);  // reopening shows the default page again
    QTest::keyClick(&backstage, Qt::Key_Escape);
    EXPECT_FALSE(backstage.isOpen());
}

}  // namespace
}  // namespace qm::studio::controls
