#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QToolButton>
#include <thread>

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/backstage_view.h"
#include "studio/controls/ribbon_bar.h"
#include "studio/controls/status_bar.h"
#include "studio/controls/temp_registry.h"
#include "studio/shell/child_view.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/fake_service.h"
#include "studio/shell/frame_fixture.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/pane_source.h"
#include "studio/shell/reset_flow.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"
#include "studio/shell/wait_dialog.h"

namespace qm::studio::testing {
namespace {

using namespace std::chrono_literals;

using MainFrameTest = FrameFixture;

TEST_F(MainFrameTest, FirstStartShowsTheFrameWithTheServicesMicrophones) {
    {
        controls::RegistryManager before(*registry_.store, registry::Hive::CurrentUser,
                                         keys::kUserRoot);
        ASSERT_TRUE(before.writeProfileBinary("DockingPaneLayouts\\NormalLayout", "State", {1}));
    }
    CMainFrame& frame = start();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(frame.objectName(), QStringLiteral("qmMainFrameStudio"));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Quillmere® Tonecraft"));
    EXPECT_EQ(manager().getProfileInt("Settings", "PaneVersion"), 3u);
    EXPECT_FALSE(manager().getProfileBinary("DockingPaneLayouts\\NormalLayout", "State"));
    EXPECT_EQ(frame.sourcePane()->list()->listedSerials(),
              (std::vector<std::string>{"SN1001", "SN1002"}));
    EXPECT_EQ(connector_.connects, 1);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_TRUE(std::filesystem::is_directory(profiles() / "Rowan"));
    EXPECT_EQ(frame.frameStatusBar()->message(), QStringLiteral("Ready"));
    EXPECT_EQ(frame.frameStatusBar()->versionPane()->text(),
              QStringLiteral("Product version: %1.%2.%3")
                  .arg(installedVersion().major)
                  .arg(installedVersion().minor)
                  .arg(installedVersion().build));
    // Default arrangement: the profile pane below the source pane.
    auto* source = frame.findChild<QDockWidget*>(QStringLiteral("Pane6001"));
    auto* profile = frame.findChild<QDockWidget*>(QStringLiteral("Pane6002"));
    ASSERT_TRUE(source != nullptr && profile != nullptr);
    EXPECT_EQ(source->windowTitle(), QStringLiteral("Quillmere® Audio Source"));
    EXPECT_EQ(profile->windowTitle(), QStringLiteral("Audio profile"));
    EXPECT_EQ(frame.dockWidgetArea(profile), Qt::LeftDockWidgetArea);
    EXPECT_LT(source->y(), profile->y());
}

TEST_F(MainFrameTest, OtherPartsFindTheirPlacesBeforeTheFrameIsShown) {
    StudioEnvironment env = environment();
    int calls = 0;
    env.frameCreated = [&calls](CMainFrame& frame) {
        ++calls;
        EXPECT_FALSE(frame.isVisible());
        EXPECT_NE(frame.childView()->waveformPlace(), nullptr);
        EXPECT_NE(frame.childView()->panelHostPlace(), nullptr);
        EXPECT_EQ(frame.profilePanePlace()->parentWidget()->objectName(),
                  QStringLiteral("Pane6002"));
        EXPECT_EQ(frame.childView()->waveformSplitter()->objectName(),
                  QStringLiteral("Waveform_V"));
    };
    app_ = std::make_unique<CTonecraftApp>(*registry_.store, std::move(env));
    ASSERT_TRUE(app_->InitInstance());
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(app_->mainFrame()->isVisible());
}

TEST_F(MainFrameTest, AdministratorsSeeItInTheTitle) {
    administrator_ = true;
    EXPECT_EQ(start().windowTitle(), QStringLiteral("Quillmere® Tonecraft - [Administrator]"));
}

TEST_F(MainFrameTest, CommandsAreEnabledByTheirConditions) {
    CMainFrame& frame = start();
    EXPECT_FALSE(enabled(ids::kReset));  // nothing selected
    EXPECT_TRUE(enabled(ids::kRefresh));
    EXPECT_FALSE(enabled(ids::kProfileSave));   // no profiles yet
    EXPECT_FALSE(enabled(ids::kServiceStart));  // no service control
    EXPECT_FALSE(enabled(ids::kServiceRestart));

    frame.sourcePane()->list()->selectDevice("SN1002");  // not started
    EXPECT_FALSE(enabled(ids::kReset));
    frame.sourcePane()->list()->selectDevice("SN1001");
    EXPECT_TRUE(enabled(ids::kReset));
    EXPECT_TRUE(frame.ribbon()->controlAs<QToolButton>(ids::kSpectrumBar)->isChecked());
    EXPECT_FALSE(frame.ribbon()->controlAs<QToolButton>(ids::kSpectrumLine)->isChecked());
}

TEST_F(MainFrameTest, ResetIsAskedForThenWaitsWithTheWindowDisabledAndSelectsTheMicrophoneAgain) {
    CMainFrame& frame = start();
    frame.sourcePane()->list()->selectDevice("SN1001");
    ASSERT_EQ(frame.selection().selected(), alder_);
    EXPECT_CALL(*alder_, ResetDefault()).Times(1);

    prompts_.answer = false;  // declined: nothing changes
    frame.onCommand(ids::kReset);
    ASSERT_EQ(prompts_.questions.size(), 1u);
    EXPECT_EQ(prompts_.questions[0].text, QStringLiteral("Reset hardware settings to default ?"));
    EXPECT_EQ(frame.findChild<CWaitDialog*>(), nullptr);
    EXPECT_EQ(frame.selection().selected(), alder_);
    EXPECT_TRUE(frame.isEnabled());

    prompts_.answer = true;
    QSignalSpy finished(frame.findChild<ResetFlow*>(), &ResetFlow::finished);
    frame.onCommand(ids::kReset);
    const auto* wait = frame.findChild<CWaitDialog*>();
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(wait->text(), QStringLiteral("Wait for reset and restart device ..."));
    EXPECT_FALSE(frame.isEnabled());
    EXPECT_TRUE(wait->isEnabled());
    EXPECT_TRUE(wait->isVisible());
    EXPECT_EQ(frame.selection().selected(), nullptr);

    // A second reset can't start meanwhile.
    EXPECT_FALSE(enabled(ids::kReset));

    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(frame.selection().selected(), alder_);
    EXPECT_TRUE(frame.isEnabled());
    EXPECT_EQ(frame.findChild<CWaitDialog*>(), nullptr);
}

TEST_F(MainFrameTest, ResetOfAMicrophoneThatLeftMeanwhileSelectsNothing) {
    CMainFrame& frame = start();
    frame.sourcePane()->list()->selectDevice("SN1001");
    QSignalSpy finished(frame.findChild<ResetFlow*>(), &ResetFlow::finished);
    frame.onCommand(ids::kReset);
    connector_.service->notify("SN1001", sdk::QM_NOTIFY_REMOVED);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(frame.selection().selected(), nullptr);
    EXPECT_TRUE(frame.isEnabled());
}

TEST_F(MainFrameTest, StayOnTopSurvivesARestart) {
    CMainFrame& frame = start();
    auto* topWindow = frame.findChild<QAction*>(QStringLiteral("topWindow"));
    ASSERT_NE(topWindow, nullptr);
    EXPECT_FALSE(topWindow->isChecked());
    topWindow->trigger();
    EXPECT_TRUE(topWindow->isChecked());
    EXPECT_TRUE(frame.windowFlags() & Qt::WindowStaysOnTopHint);
    frame.close();
    app_->ExitInstance();
    EXPECT_EQ(manager().getProfileInt("Settings", "StayOnTop"), 1u);

    CMainFrame& again = start();
    EXPECT_TRUE(again.findChild<QAction*>(QStringLiteral("topWindow"))->isChecked());
    EXPECT_TRUE(again.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(MainFrameTest, ClosingUnadvisesAndSavesLayoutAndPlacement) {
    CMainFrame& frame = start();
    ASSERT_EQ(connector_.service->sinks.size(), 1u);
    frame.close();
    settle();
    EXPECT_TRUE(connector_.service->sinks.empty());
    EXPECT_TRUE(parts_.called("releaseOutputs"));
    EXPECT_TRUE(manager().getProfileBinary("DockingPaneLayouts\\NormalLayout", "State"));
    EXPECT_TRUE(manager().getProfileBinary("WindowPlacement", "MainFrame"));
}

TEST_F(MainFrameTest, ProgressGoesToThePaneAndTheTaskbar) {
    CMainFrame& frame = start();
    taskbar_.clear();
    frame.showProgress(true, 2);
    frame.setProgressRange(16);
    frame.setProgressPosition(4);
    EXPECT_TRUE(frame.frameStatusBar()->progressVisible());
    EXPECT_EQ(frame.frameStatusBar()->progressPane()->maximum(), 16);
    EXPECT_EQ(frame.frameStatusBar()->progressPane()->value(), 4);
    frame.showProgress(false, 0);
    EXPECT_FALSE(frame.frameStatusBar()->progressVisible());
    EXPECT_EQ(taskbar_,
              (std::vector<std::string>{"state 2", "value 0", "range 16", "value 4", "clear"}));
    taskbar_.clear();
    frame.showProgress(true, 7);  // unknown states show as normal
    EXPECT_EQ(taskbar_.front(), "state 0");
}

TEST_F(MainFrameTest, ProgressCanBePostedFromAnotherThread) {
    CMainFrame& frame = start();
    std::thread worker([&frame] {
        QMetaObject::invokeMethod(&frame, "showProgress", Qt::QueuedConnection, Q_ARG(bool, true),
                                  Q_ARG(int, 0));
        QMetaObject::invokeMethod(&frame, "setProgressPosition", Qt::QueuedConnection,
                                  Q_ARG(int, 30));
    });
    worker.join();
    deliver();
    EXPECT_TRUE(frame.frameStatusBar()->progressVisible());
    EXPECT_EQ(frame.frameStatusBar()->progressPane()->value(), 30);
}

TEST_F(MainFrameTest, PreviewVolumeFromOutsideMovesTheSliderWithinRange) {
    CMainFrame& frame = start();
    frame.setPreviewVolume(0.25f);
    EXPECT_FLOAT_EQ(app_->settings().volumeOutput, 0.25f);
    frame.setPreviewVolume(1.5f);
    EXPECT_TRUE(parts_.called("outputVolume 250"));
    EXPECT_TRUE(parts_.called("outputVolume 1000"));
    EXPECT_FALSE(manager().getProfileDouble("Options", "VolumeOutput"));  // not stored here
}

TEST_F(MainFrameTest, ChoosingAnOutputDeviceRestartsCaptureOfTheSelection) {
    CMainFrame& frame = start();
    frame.sourcePane()->list()->selectDevice("SN1001");
    parts_.calls.clear();
    frame.onComboSelected(ids::kOutputDevice, 2, 0);
    ASSERT_GE(parts_.calls.size(), 2u);
    EXPECT_EQ(parts_.calls[0], "stopCapture");
    EXPECT_EQ(parts_.calls[1], "selectOutput 2");
    EXPECT_EQ(frame.selection().selected(), alder_);
}

TEST_F(MainFrameTest, ShowUnactiveBoxSwitchesTheListAndIsStored) {
    CMainFrame& frame = start();
    EXPECT_TRUE(frame.sourcePane()->showUnactiveBox()->isChecked());
    frame.sourcePane()->showUnactiveBox()->click();
    EXPECT_EQ(frame.sourcePane()->list()->listedSerials(), (std::vector<std::string>{"SN1001"}));
    EXPECT_EQ(manager().getProfileInt("Settings", "ShowUnactive"), 0u);
    EXPECT_FALSE(frame.sourcePane()->showUnactiveBox()->isChecked());
    frame.close();
    app_->ExitInstance();
    EXPECT_EQ(start().sourcePane()->list()->deviceCount(), 1);
}

TEST_F(MainFrameTest, TheWaveformSitsAboveTheSpectrumInTheRatioLastLeft) {
    CMainFrame& frame = start();
    QSplitter* split = frame.childView()->waveformSplitter();
    EXPECT_EQ(split->orientation(), Qt::Vertical);
    EXPECT_EQ(split->indexOf(frame.childView()->waveformPlace()), 0);
    EXPECT_EQ(split->indexOf(frame.childView()->spectrumPlace()), 1);
    EXPECT_NEAR(frame.childView()->waveformShare(), 0.5, 0.02);

    // The user drags the split; showing the window again (a window flag changed) keeps it.
    const int height = split->sizes()[0] + split->sizes()[1];
    split->setSizes({height * 3 / 10, height - height * 3 / 10});
    auto* topWindow = frame.findChild<QAction*>(QStringLiteral("topWindow"));
    topWindow->trigger();
    topWindow->trigger();
    settle();
    EXPECT_NEAR(frame.childView()->waveformShare(), 0.3, 0.02);

    frame.close();
    app_->ExitInstance();
    const auto stored = manager().getProfileDouble("Splitter", "Waveform_V");
    ASSERT_TRUE(stored);
    EXPECT_NEAR(*stored, 0.3, 0.02);

    CMainFrame& again = start();
    EXPECT_EQ(again.childView()->waveformSplitter()->orientation(), Qt::Vertical);
    EXPECT_NEAR(again.childView()->waveformShare(), 0.3, 0.02);
    const QList<int> sizes = again.childView()->waveformSplitter()->sizes();
    ASSERT_EQ(sizes.size(), 2);
    EXPECT_NEAR(static_cast<double>(sizes[0]) / (sizes[0] + sizes[1]), 0.3, 0.02);
}

TEST(ChildViewTest, ViewsAndPanelsStartWithHalfTheHeightEach) {
    CChildView view;
    auto* panels = new QWidget;
    panels->setMinimumHeight(97);  // a panel host with its tabs and a scroll bar
    view.panelHostPlace()->layout()->addWidget(panels);
    view.resize(800, 110);  // first shown while the frame is still small
    view.show();
    view.resize(800, 700);
    QCoreApplication::processEvents();
    const QList<int> halves = view.mainSplitter()->sizes();
    ASSERT_EQ(halves.size(), 2);
    EXPECT_NEAR(halves[0], halves[1], 10);
}

TEST_F(MainFrameTest, TheBackstageListsOptionsAboutAndExitInThatOrder) {
    CMainFrame& frame = start();
    frame.onCommand(ids::kSystemButton);
    settle();
    auto* backstage = frame.findChild<controls::BackstageView*>();
    ASSERT_TRUE(backstage != nullptr && backstage->isOpen());
    EXPECT_EQ(backstage->currentPage(), 3009) << "Options opens first";
    const auto top = [backstage](const QWidget* widget) {
        return widget->mapTo(backstage, QPoint(0, 0)).y();
    };
    const QWidget* options = backstage->tabButton(3009);
    const QWidget* about = backstage->tabButton(ids::kAboutCommand);
    const auto* exit = frame.findChild<QToolButton*>(QStringLiteral("backstageCommand57665"));
    ASSERT_TRUE(options != nullptr && about != nullptr && exit != nullptr);
    EXPECT_EQ(backstage->tabButton(3009)->text(), QStringLiteral("Options"));
    EXPECT_LT(top(options), top(about));
    EXPECT_LT(top(about), top(exit));
}

TEST_F(MainFrameTest, ExitCommandOfTheBackstageClosesTheFrame) {
    CMainFrame& frame = start();
    frame.ribbon()->systemButton()->click();
    auto* exit = frame.findChild<QToolButton*>(QStringLiteral("backstageCommand57665"));
    ASSERT_NE(exit, nullptr);
    exit->click();
    EXPECT_FALSE(frame.isVisible());
}

}  // namespace
}  // namespace qm::studio::testing
