// Window paints: changes faster than a screen shows are painted together, the last one always.
#include "resources/ResourceIds.h"
#include "tests/common/TestSupport.h"

#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// A plain window that counts its paints and notes which change each one showed.
class CCountingWindow : public CDialog {
public:
    CCountingWindow() : CDialog(IDD_SKYPLOT) {}
    void OnPaint() override {
        ++m_nPaints;
        m_nShown = m_nChange;
    }
    int m_nChange = 0;
    int m_nShown = -1;
    int m_nPaints = 0;
};

} // namespace

TEST(WindowPaint, ChangesFasterThanTheScreenArePaintedTogetherAndTheLastOneShows) {
    CCountingWindow wnd;
    wnd.Create(IDD_SKYPLOT, CDialog::GetDesktopWindow());
    wnd.ShowWindow(SW_SHOWNA);
    ASSERT_TRUE(WaitFor([&] { return wnd.Widget()->windowHandle()->isExposed(); }));
    ASSERT_TRUE(WaitFor([&] { return wnd.m_nPaints > 0; }));
    int nPaintsBefore = wnd.m_nPaints;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300) {
        ++wnd.m_nChange;
        wnd.Invalidate();
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(WaitFor([&] { return wnd.m_nShown == wnd.m_nChange; }, 1000))
        << "the last change is painted";
    int nPaints = wnd.m_nPaints - nPaintsBefore;
    EXPECT_GE(wnd.m_nChange, 100) << "the loop made many changes";
    EXPECT_LE(nPaints, clock.elapsed() / 20 + 2) << "at most one paint in 20 ms";
}
