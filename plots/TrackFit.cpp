// The view fit of the track plot window, and the shortcut that makes it cost the same for a jump
// across the world as for a step down the street.
#include "plots/TrackFit.h"

#include <algorithm>
#include <limits>

// What one pass did: the checks that acted and every extent move, in order.
struct CFitJournal {
    struct Check {
        int nSide;
        bool bPan;
        long long nScale;    // when the check tested the point
        long long nOpposite; // the extent that chose between pan and zoom, at that moment
    };
    struct Move {
        long long CTrackView::*pExtent;
        long long nCentre;
        long long nScale;
        long long nBefore;
    };
    Check checks[4];
    int nChecks = 0;
    Move moves[12];
    int nMoves = 0;
};

namespace {

using Wide = __int128;

constexpr long long CTrackView::*kExtents[] = {&CTrackView::m_nMinX, &CTrackView::m_nMaxX,
                                               &CTrackView::m_nMinY, &CTrackView::m_nMaxY};

bool InSquare(long long v) {
    return v >= kSquareMin && v <= kSquareMax;
}

// The largest pass index j, counted from a pass already made (j = 0), up to which a condition
// a + b * j >= 0 that holds at j = 0 still holds.
class CPassLimit {
public:
    void Keep(Wide a, Wide b) {
        if (b < 0)
            m_nPasses = std::min<Wide>(m_nPasses, a / -b);
    }
    void AtMost(Wide nPasses) { m_nPasses = std::min(m_nPasses, nPasses); }
    long long Passes() const { return static_cast<long long>(m_nPasses); }

private:
    Wide m_nPasses = std::numeric_limits<long long>::max();
};

// A move's quotient trunc(x / s) stays q while x and s change by dx and ds per pass.
void KeepQuotient(CPassLimit& limit, Wide x, Wide dx, Wide s, Wide ds) {
    Wide q = x / s;
    if (q > 0) {
        limit.Keep(x - q * s, dx - q * ds);
        limit.Keep((q + 1) * s - x - 1, (q + 1) * ds - dx);
    } else if (q < 0) {
        limit.Keep(x - (q - 1) * s - 1, dx - (q - 1) * ds);
        limit.Keep(q * s - x, q * ds - dx);
    } else {
        limit.Keep(x + s - 1, dx + ds);
        limit.Keep(s - x - 1, ds - dx);
    }
}

} // namespace

bool CTrackView::Contains(long long x, long long y) const {
    return InSquare(ScreenX(x)) && InSquare(ScreenY(y));
}

bool CTrackView::ExtentsBracketAnchor() const {
    return m_nMinX <= m_nAnchorX && m_nAnchorX <= m_nMaxX && m_nMinY <= m_nAnchorY &&
           m_nAnchorY <= m_nMaxY;
}

void CTrackView::FitPass(long long x, long long y, CFitJournal* pJournal) {
    // Each check tests the point afresh, with the view the checks before it left.
    if (ScreenX(x) < kSquareMin)
        Check(kLeft, pJournal);
    if (ScreenX(x) > kSquareMax)
        Check(kRight, pJournal);
    if (ScreenY(y) < kSquareMin)
        Check(kTop, pJournal);
    if (ScreenY(y) > kSquareMax)
        Check(kBottom, pJournal);
}

// A check pans when the extent on the opposite side leaves room, so that extent lands on the
// opposite edge, and zooms out otherwise; then it moves the other extents by its own rules.
void CTrackView::Check(Side side, CFitJournal* pJournal) {
    const bool bX = side == kLeft || side == kRight;
    const bool bToMax = side == kLeft || side == kTop;
    long long& nOpposite = side == kLeft    ? m_nMaxX
                           : side == kRight ? m_nMinX
                           : side == kTop   ? m_nMaxY
                                            : m_nMinY;
    const long long nEdge = bToMax ? kSquareMax : kSquareMin;
    const bool bPan = bToMax ? nOpposite < nEdge : nOpposite > nEdge;
    if (pJournal)
        pJournal->checks[pJournal->nChecks++] = {side, bPan, m_nScale, nOpposite};
    if (bPan) {
        long long& nAnchor = bX ? m_nAnchorX : m_nAnchorY;
        nAnchor += nEdge - nOpposite;
        (bX ? m_nOffsetX : m_nOffsetY) = nAnchor - kTrackOrigin / m_nScale;
        nOpposite = nEdge;
    } else {
        ZoomOut();
    }
    switch (side) {
    case kLeft:
        Pull(&CTrackView::m_nMinX, m_nAnchorX, pJournal);
        Pull(&CTrackView::m_nMaxY, m_nAnchorY, pJournal);
        Pull(&CTrackView::m_nMinY, m_nAnchorY, pJournal);
        break;
    case kRight:
        Pull(&CTrackView::m_nMaxX, m_nAnchorX, pJournal);
        Pull(&CTrackView::m_nMaxY, m_nAnchorY, pJournal);
        Pull(&CTrackView::m_nMinY, m_nAnchorY, pJournal);
        break;
    case kTop:
        Pull(&CTrackView::m_nMinX, m_nAnchorX, pJournal);
        Pull(&CTrackView::m_nMinY, m_nAnchorY, pJournal);
        if (bPan)
            Push(&CTrackView::m_nMaxX, m_nAnchorX, pJournal);
        else
            Pull(&CTrackView::m_nMaxX, m_nAnchorX, pJournal);
        break;
    case kBottom:
        Pull(&CTrackView::m_nMinX, m_nAnchorX, pJournal);
        Pull(&CTrackView::m_nMaxY, m_nAnchorY, pJournal);
        Push(&CTrackView::m_nMaxX, m_nAnchorX, pJournal);
        break;
    }
}

