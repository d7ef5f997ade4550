#include "plots/TrackPath.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
// A colour the path never has: what is left of it in the kept picture is not copied.
constexpr COLORREF kClear = RGB(255, 0, 255);
constexpr int kPathPenWidth = 2;
// Segments shorter than this cost less to draw again than to look up.
constexpr long long kLongSegment = 8;
// Bounds the memory of drawn segments; beyond it, segments are simply drawn.
constexpr size_t kMaxDrawnSegments = 1 << 16;

// Segment ends farther out than this (a view reset over a path around the world) are brought in
// along the segment before it is drawn; no pixel of the window lies anywhere near them.
constexpr double kReach = 1 << 29;

// Cuts the segment to the square of the reach around the window; false when nothing is left.
bool ClipToReach(long long& x1, long long& y1, long long& x2, long long& y2) {
    double t0 = 0, t1 = 1;
    const double dx = static_cast<double>(x2 - x1), dy = static_cast<double>(y2 - y1);
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {kReach + x1, kReach - x1, kReach + y1, kReach - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    const long long x0 = x1, y0 = y1;
    if (t0 > 0) {
        x1 = x0 + static_cast<long long>(t0 * dx);
        y1 = y0 + static_cast<long long>(t0 * dy);
    }
    if (t1 < 1) {
        x2 = x0 + static_cast<long long>(t1 * dx);
        y2 = y0 + static_cast<long long>(t1 * dy);
    }
    return true;
}

void DrawSegment(CDC& dc, long long x1, long long y1, long long x2, long long y2) {
    const long long reach = static_cast<long long>(kReach);
    if (std::max({std::llabs(x1), std::llabs(y1), std::llabs(x2), std::llabs(y2)}) > reach &&
        !ClipToReach(x1, y1, x2, y2))
        return;
    dc.MoveTo(static_cast<int>(x1), static_cast<int>(y1));
    dc.LineTo(static_cast<int>(x2), static_cast<int>(y2));
}

} // namespace

void CTrackPath::Draw(CDC& dcFrame, int nWidth, int nHeight, CTrackView& view,
                      const TrackSteps& steps) {
    if (!IsValidFor(dcFrame, view))
        Restart(dcFrame, nWidth, nHeight, view);
    if (steps.empty()) {
        view.SetExtents(kNoExtents);
        return;
    }
    // Every step but the newest goes into the kept picture, over the origin marker.
    CPen penBlack(PS_SOLID, kPathPenWidth, kBlack);
    CPen penRed(PS_SOLID, kPathPenWidth, kRed);
    CPen* pOldPen = m_dc.SelectObject(&penRed);
    if (!m_bMarker) {
        // Filled with the picture's own white brush.
        long long sx = view.ScreenX(kTrackOrigin);
        long long sy = view.ScreenY(kTrackOrigin);
        m_dc.Ellipse(static_cast<int>(sx - 2), static_cast<int>(sy - 2), static_cast<int>(sx + 2),
                     static_cast<int>(sy + 2));
        m_bMarker = true;
    }
    m_dc.SelectObject(&penBlack);
    const size_t nNewest = steps.size() - 1;
    for (; m_nSteps < nNewest; ++m_nSteps) {
        long long x2 = m_nX + steps[m_nSteps]->m_nDx;
        long long y2 = m_nY - steps[m_nSteps]->m_nDy;
        long long sx1 = view.ScreenX(m_nX), sy1 = view.ScreenY(m_nY);
        long long sx2 = view.ScreenX(x2), sy2 = view.ScreenY(y2);
        if (!IsDrawn(sx1, sy1, sx2, sy2))
            DrawSegment(m_dc, sx1, sy1, sx2, sy2);
        m_extents.Include(sx2, sy2);
        m_nX = x2;
        m_nY = y2;
    }
    m_dc.SelectObject(pOldPen);
    dcFrame.TransparentBlt(0, 0, nWidth, nHeight, &m_dc, 0, 0, kClear);

    long long x2 = m_nX + steps[nNewest]->m_nDx;
    long long y2 = m_nY - steps[nNewest]->m_nDy;
    pOldPen = dcFrame.SelectObject(&penRed);
    DrawSegment(dcFrame, view.ScreenX(m_nX), view.ScreenY(m_nY), view.ScreenX(x2),
                view.ScreenY(y2));
    dcFrame.SelectObject(pOldPen);
    CBoundingBox extents = m_extents;
    extents.Include(view.ScreenX(x2), view.ScreenY(y2));
    view.SetExtents(extents);
}

bool CTrackPath::IsValidFor(const CDC& dcFrame, const CTrackView& view) const {
    const QImage* pFrame = dcFrame.Target();
    const QImage& kept = m_bmp.Image();
    return m_bValid && view.m_nScale == m_nScale && view.m_nOffsetX == m_nOffsetX &&
           view.m_nOffsetY == m_nOffsetY && pFrame && pFrame->size() == kept.size() &&
           pFrame->devicePixelRatio() == kept.devicePixelRatio();
}

void CTrackPath::Restart(CDC& dcFrame, int nWidth, int nHeight, const CTrackView& view) {
    m_bmp.CreateCompatibleBitmap(&dcFrame, nWidth, nHeight);
    m_dc.CreateCompatibleDC(&dcFrame);
    m_dc.SelectObject(&m_bmp);
    m_dc.FillSolidRect(0, 0, nWidth, nHeight, kClear);
    m_bValid = true;
    m_bMarker = false;
    m_nScale = view.m_nScale;
    m_nOffsetX = view.m_nOffsetX;
    m_nOffsetY = view.m_nOffsetY;
    m_nSteps = 0;
    m_nX = m_nY = kTrackOrigin;
    m_extents = kNoExtents;
    m_drawn.clear();
}

// True when the same segment is in the kept picture already; remembers long ones.
bool CTrackPath::IsDrawn(long long x1, long long y1, long long x2, long long y2) {
    if (std::max(std::llabs(x2 - x1), std::llabs(y2 - y1)) < kLongSegment)
        return false;
    if (m_drawn.size() >= kMaxDrawnSegments)
        return m_drawn.count({x1, y1, x2, y2}) > 0;
    return !m_drawn.insert({x1, y1, x2, y2}).second;
}

size_t CTrackPath::SegmentHash::operator()(const Segment& s) const {
    size_t h = std::hash<long long>()(s.x1);
    for (long long v : {s.y1, s.x2, s.y2})
        h = h * 1000003 ^ std::hash<long long>()(v);
    return h;
}
