#include "plots/TrackPlotDlg.h"
#include "tests/common/TestSupport.h"
#include "tests/plots/PlotTestSupport.h"

#include <QPainter>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <utility>

namespace {

using StepMaker = std::function<std::pair<int, int>(int, std::mt19937&)>;

class TrackPath : public testing::Test {
protected:
    void SetUp() override {
        Main().m_bFixValid = 1;
        Main().m_strLatitude = LatitudeText("39", "54", "23.52");
        Main().m_strLongitude = LongitudeText("116", "23", "45.54");
        Main().OnTrackPlot();
    }
    CViewerDlg& Main() { return m_harness.Dlg(); }
    CTrackPlotDlg& Track() { return *Main().m_pTrackPlot; }
    QImage Frame() {
        Track().RedrawNow();
        return Track().Surface()->copy();
    }
    std::vector<long long> Extents() {
        return {Track().m_nMinX, Track().m_nMaxX, Track().m_nMinY, Track().m_nMaxY};
    }
    // The frame the window shows now against the one it shows after drawing the whole path
    // again, and against the path drawn straight on the frame, segment after segment.
    void ExpectSameAsFullRedraw() {
        QImage incremental = Frame();
        std::vector<long long> extents = Extents();
        Track().m_path.Forget();
        ASSERT_EQ(incremental, Frame()) << "scale " << Track().m_nScale;
        ASSERT_EQ(extents, Extents());
        ASSERT_EQ(WithoutReadout(incremental), WithoutReadout(DirectRedraw()));
    }
    // The frame of the same texts without a path, with the path drawn over it as one pass:
    // the origin marker, each step in black, the newest in red.
    QImage DirectRedraw() {
        const CTrackView view = Track();
        TrackSteps empty;
        std::swap(empty, Track().m_points);
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(nullptr, 730, 420);
        bmp.Image() = Frame();
        std::swap(empty, Track().m_points);
        static_cast<CTrackView&>(Track()) = view;
        const TrackSteps& steps = Track().m_points;
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bmp);
        CPen penBlack(PS_SOLID, 2, RGB(0, 0, 0));
        CPen penRed(PS_SOLID, 2, RGB(255, 0, 0));
        dc.SelectObject(&penRed);
        int sx = static_cast<int>(view.ScreenX(kTrackOrigin));
        int sy = static_cast<int>(view.ScreenY(kTrackOrigin));
        dc.Ellipse(sx - 2, sy - 2, sx + 2, sy + 2);
        long long x = kTrackOrigin, y = kTrackOrigin;
        for (size_t i = 0; i < steps.size(); ++i) {
            dc.SelectObject(i + 1 == steps.size() ? &penRed : &penBlack);
            dc.MoveTo(static_cast<int>(view.ScreenX(x)), static_cast<int>(view.ScreenY(y)));
            x += steps[i]->m_nDx;
            y -= steps[i]->m_nDy;
            dc.LineTo(static_cast<int>(view.ScreenX(x)), static_cast<int>(view.ScreenY(y)));
        }
        dc.SelectObject(static_cast<CPen*>(nullptr));
        dc.DeleteDC();
        return bmp.Image().copy();
    }
    // The extent readout is drawn over the frame: its four numbers are left out.
    static QImage WithoutReadout(QImage image) {
        QPainter painter(&image);
        for (QPoint at : {QPoint(100, 200), QPoint(300, 200), QPoint(200, 100), QPoint(200, 300)})
            painter.fillRect(QRect(at, QSize(90, 20)), Qt::magenta);
        return image;
    }

    CViewerHarness m_harness;
};

} // namespace

TEST_F(TrackPath, EveryPaintShowsWhatAFullRedrawShows) {
    struct Shape {
        const char* pszName;
        StepMaker step;
    } shapes[] = {
        {"zig-zag 370 m",
         [](int i, std::mt19937&) { return std::make_pair(i % 2 ? 370 : -370, 3); }},
        {"drive with turns",
         [](int i, std::mt19937&) {
             return std::make_pair((i / 40) % 2 ? 15 : -4, (i / 70) % 3 ? 12 : -9);
         }},
        {"random walk",
         [](int, std::mt19937& rng) {
             std::uniform_int_distribution<int> d(-60, 60);
             return std::make_pair(d(rng), d(rng));
         }},
        {"standing still, now and then a jump of kilometres",
         [](int i, std::mt19937& rng) {
             std::uniform_int_distribution<int> d(-3, 3);
             return i % 97 == 96 ? std::make_pair(-4000, 2500) : std::make_pair(d(rng), d(rng));
         }},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.pszName);
        Main().DiscardTrackPlot();
        Main().OnTrackPlot();
        std::mt19937 rng(5);
        for (int i = 0; i < 700; ++i) {
            auto [nEast, nNorth] = shape.step(i, rng);
            Track().AddStep(i == 0 ? 0 : nEast, i == 0 ? 0 : nNorth);
            if (i == 350)
                Track().DoDataExchange(nullptr); // Enter: a new view over the same path
            // Painted after most refreshes, as a shown window is; some refreshes in a row
            // arrive unpainted, as to a hidden one.
            if (i % 50 < 40 && i % 3 != 0)
                Frame();
            if (i % 25 == 24)
                ExpectSameAsFullRedraw();
        }
    }
}

TEST_F(TrackPath, SegmentsFarBeyondAnyIntAreDrawnWhereTheyCrossTheWindow) {
    // A path across the world, then a view reset: the old path lies billions of pixels away, and
    // one step of it crosses the window from far left to far right.
    Track().AddStep(0, 0);
    Track().AddStep(-2000000000, 0);
    Track().AddStep(-2000000000, 0);
    for (int i = 0; i < 3; ++i)
        Track().AddStep(2000000000, 0);
    Track().DoDataExchange(nullptr);
    // The next fix is the new origin.
    Track().m_nLastX = Track().m_nLastY = kTrackOrigin;
    Track().AddStep(0, 0);
    QImage frame = Frame();
    EXPECT_EQ(Track().m_nMinX, 210 - 4000000000LL);
    EXPECT_EQ(Track().m_nMaxX, 210 + 2000000000LL);
    // Black along the row of the origin, right across the square.
    EXPECT_EQ(frame.pixel(30, 210), Pixel(RGB(0, 0, 0)));
    EXPECT_EQ(frame.pixel(390, 210), Pixel(RGB(0, 0, 0)));
}