void CTrackView::ZoomOut() {
    // The origin stays on the anchor's pixel and the picture draws toward it.
    ++m_nScale;
    m_nOffsetX = m_nAnchorX - kTrackOrigin / m_nScale;
    m_nOffsetY = m_nAnchorY - kTrackOrigin / m_nScale;
}

void CTrackView::Pull(long long CTrackView::*pExtent, long long nCentre, CFitJournal* pJournal) {
    Move(pExtent, nCentre, 1, pJournal);
}

void CTrackView::Push(long long CTrackView::*pExtent, long long nCentre, CFitJournal* pJournal) {
    Move(pExtent, nCentre, -1, pJournal);
}

void CTrackView::Move(long long CTrackView::*pExtent, long long nCentre, int nSign,
                      CFitJournal* pJournal) {
    long long& v = this->*pExtent;
    if (pJournal)
        pJournal->moves[pJournal->nMoves++] = {pExtent, nCentre, m_nScale, v};
    v += nSign * ((nCentre - v) / m_nScale);
}

void CTrackView::Fit(long long x, long long y) {
    while (!Contains(x, y)) {
        const CTrackView before = *this;
        CFitJournal journal;
        FitPass(x, y, &journal);
        long long nPasses = RepeatablePasses(before, journal, x, y);
        if (nPasses == 0)
            continue;
        m_nScale += (m_nScale - before.m_nScale) * nPasses;
        for (long long CTrackView::*pExtent : kExtents)
            this->*pExtent += (this->*pExtent - before.*pExtent) * nPasses;
        m_nOffsetX = m_nAnchorX - kTrackOrigin / m_nScale;
        m_nOffsetY = m_nAnchorY - kTrackOrigin / m_nScale;
    }
}

// How many more passes would do exactly what the one just made did: zoom out on the same sides
// and move every extent by the same amount. Zero where that is not certain.
long long CTrackView::RepeatablePasses(const CTrackView& before, const CFitJournal& journal,
                                       long long x, long long y) const {
    // Above this scale 210 / S is 0, so the offsets stop changing with it; around an anchor
    // inside the square the point then only moves toward it, and a side it is not outside of
    // stays so.
    if (before.m_nScale <= kTrackOrigin || !InSquare(m_nAnchorX) || !InSquare(m_nAnchorY))
        return 0;
    const long long nZooms = m_nScale - before.m_nScale;
    auto delta = [&](long long CTrackView::*pExtent) { return this->*pExtent - before.*pExtent; };
    CPassLimit limit;
    for (int i = 0; i < journal.nChecks; ++i) {
        const CFitJournal::Check& check = journal.checks[i];
        if (check.bPan)
            return 0;
        // The point stays outside this side up to the largest scale with |trunc(v / S)| >= t.
        long long v = 0, t = 0, CTrackView::*pOpposite = nullptr;
        switch (check.nSide) {
        case kLeft:
            v = -x, t = m_nAnchorX - (kSquareMin - 1), pOpposite = &CTrackView::m_nMaxX;
            break;
        case kRight:
            v = x, t = kSquareMax + 1 - m_nAnchorX, pOpposite = &CTrackView::m_nMinX;
            break;
        case kTop:
            v = -y, t = m_nAnchorY - (kSquareMin - 1), pOpposite = &CTrackView::m_nMaxY;
            break;
        case kBottom:
            v = y, t = kSquareMax + 1 - m_nAnchorY, pOpposite = &CTrackView::m_nMinY;
            break;
        }
        limit.AtMost((Wide(v / t) - check.nScale) / nZooms);
        // The opposite extent keeps asking for a zoom.
        if (check.nSide == kLeft || check.nSide == kTop)
            limit.Keep(Wide(check.nOpposite) - kSquareMax, delta(pOpposite));
        else
            limit.Keep(Wide(kSquareMin) - check.nOpposite, -Wide(delta(pOpposite)));
    }
    // Every move, pull or push, keeps its quotient (centre - extent) / S: the extent changes by
    // the same amount in every pass, and S at the move by the number of zooms.
    for (int i = 0; i < journal.nMoves; ++i) {
        const CFitJournal::Move& move = journal.moves[i];
        KeepQuotient(limit, Wide(move.nCentre) - move.nBefore, -Wide(delta(move.pExtent)),
                     move.nScale, nZooms);
    }
    return limit.Passes();
}
