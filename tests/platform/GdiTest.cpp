#include "platform/Gdi.h"
#include "platform/Colours.h"

#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QRgb Pixel(COLORREF cr) {
    return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

// A memory context on a black picture of its own.
class CCanvasDC {
public:
    explicit CCanvasDC(int nWidth = 100, int nHeight = 100) {
        m_bmp.CreateCompatibleBitmap(nullptr, nWidth, nHeight);
        m_dc.CreateCompatibleDC(nullptr);
        m_dc.SelectObject(&m_bmp);
    }
    CDC& DC() { return m_dc; }
    const QImage& Image() { return m_bmp.Image(); }
    // An ellipse outlined by a 1-pixel pen of one colour and filled with a brush of another;
    // both are put down again.
    void FilledEllipse(COLORREF crOutline, COLORREF crFill, int x1, int y1, int x2, int y2) {
        CPen pen(PS_SOLID, 1, crOutline);
        CBrush brush(crFill);
        m_dc.SelectObject(&pen);
        m_dc.SelectObject(&brush);
        m_dc.Ellipse(x1, y1, x2, y2);
        m_dc.SelectObject(static_cast<CPen*>(nullptr));
        m_dc.SelectObject(static_cast<CBrush*>(nullptr));
    }
    // The pixels of one colour as text rows ('#' the colour, '.' anything else).
    std::vector<std::string> Rows(COLORREF cr, const QRect& area) {
        std::vector<std::string> rows;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            std::string row;
            for (int x = area.left(); x <= area.right(); ++x)
                row += Image().pixel(x, y) == Pixel(cr) ? '#' : '.';
            rows.push_back(row);
        }
        return rows;
    }
    QRect Bounds(COLORREF cr) {
        QRect bounds;
        for (int y = 0; y < Image().height(); ++y)
            for (int x = 0; x < Image().width(); ++x)
                if (Image().pixel(x, y) == Pixel(cr))
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    }

private:
    CBitmap m_bmp;
    CDC m_dc;
};

void Line(CDC& dc, int x1, int y1, int x2, int y2) {
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
}

} // namespace

TEST(GdiFonts, PointSizesBecomePixelsAt96DotsPerInch) {
    const std::pair<int, int> sizes[] = {{65, 9},   {90, 12},  {100, 13}, {110, 15},
                                         {120, 16}, {150, 20}, {180, 24}};
    for (auto [nTenths, nPixels] : sizes) {
        CFont font;
        font.CreatePointFont(nTenths, "Arial");
        EXPECT_EQ(font.Font().pixelSize(), nPixels) << nTenths;
    }
}

TEST(GdiBitmaps, StartBlackAndCopyExactly) {
    CCanvasDC source(40, 30);
    EXPECT_EQ(source.Bounds(kBlack), QRect(0, 0, 40, 30));
    source.DC().FillSolidRect(5, 6, 7, 8, kRed);
    CCanvasDC target(40, 30);
    target.DC().BitBlt(10, 10, 20, 20, &source.DC(), 0, 0, SRCCOPY);
    EXPECT_EQ(target.Bounds(kRed), QRect(15, 16, 7, 8));
}

TEST(GdiBitmaps, ATransparentCopyLeavesOutOneColourAndStaysInsideBothPictures) {
    CCanvasDC source(40, 30);
    source.DC().FillSolidRect(0, 0, 40, 30, kBlue);
    source.DC().FillSolidRect(2, 3, 4, 5, kRed);
    source.DC().FillSolidRect(30, 20, 10, 10, kWhite); // runs past the target's corner
    CCanvasDC target(30, 25);
    target.DC().FillSolidRect(0, 0, 30, 25, kBlack);
    EXPECT_TRUE(target.DC().TransparentBlt(-2, 1, 40, 30, &source.DC(), 0, 0, kBlue));
    EXPECT_EQ(target.Bounds(kRed), QRect(0, 4, 4, 5));
    EXPECT_EQ(target.Bounds(kWhite), QRect(28, 21, 2, 4));
    EXPECT_EQ(target.Bounds(kBlue), QRect());
    EXPECT_EQ(target.Bounds(kBlack), QRect(0, 0, 30, 25));
}

