#include "platform/Colours.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ResourceIds.h"
#include "tests/common/TestSupport.h"
#include "tests/plots/PlotTestSupport.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class TrackPlot : public testing::Test {
protected:
    CViewerDlg& Main() { return m_harness.Dlg(); }
    CTrackPlotDlg& Track() { return *Main().m_pTrackPlot; }

    void SetPosition(const CString& strLatitude, const CString& strLongitude) {
        Main().m_strLatitude = strLatitude;
        Main().m_strLongitude = strLongitude;
        Main().m_strAltitude = "52.3 M";
        Main().m_strSpeedKmh = "12.5 km/hr";
        Main().m_strSpeedMs = "3.5 m/s";
        Main().m_strCourse = GBK("87.0°");
    }
    void Refresh() { Track().SendMessage(WM_COPYDATA, 0, 0); }
    // Opens the track window and refreshes it with a fix at the position.
    void ShowFixAt(const CString& strLatitude, const CString& strLongitude) {
        SetPosition(strLatitude, strLongitude);
        Main().m_bFixValid = 1;
        Main().OnTrackPlot();
        Refresh();
    }
    void PressKey(int nKey) {
        QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier);
        QCoreApplication::sendEvent(Track().Widget(), &press);
    }
    // The extent readout: minimum x, maximum x, minimum y, maximum y.
    bool ShowsReadout(const QImage& frame, const char* pszMinX, const char* pszMaxX,
                      const char* pszMinY, const char* pszMaxY) {
        return ShowsText(frame, 100, 200, pszMinX, 0, nullptr, kBlack, kWhite) &&
               ShowsText(frame, 300, 200, pszMaxX, 0, nullptr, kBlack, kWhite) &&
               ShowsText(frame, 200, 100, pszMinY, 0, nullptr, kBlack, kWhite) &&
               ShowsText(frame, 200, 300, pszMaxY, 0, nullptr, kBlack, kWhite);
    }

    CViewerHarness m_harness;
};

// The track window that counts its destructions.
class CCountedTrackPlot : public CTrackPlotDlg {
public:
    ~CCountedTrackPlot() override { ++s_nDestroyed; }
    static int s_nDestroyed;
};
int CCountedTrackPlot::s_nDestroyed = 0;

QImage ScaleLabel(const QImage& frame, int x) {
    return frame.copy(x, 390, 50, 20);
}

} // namespace

TEST_F(TrackPlot, BackgroundHoldsBothGridsTheirLabelsAndTheFixedDots) {
    Main().OnTrackPlot();
    QImage frame = PaintedFrame(&Track());
    EXPECT_EQ(frame.pixel(15, 10), Pixel(kGridGrey));
    EXPECT_EQ(frame.pixel(15, 11), Pixel(kWhite));
    EXPECT_EQ(frame.pixel(409, 410), Pixel(kGridGrey));
    EXPECT_EQ(frame.pixel(410, 409), Pixel(kGridGrey));
    EXPECT_EQ(frame.pixel(410, 410), Pixel(kWhite)); // both lines leave out their end point
    EXPECT_EQ(frame.pixel(425, 110), Pixel(kGridGrey));
    EXPECT_EQ(frame.pixel(719, 410), Pixel(kGridGrey));
    EXPECT_EQ(frame.pixel(720, 410), Pixel(kWhite));
    EXPECT_EQ(frame.pixel(415, 105), Pixel(kWhite));
    EXPECT_EQ(frame.pixel(210, 210), Pixel(kBlack));
    EXPECT_EQ(BoundsOf(frame, kBlack, QRect(560, 250, 20, 20)), QRect(566, 256, 9, 9));
    EXPECT_EQ(
        BoundsOf(frame, kGridGrey, QRect(560, 250, 20, 20)).intersected(QRect(565, 255, 11, 11)),
        QRect(565, 255, 11, 11));
    EXPECT_GT(CountDark(frame, QRect(0, 410, 18, 10)), 5);  // "400"
    EXPECT_GT(CountDark(frame, QRect(713, 100, 17, 9)), 5); // "150"
}

TEST_F(TrackPlot, AnEmptyWindowShowsGreyTextsTheUnitScaleAndTheStartingExtents) {
    SetPosition(LatitudeText("39", "54", "23.52"), LongitudeText("116", "23", "45.54"));
    Main().m_bFixValid = 0;
    Main().OnTrackPlot();
    Refresh();
    QImage frame = PaintedFrame(&Track());
    EXPECT_TRUE(Track().m_points.empty());
    EXPECT_TRUE(ShowsReadout(frame, "400", "0", "400", "0"));
    const QRect texts(430, 15, 290, 80);
    EXPECT_GT(CountOf(frame, kPaleGrey, texts), 50);
    EXPECT_EQ(CountOf(frame, kBrickRed, texts), 0);
    // Both scale labels read "1:1 M" over grid lines at the same offsets.
    EXPECT_GT(CountOf(ScaleLabel(frame, 320), kBlack, QRect(0, 0, 50, 20)), 20);
    EXPECT_EQ(ScaleLabel(frame, 320), ScaleLabel(frame, 670));
}

