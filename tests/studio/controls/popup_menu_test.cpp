#include "studio/controls/popup_menu.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "studio/controls/dark_style.h"

namespace qm::studio::controls {
namespace {

// The lightest pixel in a rectangle of the image: the text of a menu item on the dark ground.
int lightest(const QImage& image, const QRect& rect) {
    int best = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            best = std::max(best, qGray(image.pixel(x, y)));
        }
    }
    return best;
}

TEST(PopupMenuTest, ADisabledCommandIsDimmedAndAClickOnItClosesTheMenuWithoutRunningIt) {
    PopupMenu menu;
    menu.setStyleSheet(darkStyleSheet());
    QAction* enabled = menu.addAction(QStringLiteral("Rename device"));
    menu.addSeparator();
    QAction* disabled = menu.addAction(QStringLiteral("Remove an inactive device"));
    disabled->setEnabled(false);
    QSignalSpy triggered(disabled, &QAction::triggered);

    menu.popup(QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    const QImage image = menu.grab().toImage();
    const int enabledText = lightest(image, menu.actionGeometry(enabled));
    const int disabledText = lightest(image, menu.actionGeometry(disabled));
    EXPECT_GT(enabledText - disabledText, 60)
        << "enabled " << enabledText << ", disabled " << disabledText;

    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(disabled).center());
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(triggered.count(), 0);
}

TEST(PopupMenuTest, AnEnabledCommandStillRuns) {
    PopupMenu menu;
    QAction* enabled = menu.addAction(QStringLiteral("Rename device"));
    QSignalSpy triggered(enabled, &QAction::triggered);
    menu.popup(QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    QTest::mouseMove(&menu, menu.actionGeometry(enabled).center());
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(enabled).center());
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_FALSE(menu.isVisible());
}

}  // namespace
}  // namespace qm::studio::controls
