#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "studio/shell/source_item_painter.h"

namespace qm::studio {
namespace {

const QRect kItem(0, 0, 300, kSourceItemHeight);
const QRgb kListBackground = qRgb(0x1E, 0x1E, 0x1E);

QImage render(const SourceItemState& state, bool selected = false) {
    QImage image(kItem.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    paintSourceItem(painter, kItem, state, selected, false);
    return image;
}

// Pixels inside `zone` that differ from the background colour.
int inkIn(const QImage& image, const QRect& zone, QRgb background) {
    int ink = 0;
    for (int y = zone.top(); y <= zone.bottom(); ++y) {
        for (int x = zone.left(); x <= zone.right(); ++x) {
            ink += image.pixel(x, y) != background ? 1 : 0;
        }
    }
    return ink;
}

TEST(SourceItemTest, ZonesSplitTheItemAsTheTooltipsNeed) {
    EXPECT_EQ(sourceItemZoneAt(kItem, {32, 0}), SourceItemZone::Serial);
    EXPECT_EQ(sourceItemZoneAt(kItem, {107, 5}), SourceItemZone::None);
    EXPECT_EQ(sourceItemZoneAt(kItem, {115, 5}), SourceItemZone::Description);
    EXPECT_EQ(sourceItemZoneAt(kItem, {32, 16}), SourceItemZone::FriendlyName);
    EXPECT_EQ(sourceItemZoneAt(kItem, {10, 5}), SourceItemZone::None);
    // Zones move with the item.
    const QRect lower = kItem.translated(0, 33);
    EXPECT_EQ(sourceItemZoneAt(lower, {40, 33 + 20}), SourceItemZone::FriendlyName);
}

TEST(SourceItemTest, ToolTipsShowTheZonesTextCutTo80Characters) {
    SourceItemState state{QStringLiteral("SN1001"), QString(100, QLatin1Char('d')),
                          QString(90, QChar(0x00E9)), true};
    EXPECT_EQ(sourceItemToolTip(state, SourceItemZone::Serial), QStringLiteral("SN1001"));
    EXPECT_EQ(sourceItemToolTip(state, SourceItemZone::Description).size(), 80);
    EXPECT_EQ(sourceItemToolTip(state, SourceItemZone::FriendlyName), QString(80, QChar(0x00E9)));
    EXPECT_TRUE(sourceItemToolTip(state, SourceItemZone::None).isEmpty());
}

TEST(SourceItemTest, StartedAndStoppedMicrophonesAreDrawnDifferently) {
    SourceItemState state{QStringLiteral("SN1001"), QStringLiteral("Studio A"),
                          QStringLiteral("Desk microphone"), true};
    const QImage active = render(state);
    state.active = false;
    const QImage inactive = render(state);
    const QPoint markCentre(16, 10);
    EXPECT_NE(inactive.pixel(markCentre), active.pixel(markCentre));
    EXPECT_NE(active, inactive);
    // The item is painted over its whole rectangle, in the list's colour.
    EXPECT_EQ(active.pixel(299, 32), kListBackground);
    EXPECT_NE(render(state, true).pixel(299, 32), kListBackground);
}

TEST(SourceItemTest, EachTextIsDrawnInsideItsZone) {
    const SourceItemState state{QStringLiteral("SN1001"), QString(), QStringLiteral("Desk"), true};
    const QImage image = render(state);
    EXPECT_GT(inkIn(image, sourceItemZoneRect(kItem, SourceItemZone::Serial), kListBackground), 0);
    EXPECT_EQ(inkIn(image, sourceItemZoneRect(kItem, SourceItemZone::Description), kListBackground),
              0);
    EXPECT_GT(
        inkIn(image, sourceItemZoneRect(kItem, SourceItemZone::FriendlyName), kListBackground), 0);
    // Nothing between the serial number and the description.
    EXPECT_EQ(inkIn(image, QRect(QPoint(101, 0), QPoint(114, 15)), kListBackground), 0);
}

TEST(SourceItemTest, GroupHeadersShowTheirText) {
    QImage image(200, kGroupHeaderHeight, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    paintGroupHeader(painter, image.rect(), QStringLiteral("Alder"), true);
    painter.end();
    EXPECT_GT(inkIn(image, QRect(24, 0, 60, kGroupHeaderHeight), kListBackground), 0);
    EXPECT_EQ(image.pixel(199, 0), kListBackground);
}

}  // namespace
}  // namespace qm::studio
