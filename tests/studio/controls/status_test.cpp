#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>

#include "studio/controls/keyboard_locks.h"
#include "studio/controls/status_bar.h"
#include "studio/controls/taskbar_progress.h"
#include "studio/controls/temp_registry.h"

namespace qm::studio::controls {
namespace {

class FixedLocks final : public KeyboardLocks {
  public:
    explicit FixedLocks(LockStates* states) : states_(states) {}
    LockStates read() override { return *states_; }

  private:
    LockStates* states_;
};

TEST(StatusBarTest, ProgressPaneStartsHiddenAndResetsWhenShown) {
    LockStates locks;
    FrameStatusBar bar(std::make_unique<FixedLocks>(&locks));
    EXPECT_FALSE(bar.progressVisible());

    bar.showProgress(true);
    bar.setProgressRange(40);
    bar.setProgressPosition(30);
    EXPECT_TRUE(bar.progressVisible());
    EXPECT_EQ(bar.progressPane()->maximum(), 40);
    EXPECT_EQ(bar.progressPane()->value(), 30);

    bar.showProgress(false);
    EXPECT_FALSE(bar.progressVisible());
    bar.showProgress(true);
    EXPECT_EQ(bar.progressPane()->value(), 0);
}

TEST(StatusBarTest, IndicatorsAreLitWhileTheirLockIsOn) {
    LockStates locks;
    FrameStatusBar bar(std::make_unique<FixedLocks>(&locks));
    EXPECT_FALSE(bar.indicator(0)->isEnabled());
    locks.numLock = true;
    bar.refreshIndicators();
    EXPECT_FALSE(bar.indicator(0)->isEnabled());
    EXPECT_TRUE(bar.indicator(1)->isEnabled());
    EXPECT_FALSE(bar.indicator(2)->isEnabled());

    bar.setVersionText(QStringLiteral("Product version: 1.0.0"), QStringLiteral("Product version"));
    EXPECT_EQ(bar.versionPane()->text(), QStringLiteral("Product version: 1.0.0"));
}

void writeLed(const QDir& leds, const QString& name, const char* brightness) {
    ASSERT_TRUE(leds.mkpath(name));
    QFile file(leds.filePath(name + QStringLiteral("/brightness")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(brightness);
}

TEST(KeyboardLocksTest, ALockIsOnWhenAnyKeyboardLightsIt) {
    testing::TempFolder folder;
    const QDir leds(QString::fromStdString(folder.path().string()));
    writeLed(leds, QStringLiteral("input3::capslock"), "0\n");
    writeLed(leds, QStringLiteral("input7::capslock"), "1\n");
    writeLed(leds, QStringLiteral("input3::numlock"), "0\n");
    writeLed(leds, QStringLiteral("input3::scrolllock"), "garbage\n");
    writeLed(leds, QStringLiteral("phy0-led"), "1\n");

    LedKeyboardLocks locks(leds.path());
    EXPECT_EQ(locks.read(), (LockStates{true, false, false}));
}

TEST(KeyboardLocksTest, NoLedsMeansEveryLockIsOff) {
    LedKeyboardLocks locks(QStringLiteral("/nonexistent/leds"));
    EXPECT_EQ(locks.read(), LockStates{});
}

TEST(TaskbarProgressTest, UpdatesCarryTheFractionVisibilityAndAttention) {
    using State = TaskbarProgress::State;
    const auto value = [](bool visible, int position, int range, State state, const char* key) {
        return LauncherEntryProgress::properties(visible, position, range, state)
            .value(QLatin1String(key));
    };
    EXPECT_TRUE(value(true, 25, 100, State::Normal, "progress-visible").toBool());
    EXPECT_DOUBLE_EQ(value(true, 25, 100, State::Normal, "progress").toDouble(), 0.25);
    EXPECT_FALSE(value(true, 25, 100, State::Normal, "urgent").toBool());
    EXPECT_TRUE(value(true, 1, 4, State::Error, "urgent").toBool());
    EXPECT_FALSE(value(false, 1, 4, State::Error, "urgent").toBool());
    // A position beyond the range, or no range, stays within 0 .. 1.
    EXPECT_DOUBLE_EQ(value(true, 150, 100, State::Normal, "progress").toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(value(true, 5, 0, State::Paused, "progress").toDouble(), 0.0);
}

}  // namespace
}  // namespace qm::studio::controls
