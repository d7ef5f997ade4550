// The track plot's view: scale, offsets, anchor and the path's screen extents, and the fit that
// pans or zooms out until a track point lies inside the plotting square. Everything is kept in
// 64 bits: a path can run around the world many times, and the scale follows it.
#pragma once

#include <algorithm>

// Track coordinates of the origin, and the plotting square in client pixels (bounds included).
constexpr int kTrackOrigin = 210;
constexpr int kSquareMin = 10;
constexpr int kSquareMax = 410;

struct CFitJournal;

// The smallest box that holds a set of points.
struct CBoundingBox {
    long long nMinX;
    long long nMaxX;
    long long nMinY;
    long long nMaxY;

    // The box of the one point (x, y).
    static CBoundingBox Around(long long x, long long y) { return {x, x, y, y}; }
    // Grows the box until it holds (x, y).
    void Include(long long x, long long y) {
        nMinX = std::min(nMinX, x);
        nMaxX = std::max(nMaxX, x);
        nMinY = std::min(nMinY, y);
        nMaxY = std::max(nMaxY, y);
    }
};

// The screen extents of an empty path, as a paint leaves them: a box turned inside out, which
// the first point included replaces.
constexpr CBoundingBox kNoExtents{kSquareMax, kSquareMin, kSquareMax, kSquareMin};

class CTrackView {
public:
    long long ScreenX(long long x) const { return x / m_nScale + m_nOffsetX; }
    long long ScreenY(long long y) const { return y / m_nScale + m_nOffsetY; }
    bool Contains(long long x, long long y) const;
    bool ExtentsBracketAnchor() const;
    // One pass of the four checks (left, right, top, bottom), each panning or zooming out.
    void FitPass(long long x, long long y, CFitJournal* pJournal = nullptr);
    // The view that repeating FitPass until the point is inside gives, without repeating the
    // passes that only zoom. The extents must bracket the anchor.
    void Fit(long long x, long long y);
    void SetExtents(const CBoundingBox& extents) {
        m_nMinX = extents.nMinX;
        m_nMaxX = extents.nMaxX;
        m_nMinY = extents.nMinY;
        m_nMaxY = extents.nMaxY;
    }

    long long m_nScale = 1;
    // As a paint of an empty path leaves them.
    long long m_nMinY = kSquareMax;
    long long m_nMaxY = kSquareMin;
    long long m_nMinX = kSquareMax;
    long long m_nMaxX = kSquareMin;
    long long m_nOffsetX = 0;
    long long m_nOffsetY = 0;
    long long m_nAnchorX = kTrackOrigin;
    long long m_nAnchorY = kTrackOrigin;

private:
    enum Side { kLeft, kRight, kTop, kBottom };

    void Check(Side side, CFitJournal* pJournal);
    void ZoomOut();
    void Pull(long long CTrackView::*pExtent, long long nCentre, CFitJournal* pJournal);
    void Push(long long CTrackView::*pExtent, long long nCentre, CFitJournal* pJournal);
    void Move(long long CTrackView::*pExtent, long long nCentre, int nSign, CFitJournal* pJournal);
    long long RepeatablePasses(const CTrackView& before, const CFitJournal& journal, long long x,
                               long long y) const;
};
