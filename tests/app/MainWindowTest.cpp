#include "app/AboutDlg.h"
#include "resources/ResourceIds.h"
#include "tests/common/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QColor Colour(COLORREF cr) {
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

} // namespace

TEST(MainWindowStart, OpensCollapsedAtTheSeparator) {
    CViewerHarness h;
    RECT rcWindow, rcSeparator;
    h.Dlg().GetWindowRect(&rcWindow);
    h.Dlg().GetDlgItem(IDC_SEPARATOR)->GetWindowRect(&rcSeparator);
    EXPECT_EQ(rcWindow.bottom, rcSeparator.bottom);
    EXPECT_EQ(h.Dlg().m_rcCollapsed.bottom - h.Dlg().m_rcCollapsed.top,
              rcSeparator.bottom - rcWindow.top);
    RECT full = h.Dlg().MapDialogRect(0, 0, 299, 270);
    EXPECT_EQ(rcWindow.right - rcWindow.left, full.right);
    EXPECT_EQ(h.Dlg().m_rcFull.bottom - h.Dlg().m_rcFull.top, full.bottom);
    EXPECT_GE(h.Dlg().GetDlgItem(IDC_MONITOR)->Widget()->geometry().top(),
              h.Dlg().Widget()->height())
        << "the monitor is cut off";
}

TEST(MainWindowStart, InitialCaptionsAndInputs) {
    CViewerHarness h;
    EXPECT_EQ(h.Text(IDC_STARTSTOP), GBK("开 始"));
    EXPECT_EQ(h.Text(IDC_PANEL), GBK("语句>>"));
    EXPECT_EQ(h.Text(IDC_PAUSE), GBK("暂停"));
    EXPECT_EQ(h.Text(IDC_RECORD), GBK("记录语句"));
    EXPECT_EQ(h.Text(IDC_REPLAY), GBK("回放语句"));
    EXPECT_EQ(h.Text(IDC_PORT), "1");
    EXPECT_EQ(h.Text(IDC_BAUDRATE), "38400");
    auto* combo = qobject_cast<QComboBox*>(h.Dlg().GetDlgItem(IDC_BAUDRATE)->Widget());
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    QStringList rates;
    for (int i = 0; i < combo->count(); ++i)
        rates << combo->itemText(i);
    EXPECT_EQ(rates, QStringList({"4800", "9600", "19200", "38400", "57600", "115200", "230400",
                                  "460800", "921600"}));
    for (int id = IDC_FILTER_GGA; id <= IDC_FILTER_GSV; ++id)
        EXPECT_EQ(h.Dlg().GetDlgItem(id)->GetCheck(), 1) << id;
    auto* slider = qobject_cast<QSlider*>(h.Dlg().GetDlgItem(IDC_REPLAY_SPEED)->Widget());
    EXPECT_EQ(slider->value(), 1);
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 5);
    EXPECT_EQ(slider->singleStep(), 1);
    EXPECT_EQ(slider->pageStep(), 1);
    EXPECT_EQ(h.Dlg().m_nReplayPeriod, 1000);
    EXPECT_EQ(h.Dlg().m_bStopped, 1);
    EXPECT_EQ(h.Dlg().m_bAcquiring, 0);
    EXPECT_EQ(h.Dlg().m_bEchoOn, 1);
    EXPECT_EQ(h.Dlg().m_bRecording, 0);
    EXPECT_EQ(h.Dlg().m_pSkyPlot, nullptr);
    EXPECT_EQ(h.Dlg().m_pTrackPlot, nullptr);
}

TEST(MainWindowInput, ComEditTakesDigitsOnlyAndMonitorIsReadOnly) {
    CViewerHarness h;
    auto* edit = qobject_cast<QLineEdit*>(h.Dlg().GetDlgItem(IDC_PORT)->Widget());
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    edit->insert("a-3x7");
    EXPECT_EQ(edit->text(), "1") << "a rejected insert keeps the old text";
    edit->selectAll();
    edit->insert("12");
    EXPECT_EQ(edit->text(), "12");
    auto* monitor = qobject_cast<QPlainTextEdit*>(h.Dlg().GetDlgItem(IDC_MONITOR)->Widget());
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->isReadOnly());
}

TEST(MainWindowInput, TabOrderFollowsTheTemplate) {
    CViewerHarness h;
    QWidget* previous = nullptr;
    for (const auto& pControl : h.Dlg().Controls()) {
        QWidget* w = pControl->Widget();
        if (w->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous) {
            QWidget* next = previous->nextInFocusChain();
            while (next && next->focusPolicy() == Qt::NoFocus && next != w)
                next = next->nextInFocusChain();
            EXPECT_EQ(next, w) << "after id " << pControl->GetDlgCtrlID();
        }
        previous = w;
    }
}

