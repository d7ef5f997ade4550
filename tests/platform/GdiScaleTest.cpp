// Pictures for a high-density screen: twice the pixels each way, the same figures at the same
// places in drawing units.
#include "platform/Colours.h"
#include "platform/Gdi.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// A memory context on a picture compatible with a screen of the given density.
class CScaledCanvas {
public:
    CScaledCanvas(qreal dScale, int nWidth, int nHeight) {
        m_screen.CreateCompatibleBitmap(nullptr, 1, 1);
        m_screen.Image().setDevicePixelRatio(dScale);
        m_screenDC.CreateCompatibleDC(nullptr);
        m_screenDC.SelectObject(&m_screen);
        m_bmp.CreateCompatibleBitmap(&m_screenDC, nWidth, nHeight);
        m_dc.CreateCompatibleDC(&m_screenDC);
        m_dc.SelectObject(&m_bmp);
    }
    CDC& DC() { return m_dc; }
    const QImage& Image() { return m_bmp.Image(); }
    // The smallest rectangle, in the picture's own pixels, holding every pixel of one colour.
    QRect Bounds(COLORREF cr) {
        QRect bounds;
        for (int y = 0; y < Image().height(); ++y)
            for (int x = 0; x < Image().width(); ++x)
                if (Image().pixel(x, y) == qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr)))
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    }

private:
    CBitmap m_screen;
    CDC m_screenDC;
    CBitmap m_bmp;
    CDC m_dc;
};

void DrawFigures(CDC& dc) {
    CPen pen(PS_SOLID, 1, kRed);
    CBrush brush(kWhite);
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
    dc.Ellipse(10, 10, 30, 30);
    dc.MoveTo(40, 5);
    dc.LineTo(40, 35);
    dc.FillSolidRect(50, 10, 5, 5, kWhite);
}

} // namespace

TEST(GdiScale, AtDensityTwoEveryFigureCoversTheBlocksOfItsPixels) {
    CScaledCanvas one(1, 60, 40);
    CScaledCanvas two(2, 60, 40);
    EXPECT_EQ(two.Image().size(), QSize(120, 80));
    EXPECT_EQ(two.DC().Scale(), 2);
    DrawFigures(one.DC());
    DrawFigures(two.DC());

    QRect red = one.Bounds(kRed);
    QRect white = one.Bounds(kWhite);
    // A 1-pixel line leaves out its end point; a pen a block wide covers it.
    EXPECT_EQ(two.Bounds(kRed), QRect(red.topLeft() * 2, (red.size() + QSize(0, 1)) * 2));
    EXPECT_EQ(two.Bounds(kWhite), QRect(white.topLeft() * 2, white.size() * 2));
    // Inside the figures the picture is the 1x picture doubled.
    for (QPoint p : {QPoint(20, 20), QPoint(10, 20), QPoint(40, 20), QPoint(52, 12)})
        EXPECT_EQ(two.Image().pixel(p * 2), one.Image().pixel(p)) << p.x() << "," << p.y();
}

TEST(GdiScale, ABlockCopyTakesEveryPixelOfTheSourceRectangle) {
    CScaledCanvas source(2, 60, 40);
    CScaledCanvas target(2, 60, 40);
    DrawFigures(source.DC());
    target.DC().BitBlt(5, 0, 30, 40, &source.DC(), 25, 0, SRCCOPY);
    EXPECT_EQ(target.Image().copy(10, 0, 60, 80), source.Image().copy(50, 0, 60, 80));
    // The line at 40 lands at 40 - 25 + 5; left of the copy the picture stays black.
    EXPECT_EQ(target.Image().pixel(40, 40), qRgb(255, 0, 0));
    EXPECT_EQ(target.Image().pixel(9, 79), qRgb(0, 0, 0));
}