TEST_F(TrackPlot, TheFirstFixBecomesTheOriginAtTheCentreOfTheSquare) {
    ShowFixAt(LatitudeText("39", "54", "23.52"), LongitudeText("116", "23", "45.54"));
    ASSERT_EQ(Track().m_points.size(), 1u);
    EXPECT_EQ(Track().m_points[0]->m_nDx, 0);
    EXPECT_EQ(Track().m_points[0]->m_nDy, 0);
    QImage frame = PaintedFrame(&Track());
    EXPECT_TRUE(ShowsReadout(frame, "200", "200", "200", "200"));
    // The red origin marker in its box (208, 208)-(212, 212), over the fixed black dot.
    EXPECT_EQ(BoundsOf(frame, kRed, QRect(190, 190, 40, 40)), QRect(208, 208, 4, 4));
    EXPECT_GT(CountOf(frame, kBrickRed, QRect(430, 15, 290, 80)), 50);
}

TEST_F(TrackPlot, PathAndStepVectorAreDrawnWithTheirPens) {
    Main().OnTrackPlot();
    Track().AddStep(0, 0);
    Track().AddStep(100, 0);
    Track().AddStep(0, 50);
    QImage frame = PaintedFrame(&Track());
    // Older segments are black and 2 pixels wide: (210, 210) to (310, 210).
    EXPECT_EQ(frame.pixel(265, 208), Pixel(kWhite));
    EXPECT_EQ(frame.pixel(265, 209), Pixel(kBlack));
    EXPECT_EQ(frame.pixel(265, 210), Pixel(kBlack));
    EXPECT_EQ(frame.pixel(265, 211), Pixel(kWhite));
    // The newest segment is red: (310, 210) to (310, 160).
    EXPECT_EQ(frame.pixel(308, 185), Pixel(kWhite));
    EXPECT_EQ(frame.pixel(309, 185), Pixel(kRed));
    EXPECT_EQ(frame.pixel(310, 185), Pixel(kRed));
    EXPECT_EQ(frame.pixel(311, 185), Pixel(kWhite));
    // The step vector, 6 pixels wide with round caps, one pixel per metre from (570, 260).
    EXPECT_EQ(BoundsOf(frame, kRed, QRect(540, 190, 60, 30)).top(), 207);
    EXPECT_EQ(BoundsOf(frame, kRed, QRect(550, 230, 40, 10)), QRect(567, 230, 6, 10));

    Track().AddStep(200, 0); // longer than the step grid is wide
    frame = PaintedFrame(&Track());
    EXPECT_EQ(frame.pixel(725, 260), Pixel(kRed));
}

TEST_F(TrackPlot, TheScaleLabelFollowsTheZoom) {
    Main().OnTrackPlot();
    Track().AddStep(0, 0);
    Track().AddStep(0, 500);
    EXPECT_GT(Track().m_nScale, 1);
    QImage frame = PaintedFrame(&Track());
    EXPECT_NE(ScaleLabel(frame, 320), ScaleLabel(frame, 670));
}

TEST_F(TrackPlot, EnterStartsANewViewOverTheSamePathAndEscapeOnlyHides) {
    ShowFixAt(LatitudeText("00", "00", "00.00"), LongitudeText("000", "00", "00.00"));
    Track().AddStep(0, 600);
    Track().OnLButtonDown(0, CPoint(5, 5));
    Main().KillTimer(TIMER_REPLAY);
    const int nScale = Track().m_nScale;
    ASSERT_GT(nScale, 1);

    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(Track().IsWindowVisible());
    EXPECT_EQ(Track().m_nScale, nScale);
    EXPECT_EQ(Track().m_points.size(), 2u);

    Main().OnTrackPlot();
    PressKey(Qt::Key_Return);
    EXPECT_FALSE(Track().IsWindowVisible());
    EXPECT_EQ(Track().m_points.size(), 2u);
    EXPECT_EQ(Track().m_nScale, 1);
    EXPECT_EQ(Track().m_nAnchorX, 210);
    EXPECT_EQ(Track().m_nAnchorY, 210);
    EXPECT_EQ(Track().m_nOffsetX, 0);
    EXPECT_EQ(Track().m_nOffsetY, 0);
    EXPECT_EQ(Track().m_nSpeedLevel, 0);
    EXPECT_EQ(Track().m_bFirstFix, 1);
    // The next fix is a new origin, drawn from (210, 210) after the old steps.
    Refresh();
    ASSERT_EQ(Track().m_points.size(), 3u);
    EXPECT_EQ(Track().m_points[2]->m_nDx, 0);
    EXPECT_EQ(Track().m_points[2]->m_nDy, 0);
    EXPECT_EQ(Track().m_nLastX, 210);
    EXPECT_EQ(Track().m_nLastY, 210);
}

