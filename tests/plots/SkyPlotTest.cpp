#include "platform/Colours.h"
#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ResourceIds.h"
#include "tests/common/TestSupport.h"
#include "tests/plots/PlotTestSupport.h"

#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class SkyPlot : public testing::Test {
protected:
    CViewerDlg& Main() { return m_harness.Dlg(); }
    CSkyPlotDlg* Sky() { return Main().m_pSkyPlot; }

    void SetSatellite(int s, const char* pszPrn, int nState, int nElevation, int nAzimuth) {
        Main().m_strSatPrn[s] = pszPrn;
        Main().m_nSatState[s] = nState;
        Main().m_nSatElevation[s] = nElevation;
        Main().m_nSatAzimuth[s] = nAzimuth;
    }
    QImage Refresh() {
        Sky()->SendMessage(WM_COPYDATA, 0, 0);
        return PaintedFrame(Sky());
    }
    void PressKey(int nKey) {
        QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier);
        QCoreApplication::sendEvent(Sky()->Widget(), &press);
    }

    CViewerHarness m_harness;
};

// The marker circle of a reference point (X, Y): the box (X - 4, Y - 4)-(X + 20, Y + 20), its
// right column and bottom row left out.
QRect MarkerCircle(int x, int y) {
    return QRect(QPoint(x - 4, y - 4), QPoint(x + 19, y + 19));
}

// Roughly where a satellite's reference point lies, from the exact sine.
QPoint RoughPoint(int nAzimuth, int nElevation) {
    double r = 2 * (90 - nElevation);
    double a = nAzimuth * M_PI / 180;
    return QPoint(static_cast<int>(201 + r * std::sin(a)), static_cast<int>(201 - r * std::cos(a)));
}

// The reference point of the marker drawn in these colours near a rough point: its outline
// spans 24 pixels, its fill the 22 inside. (The search stays clear of the grey labels, whose
// smoothed edges take every shade of grey.)
QPoint MarkerPoint(const QImage& frame, COLORREF crOutline, COLORREF crFill, QPoint rough) {
    const QRect area(rough - QPoint(10, 10), QSize(44, 44));
    QRect circle = BoundsOf(frame, crOutline, area);
    QRect inside = BoundsOf(frame, crFill, area);
    EXPECT_EQ(inside.size(), QSize(22, 22));
    EXPECT_TRUE(circle.contains(inside.adjusted(-1, -1, 1, 1)));
    return inside.topLeft() + QPoint(3, 3);
}

// A trail dot drawn for reference point (X, Y) is centred on (X + 7, Y + 7).
bool HasTrailDot(const QImage& frame, QPoint pt, COLORREF cr) {
    return frame.pixel(pt.x() + 7, pt.y() + 7) == Pixel(cr);
}

} // namespace

TEST(PlotTemplates, AreTwoPixelsPerDialogUnit) {
    CViewerHarness harness;
    harness.Dlg().RenewSkyPlot();
    harness.Dlg().OnTrackPlot();
    RECT rcSky, rcTrack;
    harness.Dlg().m_pSkyPlot->GetClientRect(&rcSky);
    harness.Dlg().m_pTrackPlot->GetClientRect(&rcTrack);
    EXPECT_EQ(rcSky.right, 420);
    EXPECT_EQ(rcSky.bottom, 420);
    EXPECT_EQ(rcTrack.right, 730);
    EXPECT_EQ(rcTrack.bottom, 420);
    CString caption;
    harness.Dlg().m_pSkyPlot->GetWindowText(caption);
    EXPECT_EQ(caption.ToUtf8(), "星位图");
    harness.Dlg().m_pTrackPlot->GetWindowText(caption);
    EXPECT_EQ(caption.ToUtf8(), "轨迹图");
    EXPECT_FALSE(harness.Dlg().m_pSkyPlot->Widget()->windowIcon().isNull());
    EXPECT_FALSE(harness.Dlg().m_pTrackPlot->Widget()->windowIcon().isNull());
}

TEST_F(SkyPlot, RingsAndSpokesLieWhereTheirBoxesAndEndPointsPutThem) {
    Main().OnSkyPlot();
    QImage frame = PaintedFrame(Sky());
    // Column 208 crosses every ring at its top and bottom row; boxes leave out their bottom row.
    std::vector<int> ringRows;
    for (int y = 0; y < 420; ++y)
        if (frame.pixel(208, y) == Pixel(kYellow))
            ringRows.push_back(y);
    EXPECT_EQ(ringRows,
              (std::vector<int>{29, 59, 89, 119, 149, 179, 238, 268, 298, 328, 358, 388}));
    // A line leaves out its end point.
    EXPECT_EQ(frame.pixel(209, 388), Pixel(kLightGrey));
    EXPECT_EQ(frame.pixel(209, 389), Pixel(kBlack));
    // 300 to 120 degrees: (54, 118) to (363, 299).
    EXPECT_EQ(frame.pixel(100, 145), Pixel(kLightGrey));
    EXPECT_EQ(frame.pixel(300, 262), Pixel(kLightGrey));
}