TEST(GdiBitmaps, ABitmapReleasedWhileSelectedLeavesItsContextDrawingNowhere) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    {
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(&dc, 10, 10);
        dc.SelectObject(&bmp);
        dc.FillSolidRect(0, 0, 5, 5, kRed);
    }
    EXPECT_EQ(dc.Target(), nullptr);
    EXPECT_FALSE(dc.TextOut(0, 0, "x"));

    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dc, 10, 10);
    dc.SelectObject(&bmp);
    CDC other;
    other.CreateCompatibleDC(nullptr);
    other.SelectObject(&bmp); // a bitmap lives in one context at a time
    EXPECT_EQ(dc.Target(), nullptr);
    EXPECT_EQ(other.Target(), &bmp.Image());
}

TEST(GdiLines, ThinLinesLeaveOutTheirEndPoint) {
    CCanvasDC canvas(20, 12);
    CPen pen(PS_SOLID, 1, kWhite);
    canvas.DC().SelectObject(&pen);
    Line(canvas.DC(), 2, 1, 8, 1);
    Line(canvas.DC(), 1, 2, 1, 6);
    Line(canvas.DC(), 10, 2, 17, 5); // Bresenham, halves rounded up
    Line(canvas.DC(), 4, 9, 4, 9);   // nothing at all
    canvas.DC().SelectObject(static_cast<CPen*>(nullptr));
    EXPECT_EQ(canvas.Rows(kWhite, QRect(0, 0, 20, 10)), (std::vector<std::string>{
                                                            "....................",
                                                            "..######............",
                                                            ".#........##........",
                                                            ".#..........##......",
                                                            ".#............##....",
                                                            ".#..............#...",
                                                            "....................",
                                                            "....................",
                                                            "....................",
                                                            "....................",
                                                        }));
}

TEST(GdiLines, WidePensCoverARoundFootprintAtEveryPointEndsIncluded) {
    CCanvasDC canvas(40, 30);
    CPen pen6(PS_SOLID, 6, kRed);
    canvas.DC().SelectObject(&pen6);
    Line(canvas.DC(), 10, 10, 25, 10);
    EXPECT_EQ(canvas.Bounds(kRed), QRect(QPoint(7, 7), QPoint(27, 12)));
    EXPECT_EQ(canvas.Rows(kRed, QRect(5, 7, 5, 6)),
              (std::vector<std::string>{"...##", "..###", "..###", "..###", "..###", "...##"}));

    CCanvasDC dot(10, 10);
    CPen pen2(PS_SOLID, 2, kRed);
    dot.DC().SelectObject(&pen2);
    Line(dot.DC(), 5, 5, 5, 5); // a zero-length wide line leaves a dot
    EXPECT_EQ(dot.Bounds(kRed), QRect(4, 4, 2, 2));
    dot.DC().SelectObject(static_cast<CPen*>(nullptr));
    canvas.DC().SelectObject(static_cast<CPen*>(nullptr));
}

TEST(GdiLines, FarOutsideEndPointsAreClippedToTheSameLine) {
    CCanvasDC canvas(50, 50);
    CPen pen(PS_SOLID, 2, kWhite);
    canvas.DC().SelectObject(&pen);
    Line(canvas.DC(), -2000000000, 20, 2000000000, 20);
    Line(canvas.DC(), -100000, -100000, 100000, 100000);
    canvas.DC().SelectObject(static_cast<CPen*>(nullptr));
    for (int x = 0; x < 50; ++x) {
        EXPECT_EQ(canvas.Image().pixel(x, 19), Pixel(kWhite)) << x;
        EXPECT_EQ(canvas.Image().pixel(x, x), Pixel(kWhite)) << x;
    }
    EXPECT_EQ(canvas.Image().pixel(30, 10), Pixel(kBlack));
}

TEST(GdiEllipses, FillTheirBoxButItsRightColumnAndBottomRow) {
    CCanvasDC canvas(60, 60);
    canvas.FilledEllipse(kWhite, kBlue, 10, 10, 34, 34);
    EXPECT_EQ(canvas.Bounds(kWhite), QRect(10, 10, 24, 24));
    EXPECT_EQ(canvas.Bounds(kBlue), QRect(11, 11, 22, 22));
    QImage image = canvas.Image().copy(10, 10, 24, 24);
    EXPECT_EQ(image, image.mirrored(true, false));
    EXPECT_EQ(image, image.mirrored(false, true));

    CCanvasDC dot(10, 10);
    dot.FilledEllipse(kRed, kRed, 2, 2, 7, 7);
    EXPECT_EQ(dot.Rows(kRed, QRect(2, 2, 5, 5)),
              (std::vector<std::string>{".###.", "#####", "#####", "#####", ".###."}));
}

