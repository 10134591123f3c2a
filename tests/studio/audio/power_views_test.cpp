#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "studio/audio/power_views.h"

namespace qm::audio {
namespace {

// Pushes a spectrum whose every bin holds `value` (bin 5 holds `bin5` when given) and advances
// the view; returns whether the display changed and what it would show at bins 0 and 5.
struct Shown {
    bool changes;
    double bin0;
    double bin5;
};

Shown step(SpectrumViews& views, int view, double value, double bin5 = -1.0) {
    const auto slot = views.nextSlot();
    std::fill(slot.begin(), slot.end(), value);
    slot[5] = bin5 < 0 ? value : bin5;
    views.commit();
    const SpectrumViews::Outcome o = views.advance(view);
    return {o.changes, o.values[0], o.values[5]};
}

TEST(SpectrumViews, RealTimeShowsEverySpectrumAndLeavesTheCounterAlone) {
    SpectrumViews views;
    for (int i = 1; i <= 10; ++i) {
        const Shown s = step(views, kViewRealTime, i);
        EXPECT_TRUE(s.changes);
        EXPECT_EQ(s.bin0, i);
        EXPECT_EQ(views.viewCounter(), 0);
    }
    // Real time wins over any other flag.
    EXPECT_TRUE(step(views, kViewRealTime | kViewMax, 3).changes);
}

TEST(SpectrumViews, MaxKeepsASingleLoudSpectrumUntilTheRefreshAfterIt) {
    SpectrumViews views;
    for (int i = 1; i <= 8; ++i)
        step(views, kViewMax, 1.0);
    // Step 11 is loud; the refresh at 16 shows it, the one at 24 no longer.
    for (int i = 9; i <= 24; ++i) {
        const Shown s = step(views, kViewMax, i == 11 ? 1000.0 : 1.0);
        if (i == 16) {
            EXPECT_TRUE(s.changes);
            EXPECT_EQ(s.bin0, 1000.0);
        } else if (i == 24) {
            EXPECT_TRUE(s.changes);
            EXPECT_EQ(s.bin0, 1.0);
        } else {
            EXPECT_FALSE(s.changes) << "step " << i << ": the display holds between refreshes";
        }
    }
}

TEST(SpectrumViews, MiddleIsHalfTheSpreadNotTheMean) {
    const double bin5[8] = {3, 7, 5, 1, 4, 4, 6, 2};
    SpectrumViews middle;
    SpectrumViews minimum;
    SpectrumViews maximum;
    Shown m{}, lo{}, hi{};
    for (double v : bin5) {
        m = step(middle, kViewMiddle, 2.0, v);
        lo = step(minimum, kViewMin, 2.0, v);
        hi = step(maximum, kViewMax, 2.0, v);
    }
    EXPECT_EQ(m.bin5, (7.0 - 1.0) * 0.5);
    EXPECT_EQ(m.bin0, 0.0) << "a steady bin has no spread";
    EXPECT_EQ(lo.bin5, 1.0);
    EXPECT_EQ(hi.bin5, 7.0);
}

TEST(SpectrumViews, ExtremesStartFromTheGivenBoundsAndSkipValuesThatCompareWithNothing) {
    // All-zero spectra never reach the maximum's start value 2.0e-308, so it stays.
    SpectrumViews maximum;
    SpectrumViews middle;
    SpectrumViews minimum;
    Shown hi{}, mid{}, lo{};
    for (int i = 0; i < 8; ++i) {
        hi = step(maximum, kViewMax, 0.0);
        mid = step(middle, kViewMiddle, 0.0);
    }
    EXPECT_EQ(hi.bin0, kViewMaxStart);
    EXPECT_EQ(mid.bin0, kViewMaxStart * 0.5);

    for (int i = 1; i <= 8; ++i) {
        const double v = i == 4 ? std::numeric_limits<double>::quiet_NaN() : i;
        hi = step(maximum, kViewMax, v);
        lo = step(minimum, kViewMin, v);
    }
    EXPECT_EQ(hi.bin0, 8.0);
    EXPECT_EQ(lo.bin0, 1.0);
}

TEST(SpectrumViews, LowestFlagWinsAndNoFlagKeepsTheDisplay) {
    SpectrumViews views;
    Shown s{};
    for (int i = 1; i <= 8; ++i)
        s = step(views, kViewMin | kViewMax, i);
    EXPECT_EQ(s.bin0, 1.0) << "min before max";
    for (int i = 1; i <= 8; ++i)
        s = step(views, kViewMiddle | kViewMin, i);
    EXPECT_EQ(s.bin0, 3.5) << "middle before min";
    for (int i = 1; i <= 16; ++i) {
        s = step(views, 0, i);
        EXPECT_FALSE(s.changes);
    }
    EXPECT_EQ(views.viewCounter(), 0) << "the counter runs without a view";
}

}  // namespace
}  // namespace qm::audio