TEST_F(SkyPlot, MarkersSitAtTheWorkedPositionsOfTheSineTable) {
    struct Case {
        int nAzimuth, nElevation, x, y;
    } cases[] = {
        {26, 0, 282, 40},  {0, 0, 201, 21},     {90, 0, 381, 201},   {180, 45, 201, 291},
        {270, 0, 21, 201}, {360, 0, 201, 21},   {123, 90, 201, 201}, {45, 30, 286, 115},
        {300, 0, 44, 111}, {200, 60, 180, 257},
    };
    Main().OnSkyPlot();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "azimuth " << c.nAzimuth << " elevation " << c.nElevation);
        SetSatellite(0, "07", SAT_GPS_USED, c.nElevation, c.nAzimuth);
        QImage frame = Refresh();
        EXPECT_EQ(BoundsOf(frame, kWhite, MarkerCircle(c.x, c.y).adjusted(-8, -8, 8, 8)),
                  MarkerCircle(c.x, c.y));
        EXPECT_TRUE(ShowsText(frame, c.x, c.y, "07", 0, nullptr, kWhite, kBlue));
    }
}

TEST_F(SkyPlot, MarkerColoursFollowTheStateCode) {
    struct Case {
        int nState;
        COLORREF crFill, crOutline;
    } cases[] = {
        {SAT_GPS_USED, kBlue, kWhite},         {SAT_GLONASS_USED, kRed, kWhite},
        {SAT_STRONG_UNUSED, kMidGrey, kGreen}, {SAT_GPS_UNUSED, kMidGrey, kBlue},
        {SAT_GLONASS_UNUSED, kMidGrey, kRed},
    };
    Main().OnSkyPlot();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.nState);
        SetSatellite(12, "21", c.nState, 40, 72);
        QImage frame = Refresh();
        QPoint p = MarkerPoint(frame, c.crOutline, c.crFill, RoughPoint(72, 40));
        EXPECT_EQ(frame.pixel(p.x() - 2, p.y() + 8), Pixel(c.crFill));
        EXPECT_TRUE(ShowsText(frame, p.x(), p.y(), "21", 0, nullptr, c.crOutline, c.crFill));
    }
}

TEST_F(SkyPlot, UnknownStatesBorrowTheColoursOfTheMarkerDrawnBefore) {
    Main().OnSkyPlot();
    SetSatellite(0, "01", 0, 0, 0);                 // first: code 14's grey and blue
    SetSatellite(1, "02", SAT_GLONASS_USED, 0, 90); // red and white
    SetSatellite(2, "03", 77, 0, 400);              // not drawn, so it lends nothing
    SetSatellite(3, "04", SAT_GPS_USED, 0, -5);     // not drawn either
    SetSatellite(4, "05", 99, 0, 180);              // takes slot 1's colours
    QImage frame = Refresh();
    EXPECT_EQ(frame.pixel(201 - 4, 21 + 8), Pixel(kBlue));
    EXPECT_EQ(frame.pixel(201 - 2, 21 + 8), Pixel(kMidGrey));
    EXPECT_EQ(frame.pixel(201 - 4, 381 + 8), Pixel(kWhite));
    EXPECT_EQ(frame.pixel(201 - 2, 381 + 8), Pixel(kRed));

    // Slots with azimuths outside 0-360 leave the frame as if they were empty.
    Main().m_strSatPrn[2].Empty();
    Main().m_strSatPrn[3].Empty();
    EXPECT_EQ(Refresh(), frame);
}

// Satellites tracked without elevation or azimuth: no marker, no trail dot, north included.
TEST_F(SkyPlot, SatellitesWithoutAPositionAreNotDrawn) {
    Main().OnSkyPlot(); // refresh 1
    QImage empty = Refresh();
    SetSatellite(0, "08", SAT_GPS_UNUSED, kNoAngle, kNoAngle);
    SetSatellite(1, "24", SAT_GLONASS_UNUSED, kNoAngle, 305);
    SetSatellite(2, "30", SAT_STRONG_UNUSED, 57, kNoAngle);
    for (int n = 3; n <= 12; ++n) // the 11th draws the trail dots, the 12th shows them
        EXPECT_EQ(Refresh(), empty) << "refresh " << n;
    SetSatellite(0, "08", SAT_GPS_UNUSED, 0, 0);
    EXPECT_EQ(Refresh().pixel(201 - 2, 21 + 8), Pixel(kMidGrey))
        << "elevation 0 at north is a place";
}

