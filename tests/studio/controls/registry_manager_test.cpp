#include <gtest/gtest.h>

#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/docking_pane_manager.h"
#include "studio/controls/registry_manager.h"
#include "studio/controls/temp_registry.h"
#include "studio/controls/window_placement.h"

namespace qm::studio::controls {
namespace {

constexpr const char* kRoot = "Software\\QUILLMERE\\qmTonecraft";

class RegistryManagerTest : public ::testing::Test {
  protected:
    registry::Key settingsKey() {
        return testing::createdKey(*registry_.store, registry::Hive::CurrentUser,
                                   std::string(kRoot) + "\\Settings");
    }

    testing::TempRegistry registry_;
    RegistryManager manager_{*registry_.store, registry::Hive::CurrentUser, kRoot};
};

TEST_F(RegistryManagerTest, WritesCreateTheSectionAndReadBack) {
    ASSERT_TRUE(manager_.writeProfileInt("Settings", "PaneVersion", 3));
    ASSERT_TRUE(manager_.writeProfileColor("Colors", "ColorSpectrumEQ", 0x0080FF));
    ASSERT_TRUE(manager_.writeProfileDouble("Options", "VolumeOutput", 0.25));
    EXPECT_EQ(manager_.getProfileInt("Settings", "PaneVersion"), 3u);
    EXPECT_EQ(manager_.getProfileColor("Colors", "ColorSpectrumEQ"), 0x0080FFu);
    EXPECT_EQ(manager_.getProfileDouble("Options", "VolumeOutput"), 0.25);

    // Integers are plain REG_DWORD values under the section's key.
    EXPECT_EQ(registry::readDword(settingsKey(), "PaneVersion"), 3u);
}

TEST_F(RegistryManagerTest, MissingValuesAndValuesOfAnotherFormReadAsNothing) {
    const registry::Key key = settingsKey();
    ASSERT_EQ(registry::writeString(key, "Preview", "1"), registry::ERROR_SUCCESS);
    ASSERT_EQ(key.setValue("Half", registry::Value{registry::ValueType::Binary, {1, 2, 3, 4}}),
              registry::ERROR_SUCCESS);
    ASSERT_EQ(key.setValue("Short", registry::Value{registry::ValueType::Dword, {1, 0}}),
              registry::ERROR_SUCCESS);
    EXPECT_EQ(manager_.getProfileInt("Settings", "Preview"), std::nullopt);
    EXPECT_EQ(manager_.getProfileInt("Settings", "Short"), std::nullopt);
    EXPECT_EQ(manager_.getProfileDouble("Settings", "Half"), std::nullopt);
    EXPECT_EQ(manager_.getProfileBinary("Settings", "Preview"), std::nullopt);
    EXPECT_EQ(manager_.getProfileInt("Settings", "PaneVersion"), std::nullopt) << "missing";
    EXPECT_EQ(manager_.getProfileDouble("Options", "VolumeOutput"), std::nullopt);
}

TEST_F(RegistryManagerTest, DeletingASectionTakesItsSubsections) {
    ASSERT_TRUE(manager_.writeProfileBinary("DockingPaneLayouts\\NormalLayout", "State", {1}));
    EXPECT_TRUE(manager_.deleteSection("DockingPaneLayouts"));
    EXPECT_EQ(manager_.getProfileBinary("DockingPaneLayouts\\NormalLayout", "State"), std::nullopt);
    EXPECT_TRUE(manager_.deleteSection("DockingPaneLayouts"));  // already gone is fine
}

TEST_F(RegistryManagerTest, WindowPlacementRoundTrips) {
    WindowPlacement placement(manager_, "MainFrame");
    QWidget window;
    EXPECT_FALSE(placement.restore(window));
    window.setGeometry(100, 120, 640, 480);
    window.show();
    ASSERT_TRUE(placement.save(window));

    QWidget again;
    ASSERT_TRUE(placement.restore(again));
    EXPECT_EQ(again.geometry().size(), QSize(640, 480));
}

// A window with two numbered panes, the second below the first, as a studio frame has.
struct PaneWindow {
    explicit PaneWindow(RegistryManager& manager) : panes(window, manager) {
        window.setCentralWidget(new QLabel(QStringLiteral("view")));
        panes.createPane(6001, QStringLiteral("Source"), new QLabel(), Qt::LeftDockWidgetArea);
        panes.createPane(6002, QStringLiteral("Profile"), new QLabel(), Qt::LeftDockWidgetArea);
        panes.dockBelow(6002, 6001);
        window.resize(800, 600);
    }
    QMainWindow window;
    DockingPaneManager panes;
};

TEST_F(RegistryManagerTest, PanesStartInTheDefaultArrangementWhenNoGoodLayoutIsStored) {
    ASSERT_TRUE(manager_.writeProfileBinary("DockingPaneLayouts\\NormalLayout", "State",
                                            {0xde, 0xad, 0xbe, 0xef}));
    PaneWindow frame(manager_);
    EXPECT_FALSE(frame.panes.loadLayout(QStringLiteral("NormalLayout"))) << "damaged";
    EXPECT_FALSE(frame.panes.loadLayout(QStringLiteral("OtherLayout"))) << "missing";
    frame.window.show();
    EXPECT_EQ(frame.window.dockWidgetArea(frame.panes.pane(6001)), Qt::LeftDockWidgetArea);
    EXPECT_EQ(frame.window.dockWidgetArea(frame.panes.pane(6002)), Qt::LeftDockWidgetArea);
    EXPECT_LT(frame.panes.pane(6001)->y(), frame.panes.pane(6002)->y());
    EXPECT_EQ(frame.panes.pane(6002)->objectName(), QStringLiteral("Pane6002"));
}

TEST_F(RegistryManagerTest, ASavedLayoutIsRestoredByName) {
    {
        PaneWindow frame(manager_);
        frame.window.show();
        frame.window.addDockWidget(Qt::RightDockWidgetArea, frame.panes.pane(6002));
        ASSERT_TRUE(frame.panes.saveLayout(QStringLiteral("NormalLayout")));
    }
    PaneWindow next(manager_);
    ASSERT_TRUE(next.panes.loadLayout(QStringLiteral("NormalLayout")));
    EXPECT_EQ(next.window.dockWidgetArea(next.panes.pane(6002)), Qt::RightDockWidgetArea);
    EXPECT_EQ(next.window.dockWidgetArea(next.panes.pane(6001)), Qt::LeftDockWidgetArea);
}

}  // namespace
}  // namespace qm::studio::controls
