#include "platform/GdiRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using Int = long long;

// Pixel centres exactly on a figure's edge belong to it, whatever the rounding of sqrt.
constexpr double kEdgeTolerance = 1e-9;

// The pixels of a 32-bit image, written row span by row span, clipped to the image.
class CCanvas {
public:
    explicit CCanvas(QImage& image)
        : m_pBits(reinterpret_cast<QRgb*>(image.bits())), m_nStride(image.bytesPerLine() / 4),
          m_nWidth(image.width()), m_nHeight(image.height()) {}

    Int Width() const { return m_nWidth; }
    Int Height() const { return m_nHeight; }

    void Span(Int y, Int x0, Int x1, QRgb colour) const {
        if (y < 0 || y >= m_nHeight)
            return;
        x0 = std::max<Int>(x0, 0);
        x1 = std::min<Int>(x1, m_nWidth - 1);
        QRgb* pRow = m_pBits + y * m_nStride;
        for (Int x = x0; x <= x1; ++x)
            pRow[x] = colour;
    }

    void Stamp(Int x, Int y, const CPenFootprint& pen, QRgb colour) const {
        Int row = y + pen.Top();
        for (const CPenFootprint::Span& span : pen.Rows())
            Span(row++, x + span.nLeft, x + span.nRight, colour);
    }

private:
    QRgb* m_pBits;
    Int m_nStride;
    Int m_nWidth;
    Int m_nHeight;
};

struct CRowSpan {
    Int nLeft;
    Int nRight;
    bool IsEmpty() const { return nLeft > nRight; }
};

// The pixels of row y whose centres lie inside the ellipse with half-axes a and b centred in the
// box from left to right (exclusive) and centre row cy. Mirrored, so figures are symmetric.
CRowSpan EllipseRow(Int left, Int right, double cy, double a, double b, Int y) {
    if (a <= 0 || b <= 0)
        return {1, 0};
    double t = (static_cast<double>(y) + 0.5 - cy) / b;
    double q = 1 - t * t;
    if (q < 0)
        return {1, 0};
    double half = a * std::sqrt(q) + kEdgeTolerance;
    double cx = static_cast<double>(left + right) / 2;
    Int first = static_cast<Int>(std::ceil(cx - half - 0.5));
    return {first, left + right - 1 - first};
}

} // namespace

void CPenFootprint::SetWidth(int nWidth) {
    nWidth = std::max(nWidth, 1);
    if (nWidth == m_nWidth)
        return;
    m_nWidth = nWidth;
    m_rows.clear();
    // A disc of the pen's diameter, centred on the pixel for odd widths and on its top-left
    // corner for even ones.
    double centre = nWidth % 2 == 0 ? -0.5 : 0.0;
    double radius = nWidth / 2.0;
    m_nTop = -(nWidth / 2);
    for (int dy = m_nTop; dy <= (nWidth - 1) / 2; ++dy) {
        double t = dy - centre;
        double half = std::sqrt(std::max(0.0, radius * radius - t * t)) + kEdgeTolerance;
        m_rows.push_back({static_cast<int>(std::ceil(centre - half)),
                          static_cast<int>(std::floor(centre + half))});
    }
}

