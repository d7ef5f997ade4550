#include "plots/TrackPlotDlg.h"
#include "tests/common/TestSupport.h"
#include "tests/plots/PlotTestSupport.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

class TrackView : public testing::Test {
protected:
    void SetUp() override {
        Main().OnTrackPlot();
        Main().m_bFixValid = 1;
    }
    CViewerDlg& Main() { return m_harness.Dlg(); }
    CTrackPlotDlg& Track() { return *Main().m_pTrackPlot; }

    void Fix(const CString& strLatitude, const CString& strLongitude) {
        Main().m_strLatitude = strLatitude;
        Main().m_strLongitude = strLongitude;
        Track().SendMessage(WM_COPYDATA, 0, 0);
    }
    // A fix on the equator, where the table's cosine is 1.
    void EquatorFix(const char* pszLonSec) {
        Fix(LatitudeText("00", "00", "00.00"), LongitudeText("000", "00", pszLonSec));
    }
    void Paint() { Track().RedrawNow(); }
    std::tuple<int, int> Step() {
        const CTrackStep& step = *Track().m_points.back();
        return {step.m_nDx, step.m_nDy};
    }
    // Where the newest point stands in the window.
    std::tuple<long long, long long> NewestOnScreen() {
        return {Track().ScreenX(Track().m_nLastX), Track().ScreenY(Track().m_nLastY)};
    }
    // The extent of the path east to west, as the view has fit it.
    std::tuple<long long, long long> ExtentX() { return {Track().m_nMinX, Track().m_nMaxX}; }
    // Everything the view fit and the update may change.
    std::vector<long long> ViewState() {
        CTrackPlotDlg& t = Track();
        return {static_cast<long long>(t.m_points.size()),
                t.m_nLastX,
                t.m_nLastY,
                t.m_nScale,
                t.m_bFirstFix,
                t.m_nOffsetX,
                t.m_nOffsetY,
                t.m_nAnchorX,
                t.m_nAnchorY,
                t.m_nMinX,
                t.m_nMaxX,
                t.m_nMinY,
                t.m_nMaxY,
                t.m_nLatDeg,
                t.m_nLatMin,
                t.m_nLonDeg,
                t.m_nLonMin,
                static_cast<long long>(t.m_fLatSec * 100),
                static_cast<long long>(t.m_fLonSec * 100)};
    }
    void ExpectInvariant() {
        EXPECT_EQ(Track().m_nOffsetX, Track().m_nAnchorX - 210 / Track().m_nScale);
        EXPECT_EQ(Track().m_nOffsetY, Track().m_nAnchorY - 210 / Track().m_nScale);
    }
    void ExpectNewestInside() {
        auto [sx, sy] = NewestOnScreen();
        EXPECT_TRUE(sx >= 10 && sx <= 410 && sy >= 10 && sy <= 410) << sx << ", " << sy;
    }

    CViewerHarness m_harness;
};

} // namespace

TEST_F(TrackView, Steps250MetresEastPanThenZoomAsWorkedOut) {
    EquatorFix("00.00");
    Paint();
    EXPECT_EQ(ExtentX(), std::make_tuple(210, 210));

    EquatorFix("08.10"); // 8.1 s of longitude: 250 m
    EXPECT_EQ(Step(), std::make_tuple(250, 0));
    EXPECT_EQ(Track().m_nAnchorX, 10);
    EXPECT_EQ(Track().m_nOffsetX, -200);
    EXPECT_EQ(ExtentX(), std::make_tuple(10, 10));
    EXPECT_EQ(std::get<0>(NewestOnScreen()), 260);
    Paint();
    EXPECT_EQ(ExtentX(), std::make_tuple(10, 260));

    EquatorFix("16.20");
    EXPECT_EQ(Step(), std::make_tuple(250, 0));
    EXPECT_EQ(Track().m_nScale, 2);
    EXPECT_EQ(Track().m_nOffsetX, -95);
    EXPECT_EQ(Track().m_nOffsetY, 105);
    EXPECT_EQ(Track().m_nMaxX, 135);
    EXPECT_EQ(NewestOnScreen(), std::make_tuple(260, 210));
}

TEST_F(TrackView, PointsOnTheBoundsAndRepeatedFixesLeaveTheViewAlone) {
    EquatorFix("00.00");
    Paint();
    std::vector<long long> before = ViewState();
    EquatorFix("00.00");
    EXPECT_EQ(Step(), std::make_tuple(0, 0));
    before[0] += 1;
    EXPECT_EQ(ViewState(), before);

    Paint();
    before = ViewState();
    Track().FitView(410, 10);
    Track().FitView(10, 410);
    EXPECT_EQ(ViewState(), before);
    Track().FitView(411, 210);
    EXPECT_NE(ViewState(), before);
}