TEST_F(SkyPlot, BadgesShowTheCountsAsTwoDigits) {
    Main().m_nGpsInView = 0;
    Main().m_nGpsUsed = 5;
    Main().m_nGlonassInView = 12;
    Main().m_nGlonassUsed = 99;
    Main().OnSkyPlot();
    QImage frame = PaintedFrame(Sky());
    EXPECT_TRUE(ShowsText(frame, 26, 26, "00", 180, "Arial Black", kBlue, kMidGrey));
    EXPECT_TRUE(ShowsText(frame, 26, 360, "05", 180, "Arial Black", kWhite, kBlue));
    EXPECT_TRUE(ShowsText(frame, 360, 26, "12", 180, "Arial Black", kRed, kMidGrey));
    EXPECT_TRUE(ShowsText(frame, 360, 360, "99", 180, "Arial Black", kWhite, kRed));
    EXPECT_FALSE(ShowsText(frame, 26, 360, "5", 180, "Arial Black", kWhite, kBlue));
    // The badge circles: 2-pixel outlines inside the box (20, 20)-(65, 65) and its mirrors.
    EXPECT_EQ(BoundsOf(frame, kBlue, QRect(0, 0, 100, 100)), QRect(20, 20, 45, 45));
    EXPECT_EQ(BoundsOf(frame, kRed, QRect(340, 0, 80, 100)), QRect(354, 20, 45, 45));
}

TEST_F(SkyPlot, TrailDotsAreDrawnOnThe11thAnd312thRefreshAndShowFromTheNext) {
    auto place = [&](int nAzimuth, int nElevation) {
        SetSatellite(0, "09", SAT_GLONASS_UNUSED, nElevation, nAzimuth);
        return MarkerPoint(Refresh(), kRed, kMidGrey, RoughPoint(nAzimuth, nElevation));
    };
    Main().OnSkyPlot(); // refresh 1
    QPoint a0 = place(100, 35);
    for (int n = 3; n <= 10; ++n)
        Refresh();
    QPoint a = place(160, 50); // 11
    QPoint b1 = place(250, 40);
    QImage frame12 = PaintedFrame(Sky());
    EXPECT_TRUE(HasTrailDot(frame12, a, kRed));
    EXPECT_FALSE(HasTrailDot(frame12, a0, kRed));
    for (int n = 13; n <= 311; ++n)
        Refresh();
    QPoint b = place(320, 30); // 312
    Main().m_strSatPrn[0].Empty();
    QImage frame313 = Refresh();
    EXPECT_TRUE(HasTrailDot(frame313, a, kRed));
    EXPECT_TRUE(HasTrailDot(frame313, b, kRed));
    EXPECT_FALSE(HasTrailDot(frame313, b1, kRed));
    EXPECT_FALSE(HasTrailDot(frame313, a0, kRed));
}

TEST_F(SkyPlot, EscapeKeepsTheTrailAndEnterClearsIt) {
    Main().OnSkyPlot();
    SetSatellite(0, "09", SAT_GLONASS_UNUSED, 50, 160);
    for (int n = 2; n <= 11; ++n)
        Refresh();
    QPoint a = MarkerPoint(PaintedFrame(Sky()), kRed, kMidGrey, RoughPoint(160, 50));
    Main().m_strSatPrn[0].Empty();

    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(Sky()->IsWindowVisible());
    Main().m_nGpsUsed = 5; // a hidden window keeps refreshing
    QImage frame = Refresh();
    EXPECT_TRUE(HasTrailDot(frame, a, kRed));
    EXPECT_TRUE(ShowsText(frame, 26, 360, "05", 180, "Arial Black", kWhite, kBlue));

    Main().OnSkyPlot();
    PressKey(Qt::Key_Return);
    EXPECT_FALSE(Sky()->IsWindowVisible());
    EXPECT_FALSE(HasTrailDot(Refresh(), a, kRed));
    EXPECT_EQ(Sky()->m_nRefreshCount, 1);
}

TEST_F(SkyPlot, TheButtonShowsOneWindowAndStartReplacesItWithAHiddenOne) {
    Main().OnCommand(IDC_SKYPLOT);
    CSkyPlotDlg* pFirst = Sky();
    Main().OnCommand(IDC_SKYPLOT);
    EXPECT_EQ(Sky(), pFirst);
    EXPECT_TRUE(Sky()->IsWindowVisible());
    EXPECT_EQ(Sky()->m_nRefreshCount, 2);

    QPointer<QWidget> pOldWidget = Sky()->Widget();
    Main().EnterAcquiringState();
    ASSERT_NE(Sky(), nullptr);
    EXPECT_NE(Sky()->Widget(), pOldWidget.data());
    EXPECT_FALSE(Sky()->IsWindowVisible());
    EXPECT_EQ(Sky()->m_nRefreshCount, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pOldWidget.isNull());
    // Painted before its first refresh, it shows the bare chart.
    EXPECT_EQ(PaintedFrame(Sky()), Sky()->m_bmpBackground.Image());
}