void RasterLine(QImage& image, int x1, int y1, int x2, int y2, const CPenFootprint& pen,
                QRgb colour) {
    CCanvas canvas(image);
    const Int margin = pen.Width();
    if (std::max(x1, x2) < -margin || std::min(x1, x2) >= canvas.Width() + margin ||
        std::max(y1, y2) < -margin || std::min(y1, y2) >= canvas.Height() + margin)
        return;
    const Int dx = static_cast<Int>(x2) - x1;
    const Int dy = static_cast<Int>(y2) - y1;
    const bool bXMajor = std::llabs(dx) >= std::llabs(dy);
    const Int major = std::llabs(bXMajor ? dx : dy);
    const Int minor = std::llabs(bXMajor ? dy : dx);
    const Int stepMajor = (bXMajor ? dx : dy) < 0 ? -1 : 1;
    const Int stepMinor = (bXMajor ? dy : dx) < 0 ? -1 : 1;
    const Int startMajor = bXMajor ? x1 : y1;
    const Int startMinor = bXMajor ? y1 : x1;
    const Int size = bXMajor ? canvas.Width() : canvas.Height();

    // Only the stretch of steps whose footprint can reach the image is walked.
    Int kFirst = stepMajor > 0 ? -margin - startMajor : startMajor - (size - 1 + margin);
    Int kLast = stepMajor > 0 ? size - 1 + margin - startMajor : startMajor + margin;
    kFirst = std::max<Int>(kFirst, 0);
    kLast = std::min<Int>(kLast, pen.Width() > 1 ? major : major - 1);
    if (kFirst > kLast)
        return;

    // Offset along the minor axis at step k: k * minor / major rounded half up, carried on as
    // Bresenham's error term from the first step walked.
    Int offset = 0;
    Int error = major;
    if (kFirst > 0) {
        __int128 t = static_cast<__int128>(2) * kFirst * minor + major;
        offset = static_cast<Int>(t / (2 * major));
        error = static_cast<Int>(t % (2 * major));
    }
    for (Int k = kFirst; k <= kLast; ++k) {
        Int along = startMajor + stepMajor * k;
        Int across = startMinor + stepMinor * offset;
        if (bXMajor)
            canvas.Stamp(along, across, pen, colour);
        else
            canvas.Stamp(across, along, pen, colour);
        error += 2 * minor;
        if (error >= 2 * major) {
            error -= 2 * major;
            ++offset;
        }
    }
}

void RasterEllipse(QImage& image, int x1, int y1, int x2, int y2, int nPenWidth, QRgb penColour,
                   bool bFill, QRgb fillColour) {
    CCanvas canvas(image);
    const Int left = std::min(x1, x2);
    const Int right = std::max(x1, x2);
    const Int top = std::min(y1, y2);
    const Int bottom = std::max(y1, y2);
    const double a = static_cast<double>(right - left) / 2;
    const double b = static_cast<double>(bottom - top) / 2;
    const double cy = static_cast<double>(top + bottom) / 2;
    const Int yFirst = std::max<Int>(top, 0);
    const Int yLast = std::min<Int>(bottom - 1, canvas.Height() - 1);
    for (Int y = yFirst; y <= yLast; ++y) {
        CRowSpan outer = EllipseRow(left, right, cy, a, b, y);
        if (outer.IsEmpty())
            continue;
        CRowSpan inner =
            nPenWidth > 0 ? EllipseRow(left, right, cy, a - nPenWidth, b - nPenWidth, y) : outer;
        if (bFill && !inner.IsEmpty())
            canvas.Span(y, inner.nLeft, inner.nRight, fillColour);
        if (nPenWidth <= 0)
            continue;
        if (inner.IsEmpty()) {
            canvas.Span(y, outer.nLeft, outer.nRight, penColour);
        } else {
            canvas.Span(y, outer.nLeft, inner.nLeft - 1, penColour);
            canvas.Span(y, inner.nRight + 1, outer.nRight, penColour);
        }
    }
}

void RasterCopyExcept(QImage& image, int x, int y, int nWidth, int nHeight, const QImage& source,
                      int xSrc, int ySrc, QRgb transparent) {
    // Clip the rectangle so that it lies inside both images.
    Int left = std::max<Int>({0, -static_cast<Int>(x), -static_cast<Int>(xSrc)});
    Int top = std::max<Int>({0, -static_cast<Int>(y), -static_cast<Int>(ySrc)});
    Int right = std::min<Int>(
        {nWidth, static_cast<Int>(image.width()) - x, static_cast<Int>(source.width()) - xSrc});
    Int bottom = std::min<Int>(
        {nHeight, static_cast<Int>(image.height()) - y, static_cast<Int>(source.height()) - ySrc});
    for (Int row = top; row < bottom; ++row) {
        const QRgb* pFrom = reinterpret_cast<const QRgb*>(source.constScanLine(ySrc + row)) + xSrc;
        QRgb* pTo = reinterpret_cast<QRgb*>(image.scanLine(y + row)) + x;
        for (Int col = left; col < right; ++col)
            if (pFrom[col] != transparent)
                pTo[col] = pFrom[col];
    }
}