TEST_F(TrackView, NegativeCoordinatesDivideTowardZero) {
    Track().AddStep(0, 0);
    Track().m_nScale = 2;
    Track().m_nAnchorX = 300; // the path clear of the extent readout
    Track().m_nOffsetX = Track().m_nAnchorX - 210 / 2;
    Track().m_nOffsetY = Track().m_nAnchorY - 210 / 2;
    Track().AddStep(-213, 0); // X = -3: -3 / 2 is -1, not -2
    Paint();
    EXPECT_EQ(Track().m_nMinX, -1 + 195);
    // The red newest segment's 2-pixel pen covers the pixel left of its end.
    EXPECT_EQ(BoundsOf(*Track().Surface(), RGB(255, 0, 0), QRect(180, 200, 30, 20)).left(), 193);
}

TEST_F(TrackView, EastStepsShrinkByTheTablesCosineOfThePreviousLatitude) {
    struct Case {
        const char* pszLatDeg;
        int nEast;
    } cases[] = {{"00", 1853}, {"64", 833}, {"89", 31}, {"90", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszLatDeg);
        Fix(LatitudeText(c.pszLatDeg, "00", "00.00"), LongitudeText("010", "00", "00.00"));
        Fix(LatitudeText(c.pszLatDeg, "00", "00.00"), LongitudeText("010", "01", "00.00"));
        EXPECT_EQ(Step(), std::make_tuple(c.nEast, 0));
    }
}

TEST_F(TrackView, EachStepIsTruncatedOnItsOwn) {
    Fix(LatitudeText("10", "00", "00.00"), LongitudeText("000", "00", "00.00"));
    // 0.3 s of latitude is 9.24 m north; two such steps are 18 m, not 18.48.
    Fix(LatitudeText("10", "00", "00.30"), LongitudeText("000", "00", "00.00"));
    EXPECT_EQ(Step(), std::make_tuple(0, 9));
    Fix(LatitudeText("10", "00", "00.60"), LongitudeText("000", "00", "00.00"));
    EXPECT_EQ(Step(), std::make_tuple(0, 9));
    EXPECT_EQ(Track().m_nLastY, 210 - 18);
    // 0.9 s south across a degree and a minute: -28.72 m, truncated toward zero.
    Fix(LatitudeText("09", "59", "59.70"), LongitudeText("000", "00", "00.00"));
    EXPECT_EQ(Step(), std::make_tuple(0, -28));
}

TEST_F(TrackView, UnreadableSecondsCountAsZero) {
    Fix(LatitudeText("10", "00", "ab.cd"), LongitudeText("000", "00", "nan.0"));
    EXPECT_EQ(Track().m_fLatSec, 0);
    EXPECT_EQ(Track().m_fLonSec, 0);
    Fix(LatitudeText("10", "00", "01.00"), LongitudeText("000", "00", "1e+39"));
    EXPECT_EQ(Step(), std::make_tuple(0, 30));
    EXPECT_EQ(Track().m_fLonSec, 0);
    // A float, but no five digits of seconds: it would make a step beyond any int.
    Fix(LatitudeText("10", "00", "9e+38"), LongitudeText("000", "00", "-9e38"));
    EXPECT_EQ(Step(), std::make_tuple(0, -30));
    EXPECT_EQ(Track().m_fLatSec, 0);
}

TEST_F(TrackView, LatitudesOutsideTheTableChangeNothing) {
    for (const char* pszDeg : {"95", "-5"}) {
        SCOPED_TRACE(pszDeg);
        std::vector<long long> before = ViewState();
        Fix(LatitudeText(pszDeg, "00", "00.00"), LongitudeText("010", "00", "00.00"));
        EXPECT_EQ(ViewState(), before);
        EXPECT_EQ(Track().m_bFirstFix, 1);
    }
    EquatorFix("00.00");
    Paint();
    std::vector<long long> before = ViewState();
    Fix(LatitudeText("99", "30", "00.00"), LongitudeText("010", "00", "00.00"));
    EXPECT_EQ(ViewState(), before);
}

