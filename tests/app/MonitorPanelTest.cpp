#include "tests/common/Nmea.h"
#include "tests/common/TestSupport.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

const std::string kGga = Sentence("GPGGA,080000.00,3954.3920,N,11623.7590,E,1,08,1.0,52.34,M,,M,,");
const std::string kGns = Sentence("GNGNS,080000.00,3954.3920,N,11623.7590,E,AA,08,1.0,52.3,,,");
const std::string kGsv = Sentence("GPGSV,1,1,01,07,45,123,40");
const std::string kGlgsv = Sentence("GLGSV,1,1,01,70,45,123,40");
const std::string kRmc = Sentence("GPRMC,080000.00,A,3954.3920,N,11623.7590,E,10.0,54.7,081226,,");

} // namespace

TEST(MonitorPanel, ToggleShowsAndHidesThePanel) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    int collapsed = d.Widget()->height();
    QPoint position = d.Widget()->pos();
    d.OnTogglePanel();
    EXPECT_EQ(h.Text(IDC_PANEL), GBK(kCaptionClosePanel));
    EXPECT_EQ(d.Widget()->height(), d.m_rcFull.bottom - d.m_rcFull.top);
    EXPECT_GT(d.Widget()->height(), collapsed);
    EXPECT_EQ(d.Widget()->pos(), position);
    d.OnTogglePanel();
    EXPECT_EQ(h.Text(IDC_PANEL), GBK(kCaptionOpenPanel));
    EXPECT_EQ(d.Widget()->height(), collapsed);
}

TEST(MonitorPanel, FiltersDecideTheEcho) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    d.EnterAcquiringState();
    d.OnToggleGGA();
    d.OnToggleGSV();
    EXPECT_EQ(d.m_bShowGGA, 0);
    EXPECT_EQ(d.m_bShowGSV, 0);
    Feed(d, kGga + kGns + kGsv + kGlgsv);
    EXPECT_TRUE(MonitorText(d).isEmpty()) << "GNS goes with GGA, GLGSV with GSV";
    Feed(d, kRmc);
    EXPECT_EQ(MonitorText(d).toStdString(), kRmc.substr(0, kRmc.size() - 2) + "\n");
    d.OnToggleGGA();
    Feed(d, kGns);
    EXPECT_TRUE(MonitorText(d).contains("$GNGNS"));
}

TEST(MonitorPanel, PauseStopsOnlyTheEchoAndClearEmpties) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    d.EnterAcquiringState();
    Feed(d, kRmc);
    QString before = MonitorText(d);
    d.OnPause();
    EXPECT_EQ(h.Text(IDC_PAUSE), GBK(kCaptionResume));
    EXPECT_EQ(d.m_bEchoOn, 0);
    Feed(d, kGga + kRmc);
    EXPECT_EQ(MonitorText(d), before);
    EXPECT_EQ(h.Text(IDC_STARTSTOP), GBK(kCaptionStop)) << "sentences still arrive and are checked";
    d.OnPause();
    EXPECT_EQ(h.Text(IDC_PAUSE), GBK(kCaptionPause));
    Feed(d, kRmc);
    EXPECT_EQ(MonitorText(d).count("$GPRMC"), 2) << "nothing missed while paused is added";
    d.OnClear();
    EXPECT_TRUE(MonitorText(d).isEmpty());
    EXPECT_EQ(d.m_bEchoOn, 1);
    EXPECT_EQ(d.m_bShowRMC, 1);
}

TEST(MonitorPanel, EchoReplacesTheSelection) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    d.EnterAcquiringState();
    Feed(d, kRmc + kRmc);
    int start = 0, end = 0;
    d.m_editMonitor.SetSel(0, static_cast<int>(kRmc.size()) - 1); // the first line
    d.m_editMonitor.GetSel(start, end);
    EXPECT_GT(end, start);
    Feed(d, kGsv);
    QStringList lines = MonitorText(d).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("$GPGSV"));
    EXPECT_TRUE(lines[1].startsWith("$GPRMC"));
}

TEST(MonitorPanel, KeepsABoundedNumberOfLines) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    d.EnterAcquiringState();
    for (int i = 0; i < kMonitorLineLimit + 300; ++i)
        d.m_editMonitor.ReplaceSel(CString(kRmc));
    EXPECT_LE(d.m_editMonitor.GetLineCount(), kMonitorLineLimit);
    Feed(d, kGsv);
    EXPECT_TRUE(MonitorText(d).contains("$GPGSV")) << "new sentences still show";
}