TEST_F(TrackPlot, ClosingClearsTheMainWindowsPointerAndFreesTheWindow) {
    auto* pTrack = new CCountedTrackPlot;
    pTrack->Create(IDD_TRACKPLOT, CDialog::GetDesktopWindow());
    Main().m_pTrackPlot = pTrack;
    pTrack->AddStep(0, 0);
    pTrack->AddStep(10, 10);
    QPointer<QWidget> pWidget = pTrack->Widget();
    CCountedTrackPlot::s_nDestroyed = 0;

    QCloseEvent close;
    QCoreApplication::sendEvent(pWidget, &close);
    EXPECT_EQ(Main().m_pTrackPlot, nullptr);
    EXPECT_TRUE(WaitFor([] { return CCountedTrackPlot::s_nDestroyed == 1; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pWidget.isNull());

    // The next press makes a new window with a new path.
    Main().OnCommand(IDC_TRACKPLOT);
    ASSERT_NE(Main().m_pTrackPlot, nullptr);
    EXPECT_TRUE(Track().m_points.empty());
    EXPECT_TRUE(Track().IsWindowVisible());
}

TEST_F(TrackPlot, TheButtonShowsOneWindowAndStartDiscardsIt) {
    Main().OnCommand(IDC_TRACKPLOT);
    CTrackPlotDlg* pFirst = &Track();
    Track().AddStep(0, 0);
    Main().OnCommand(IDC_TRACKPLOT);
    EXPECT_EQ(&Track(), pFirst);
    EXPECT_EQ(Track().m_points.size(), 1u);
    EXPECT_TRUE(Track().IsWindowVisible());
    Main().EnterAcquiringState();
    EXPECT_EQ(Main().m_pTrackPlot, nullptr);
}

TEST_F(TrackPlot, MouseButtonsStepTheReplaySpeed) {
    Main().OnTrackPlot();
    std::vector<int> periods;
    for (int n = 0; n < 8; ++n) {
        Track().OnLButtonDown(0, CPoint(1, 1));
        periods.push_back(Main().m_nReplayPeriod);
        EXPECT_EQ(Main().TimerPeriod(TIMER_REPLAY), Main().m_nReplayPeriod);
    }
    for (int n = 0; n < 4; ++n) {
        Track().OnRButtonDown(0, CPoint(1, 1));
        periods.push_back(Main().m_nReplayPeriod);
        EXPECT_EQ(Main().TimerPeriod(TIMER_REPLAY), Main().m_nReplayPeriod);
    }
    EXPECT_EQ(periods, (std::vector<int>{800, 600, 400, 10, 10, 10, 10, 10, 400, 600, 800, 1000}));
    Main().KillTimer(TIMER_REPLAY);
    Track().OnRButtonDown(0, CPoint(1, 1)); // at level 0 a right click does nothing
    EXPECT_EQ(Main().m_nReplayPeriod, 1000);
    EXPECT_FALSE(Main().IsTimerRunning(TIMER_REPLAY));
}

TEST_F(TrackPlot, ADoubleClickStopsTheReplayTicksOnly) {
    Main().OnTrackPlot();
    Main().SetDlgItemText(IDC_REPLAY, GBK(kCaptionStopReplay));
    Track().OnLButtonDown(0, CPoint(1, 1));
    Track().OnLButtonDown(0, CPoint(1, 1));
    ASSERT_TRUE(Main().IsTimerRunning(TIMER_REPLAY));
    Track().OnLButtonDblClk(0, CPoint(1, 1));
    EXPECT_FALSE(Main().IsTimerRunning(TIMER_REPLAY));
    EXPECT_EQ(Main().m_nReplayPeriod, 600);
    EXPECT_EQ(Track().m_nSpeedLevel, 2);
    EXPECT_EQ(m_harness.Utf8(IDC_REPLAY), kCaptionStopReplay);
    Track().OnLButtonDown(0, CPoint(1, 1));
    EXPECT_EQ(Main().TimerPeriod(TIMER_REPLAY), 400);
    Main().KillTimer(TIMER_REPLAY);
}

TEST_F(TrackPlot, MouseButtonsDoNothingWhileAcquiring) {
    Main().OnTrackPlot();
    Main().m_bAcquiring = 1;
    Main().SetTimer(TIMER_REPLAY, 1000, nullptr);
    Track().OnLButtonDown(0, CPoint(1, 1));
    Track().OnRButtonDown(0, CPoint(1, 1));
    Track().OnLButtonDblClk(0, CPoint(1, 1));
    EXPECT_EQ(Track().m_nSpeedLevel, 0);
    EXPECT_EQ(Main().m_nReplayPeriod, 1000);
    EXPECT_EQ(Main().TimerPeriod(TIMER_REPLAY), 1000);
    Main().KillTimer(TIMER_REPLAY);
}
