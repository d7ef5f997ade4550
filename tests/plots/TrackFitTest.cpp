#include "plots/TrackFit.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

// The fit as its rule states it: a pass, then another, until the point is inside. False when
// it took more than nMaxPasses.
bool FitByPasses(CTrackView& view, long long x, long long y, long long nMaxPasses) {
    for (long long n = 0; !view.Contains(x, y); ++n) {
        if (n == nMaxPasses)
            return false;
        view.FitPass(x, y);
    }
    return true;
}

std::vector<long long> Fields(const CTrackView& v) {
    return {v.m_nScale, v.m_nOffsetX, v.m_nOffsetY, v.m_nAnchorX, v.m_nAnchorY,
            v.m_nMinX,  v.m_nMaxX,    v.m_nMinY,    v.m_nMaxY};
}

// A view as fits leave it: the anchor inside the square, the extents around it, some of them
// far out (a paint of a path that left the square, or pushes of earlier fits).
CTrackView RandomView(std::mt19937_64& rng) {
    auto pick = [&](long long lo, long long hi) {
        return std::uniform_int_distribution<long long>(lo, hi)(rng);
    };
    const long long reaches[] = {0, 30, 400, 5000, 2000000};
    auto reach = [&] { return pick(0, reaches[pick(0, 4)]); };
    CTrackView v;
    v.m_nScale = pick(0, 2) == 0 ? pick(1, 300) : pick(1, 3000);
    v.m_nAnchorX = pick(0, 3) == 0 ? (pick(0, 1) ? kSquareMin : kSquareMax) : pick(10, 410);
    v.m_nAnchorY = pick(10, 410);
    v.m_nOffsetX = v.m_nAnchorX - kTrackOrigin / v.m_nScale;
    v.m_nOffsetY = v.m_nAnchorY - kTrackOrigin / v.m_nScale;
    v.m_nMinX = v.m_nAnchorX - reach();
    v.m_nMaxX = v.m_nAnchorX + reach();
    v.m_nMinY = v.m_nAnchorY - reach();
    v.m_nMaxY = v.m_nAnchorY + reach();
    return v;
}

} // namespace

TEST(TrackFit, GivesTheViewOfThePassesOnRandomViewsAndPoints) {
    std::mt19937_64 rng(20261208);
    int nCompared = 0, nLong = 0;
    for (int i = 0; i < 5000; ++i) {
        CTrackView view = RandomView(rng);
        // A point some squares away, in screen pixels at the view's scale.
        std::uniform_int_distribution<long long> pixels(-2000, 2000);
        long long x = (pixels(rng) + 210) * view.m_nScale;
        long long y = (pixels(rng) / (i % 3 + 1) + 210) * view.m_nScale;
        CTrackView passes = view;
        if (!FitByPasses(passes, x, y, 50000))
            continue;
        nLong += passes.m_nScale - view.m_nScale > 1000;
        view.Fit(x, y);
        ASSERT_EQ(Fields(view), Fields(passes)) << "case " << i << " point " << x << ", " << y;
        ++nCompared;
    }
    // Most cases compared, and many of them with thousands of zooms.
    EXPECT_GT(nCompared, 4500) << nLong;
    EXPECT_GT(nLong, 1000) << nCompared;
}

TEST(TrackFit, PointsAcrossTheWorldEndInsideWithAPositiveScale) {
    struct Case {
        long long x, y;
    } cases[] = {
        {40000000000000LL, 210},
        {-40000000000000LL, -40000000000000LL},
        {210, 9000000000000000LL},
        {-9000000000000000LL, 5},
        {411, 409},
        {9, 411},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        CTrackView view;
        view.m_nMinX = view.m_nMaxX = view.m_nMinY = view.m_nMaxY = kTrackOrigin;
        view.Fit(c.x, c.y);
        EXPECT_TRUE(view.Contains(c.x, c.y));
        EXPECT_GE(view.m_nScale, 1);
        EXPECT_EQ(view.m_nOffsetX, view.m_nAnchorX - kTrackOrigin / view.m_nScale);
        EXPECT_EQ(view.m_nOffsetY, view.m_nAnchorY - kTrackOrigin / view.m_nScale);
    }
}
