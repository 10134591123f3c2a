#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "studio/audio/level_scale.h"

namespace qm::audio {
namespace {

TEST(DbToPercent, RowsMeetAtTheirBoundaries) {
    // At each boundary and just below it: the scale is continuous where the rows meet.
    for (const auto& [db, percent] : {std::pair{0.0F, 100.0F},
                                      {-20.0F, 50.0F},
                                      {-30.0F, 30.0F},
                                      {-40.0F, 15.0F},
                                      {-50.0F, 7.0F}}) {
        EXPECT_FLOAT_EQ(DbToPercent(db), percent) << db;
        EXPECT_NEAR(DbToPercent(db - 0.001F), percent, 0.01F) << db;
    }
    EXPECT_FLOAT_EQ(DbToPercent(-25.0F), 40.0F) << "linear within a row";
    EXPECT_NEAR(DbToPercent(-61.99F), 8.01F / 2.857143F, 1e-4F);
}

TEST(DbToPercent, QuietLoudAndUndefinedLevels) {
    EXPECT_EQ(DbToPercent(std::nextafter(0.0F, 1.0F)), 0.0F) << "just above 0 dB";
    EXPECT_EQ(DbToPercent(3.0F), 0.0F);
    EXPECT_EQ(DbToPercent(-62.0F), 0.0F) << "-62 itself";
    EXPECT_EQ(DbToPercent(-62.01F), 1.5F);
    EXPECT_EQ(DbToPercent(-80.0F), 1.5F);
    EXPECT_EQ(DbToPercent(-110.0F), 1.5F);
    EXPECT_EQ(DbToPercent(-110.01F), 0.0F) << "below -110";
    EXPECT_EQ(DbToPercent(std::numeric_limits<float>::quiet_NaN()), 0.0F);
    EXPECT_EQ(DbToPercent(-std::numeric_limits<float>::infinity()), 0.0F) << "level of 0";
    EXPECT_EQ(DbToPercent(std::numeric_limits<float>::infinity()), 0.0F);
}

}  // namespace
}  // namespace qm::audio