TEST(GdiEllipses, WideOutlinesStayInsideTheBoxAndANullBrushLeavesTheInside) {
    CCanvasDC canvas(80, 80);
    CPen pen(PS_SOLID, 2, kWhite);
    canvas.DC().SelectObject(&pen);
    canvas.DC().SelectStockObject(NULL_BRUSH);
    canvas.DC().Ellipse(20, 20, 65, 65);
    EXPECT_EQ(canvas.Bounds(kWhite), QRect(20, 20, 45, 45));
    EXPECT_EQ(canvas.Rows(kWhite, QRect(20, 41, 4, 1)), (std::vector<std::string>{"##.."}));
    EXPECT_EQ(canvas.Image().pixel(42, 42), Pixel(kBlack));

    CCanvasDC small(10, 10);
    small.DC().SelectObject(&pen);
    small.DC().Ellipse(2, 2, 6, 6); // a 4-pixel box with a 2-pixel pen is all outline
    EXPECT_EQ(small.Rows(kWhite, QRect(2, 2, 4, 4)),
              (std::vector<std::string>{".##.", "####", "####", ".##."}));
    canvas.DC().DeleteDC();
    small.DC().DeleteDC();
}

TEST(GdiText, OpaqueTextFillsItsCellAndTransparentTextOnlyDrawsGlyphs) {
    CCanvasDC canvas(200, 60);
    CFont font;
    font.CreatePointFont(120, "Arial Black");
    canvas.DC().SelectObject(&font);
    canvas.DC().SetTextColor(kWhite);
    canvas.DC().SetBkColor(kBlue);
    canvas.DC().TextOut(10, 5, "1:1 M");
    QFontMetrics fm(font.Font());
    QRect cell(10, 5, fm.horizontalAdvance("1:1 M"), fm.height());
    QRect painted = canvas.Bounds(kBlue) | canvas.Bounds(kWhite);
    EXPECT_EQ(painted, cell);
    // The glyphs sit on the baseline at the cell's ascent.
    EXPECT_GT(canvas.Bounds(kWhite).bottom(), cell.top() + fm.ascent() / 2);
    EXPECT_LE(canvas.Bounds(kWhite).bottom(), cell.top() + fm.ascent());

    canvas.DC().SetBkMode(TRANSPARENT);
    canvas.DC().TextOut(10, 30, "1:1 M");
    EXPECT_EQ(canvas.Bounds(kBlue), cell);
    EXPECT_GT(canvas.Bounds(kWhite).bottom(), 30);
    canvas.DC().SelectObject(static_cast<CFont*>(nullptr));
}

// Labels stay shaped for the next refresh, but never more than a few megabytes of them
// whatever comes: a long text is drawn all the same and not kept.
TEST(GdiText, ShapedTextsKeptStayWithinTheirBytes) {
    CCanvasDC canvas(200, 40);
    CFont font;
    font.CreatePointFont(90, "Verdana");
    canvas.DC().SelectObject(&font);
    canvas.DC().TextOut(0, 0, "N 39");
    size_t nWithLabel = TextLayoutCacheBytes();
    EXPECT_GT(nWithLabel, 0u);

    canvas.DC().SetBkColor(kBlue);
    canvas.DC().TextOut(0, 20, CString(std::string(20000, '7')));
    EXPECT_EQ(TextLayoutCacheBytes(), nWithLabel) << "a long text is not kept";
    EXPECT_EQ(canvas.Bounds(kBlue).width(), 200) << "but it is drawn";

    for (int i = 0; i < 1500; ++i)
        canvas.DC().TextOut(
            0, 0, CString(std::string(400, static_cast<char>('a' + i % 26)) + std::to_string(i)));
    EXPECT_LE(TextLayoutCacheBytes(), size_t{4} << 20);
    canvas.DC().SelectObject(static_cast<CFont*>(nullptr));
}