TEST(MainWindowFonts, ControlsGetTheirFonts) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    EXPECT_EQ(d.GetDlgItem(IDC_STARTSTOP)->GetFont(), &d.m_fontButton);
    EXPECT_EQ(d.GetDlgItem(IDC_REPLAY)->GetFont(), &d.m_fontButton);
    EXPECT_EQ(d.GetDlgItem(IDC_FILTER_GGA)->GetFont(), &d.m_fontCheck);
    EXPECT_EQ(d.GetDlgItem(IDC_GPS_TABLE)->GetFont(), &d.m_fontLarge);
    EXPECT_EQ(d.GetDlgItem(CellId(0, 0))->GetFont(), &d.m_fontTable);
    EXPECT_EQ(d.GetDlgItem(CellId(23, 3))->GetFont(), &d.m_fontTable);
    EXPECT_EQ(d.GetDlgItem(IDC_FIRST_HEADER + 3)->GetFont(), &d.m_fontHeader);
    EXPECT_EQ(d.GetDlgItem(IDC_HDOP)->GetFont(), &d.m_fontLarge);
    EXPECT_EQ(d.GetDlgItem(IDC_GLONASS_USED)->GetFont(), &d.m_fontLarge);
    EXPECT_EQ(d.GetDlgItem(IDC_MONITOR)->GetFont(), &d.m_fontTable);
    EXPECT_EQ(d.GetDlgItem(IDC_GPS_IN_VIEW)->GetFont(), nullptr) << "keeps the template font";
    EXPECT_EQ(d.m_fontLarge.Font().pixelSize(), 19); // 14 pt at 96 dpi
    EXPECT_EQ(d.m_fontHeader.Font().pixelSize(), 13);
}

// A cell's colours come from OnCtlColor each time it paints: text and text background by the
// state code, the rest of the cell in the brush.
TEST(MainWindowColours, TableCellsByStateCode) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    struct {
        int state;
        COLORREF text;
        COLORREF background;
    } cases[] = {
        {11, RGB(255, 255, 255), RGB(0, 0, 255)}, {12, RGB(255, 255, 255), RGB(255, 0, 0)},
        {13, RGB(0, 255, 0), RGB(255, 255, 255)}, {14, RGB(0, 0, 255), RGB(255, 255, 255)},
        {15, RGB(255, 0, 0), RGB(255, 255, 255)},
    };
    for (const auto& c : cases) {
        d.m_nCellState[0] = c.state;
        d.SetDlgItemText(CellId(0, 0), "88");
        QImage img = Render(d.GetDlgItem(CellId(0, 0))->Widget());
        EXPECT_GT(CountPixels(img, Colour(c.background)), 40) << "state " << c.state;
        EXPECT_GT(CountPixels(img, Colour(c.text)), 10) << "state " << c.state;
        EXPECT_GT(CountPixels(img, QColor(240, 240, 240)), 20) << "the base brush fills the rest";
    }
}

TEST(MainWindowColours, EmptyCellsAndDateFieldsAreWhite) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    for (int id : {CellId(0, 0), IDC_DATE, IDC_TIME, IDC_TTFF}) {
        d.SetDlgItemText(id, "12");
        QImage img = Render(d.GetDlgItem(id)->Widget());
        EXPECT_EQ(CountPixels(img, QColor(240, 240, 240)), 0) << id;
        EXPECT_GT(CountPixels(img, QColor(255, 255, 255)), img.width() * img.height() / 2) << id;
    }
}

TEST(MainWindowColours, PositionFieldsFollowTheFixFlag) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    d.SetDlgItemText(IDC_ALTITUDE, "52.3 M");
    d.m_bFixValid = 0;
    EXPECT_GT(CountPixels(Render(d.GetDlgItem(IDC_ALTITUDE)->Widget()), QColor(186, 186, 186)), 5);
    d.m_bFixValid = 1;
    QImage valid = Render(d.GetDlgItem(IDC_ALTITUDE)->Widget());
    EXPECT_GT(CountPixels(valid, QColor(165, 41, 31)), 5);
    EXPECT_EQ(CountPixels(valid, QColor(186, 186, 186)), 0);
    d.SetDlgItemText(IDC_GPS_USED, "7");
    EXPECT_GT(CountPixels(Render(d.GetDlgItem(IDC_GPS_USED)->Widget()), QColor(165, 41, 31)), 5);
}