TEST_F(TrackView, TheFitEndsBeforeTheFirstPaintAndAfterLongJumps) {
    // No paint has measured the path yet.
    EquatorFix("00.00");
    Fix(LatitudeText("00", "00", "00.00"), LongitudeText("000", "01", "00.00"));
    EXPECT_EQ(Step(), std::make_tuple(1853, 0));
    ExpectNewestInside();
    ExpectInvariant();
    Paint();
    // Ten degrees east, then forty degrees north: thousands of zoom steps.
    Fix(LatitudeText("00", "00", "00.00"), LongitudeText("010", "01", "00.00"));
    ExpectNewestInside();
    ExpectInvariant();
    Fix(LatitudeText("40", "00", "00.00"), LongitudeText("010", "01", "00.00"));
    ExpectNewestInside();
    ExpectInvariant();
    EXPECT_GT(Track().m_nScale, 10000);
    Paint();
    EXPECT_LE(Track().m_nMinX, Track().m_nAnchorX);
    EXPECT_GE(Track().m_nMaxX, Track().m_nAnchorX);
}

TEST_F(TrackView, EachCheckPansOrZoomsAndMovesTheExtentsByItsOwnRules) {
    struct Case {
        const char* pszName;
        int nMaxY, x, y;
        // scale, anchor x, anchor y, offset x, offset y, min x, max x, min y, max y
        std::vector<long long> after;
    } cases[] = {
        {"left pans", 300, -100, 210, {1, 370, 210, 160, 0, 370, 410, 210, 210}},
        {"top pans", 300, 210, 0, {1, 210, 320, 0, 110, 210, 290, 320, 410}},
        {"top zooms", 410, 210, 0, {2, 210, 210, 105, 105, 180, 230, 205, 410}},
        {"bottom pans", 300, 210, 500, {1, 210, 20, 0, -190, 210, 290, 10, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CTrackPlotDlg& t = Track();
        t.m_nScale = 1;
        t.m_nAnchorX = t.m_nAnchorY = 210;
        t.m_nOffsetX = t.m_nOffsetY = 0;
        t.m_nMinX = 150;
        t.m_nMaxX = 250;
        t.m_nMinY = 200;
        t.m_nMaxY = c.nMaxY;
        t.FitView(c.x, c.y);
        EXPECT_EQ(
            (std::vector<long long>{t.m_nScale, t.m_nAnchorX, t.m_nAnchorY, t.m_nOffsetX,
                                    t.m_nOffsetY, t.m_nMinX, t.m_nMaxX, t.m_nMinY, t.m_nMaxY}),
            c.after);
    }
}

TEST_F(TrackView, FarFixesAlternatingWithTheWindowHiddenGiveTheViewOfThePasses) {
    Track().ShowWindow(SW_HIDE);
    const CString strLatitudes[] = {LatitudeText("00", "00", "00.00"),
                                    LatitudeText("89", "00", "00.00")};
    const CString strLongitudes[] = {LongitudeText("000", "00", "00.00"),
                                     LongitudeText("180", "00", "00.00")};
    for (int i = 0; i < 400; ++i) {
        SCOPED_TRACE(i);
        const CTrackView before = Track();
        const long long x = Track().m_nLastX, y = Track().m_nLastY;
        Fix(strLatitudes[i % 2], strLongitudes[i % 2]);
        ExpectNewestInside();
        ExpectInvariant();
        if (i < 2)
            continue; // the first fits measure the path: nothing brackets the anchor yet
        ASSERT_TRUE(before.ExtentsBracketAnchor());
        auto [nEast, nNorth] = Step();
        CTrackView passes = before;
        for (long long n = 0; !passes.Contains(x + nEast, y - nNorth); ++n) {
            ASSERT_LT(n, 50000000) << "the passes do not end";
            passes.FitPass(x + nEast, y - nNorth);
        }
        const CTrackView& fit = Track();
        ASSERT_EQ((std::vector<long long>{fit.m_nScale, fit.m_nAnchorX, fit.m_nAnchorY, fit.m_nMinX,
                                          fit.m_nMaxX, fit.m_nMinY, fit.m_nMaxY}),
                  (std::vector<long long>{passes.m_nScale, passes.m_nAnchorX, passes.m_nAnchorY,
                                          passes.m_nMinX, passes.m_nMaxX, passes.m_nMinY,
                                          passes.m_nMaxY}));
    }
    // Two hundred round trips, each ending about 19,700 km further east: far beyond an int.
    EXPECT_GT(Track().m_nLastX, 3'000'000'000LL);
    EXPECT_GT(Track().m_nScale, 1);
    Track().ShowWindow(SW_SHOWNA);
    Paint();
    ExpectNewestInside();
}