TEST(MainWindowCommands, AboutItemOpensTheAboutBox) {
    CViewerHarness h;
    CMenu* pMenu = h.Dlg().GetSystemMenu(FALSE);
    ASSERT_NE(pMenu, nullptr);
    ASSERT_EQ(pMenu->Items().size(), 2u);
    EXPECT_TRUE(pMenu->Items()[0].nFlags & MF_SEPARATOR);
    EXPECT_EQ(pMenu->Items()[1].nID, static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(pMenu->Items()[1].strText, GBK("关于 Velmora(&A)..."));
    int nOpened = 0;
    CString title;
    SetModalHook([&](CDialog& dlg) {
        ++nOpened;
        dlg.GetWindowText(title);
        return IDOK;
    });
    h.Dlg().OnSysCommand(IDM_ABOUTBOX, 0);
    h.Dlg().OnSysCommand(0xF060, 0); // close: not the About box
    SetModalHook(nullptr);
    EXPECT_EQ(nOpened, 1);
    EXPECT_EQ(title, GBK("关于 Velmora"));
}

TEST(MainWindowCommands, EscapeEndsTheModalRun) {
    CViewerApp app;
    CViewerDlg dlg;
    app.m_pMainWnd = &dlg;
    int result = -5;
    QTimer::singleShot(50, [&] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg.Widget(), &esc);
    });
    result = dlg.DoModal();
    EXPECT_EQ(result, IDCANCEL);
    app.m_pMainWnd = nullptr;
}

TEST(ReceiverStateReset, ClearsTablesCountsAndMonitorOnly) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    for (int i = 0; i < kSatSlots; ++i) {
        d.m_strSatPrn[i] = "07";
        d.m_nSatState[i] = 11;
        d.m_nSatElevation[i] = 45;
        d.m_nSatAzimuth[i] = 270;
    }
    for (int& c : d.m_nCellState)
        c = 14;
    d.m_nGpsInView = d.m_nGpsUsed = d.m_nGlonassInView = d.m_nGlonassUsed = 5;
    d.m_nGpsInViewLast = d.m_nGlonassInViewLast = 6;
    d.m_bNoFixEpoch = d.m_bTtffCounting = 1;
    d.m_nTtffHours = d.m_nTtffMinutes = d.m_nTtffSeconds = 3;
    d.m_strSentence = "$GPGGA";
    d.m_strUsedPrns = "05,12,";
    d.m_bFixValid = 1;
    d.m_bGgaSeen = 1;
    d.m_strLatitude = "N   39";
    d.m_strCourse = "12.0";
    for (int id : {CellId(0, 0), CellId(23, 3), IDC_DATE, IDC_TTFF, IDC_LATITUDE, IDC_HDOP,
                   IDC_GPS_IN_VIEW, IDC_GLONASS_USED})
        d.SetDlgItemText(id, "9");
    d.m_editMonitor.ReplaceSel("$GPGGA,1\r\n");

    d.ResetReceiverState();

    for (int i = 0; i < kSatSlots; ++i) {
        EXPECT_TRUE(d.m_strSatPrn[i].IsEmpty());
        EXPECT_EQ(d.m_nSatState[i], 11) << "kept";
        EXPECT_EQ(d.m_nSatElevation[i], 45) << "kept";
        EXPECT_EQ(d.m_nSatAzimuth[i], 270) << "kept";
    }
    for (int c : d.m_nCellState)
        EXPECT_EQ(c, 0);
    EXPECT_EQ(d.m_nGpsInView + d.m_nGpsUsed + d.m_nGlonassInView + d.m_nGlonassUsed, 0);
    EXPECT_EQ(d.m_nGpsInViewLast + d.m_nGlonassInViewLast, 0);
    EXPECT_EQ(d.m_bNoFixEpoch + d.m_bTtffCounting, 0);
    EXPECT_EQ(d.m_nTtffHours + d.m_nTtffMinutes + d.m_nTtffSeconds, 0);
    EXPECT_TRUE(d.m_strSentence.IsEmpty());
    EXPECT_TRUE(d.m_strUsedPrns.IsEmpty());
    for (int id :
         {CellId(0, 0), CellId(23, 3), IDC_LATITUDE, IDC_HDOP, IDC_GPS_IN_VIEW, IDC_GLONASS_USED})
        EXPECT_TRUE(h.Text(id).IsEmpty()) << id;
    EXPECT_EQ(h.Text(IDC_DATE), "9") << "the date is not cleared";
    EXPECT_EQ(h.Text(IDC_TTFF), "9") << "the time-to-fix field is not cleared";
    EXPECT_EQ(d.m_editMonitor.GetWindowTextLength(), 0);
    EXPECT_EQ(d.m_bFixValid, 1);
    EXPECT_EQ(d.m_bGgaSeen, 1);
    EXPECT_EQ(d.m_strLatitude, "N   39");
    EXPECT_EQ(d.m_strCourse, "12.0");
}
