// The track plot's path, drawn once into a kept picture: while the view stays the same each
// paint adds only the steps stored since the one before, so a paint costs the same at a hundred
// thousand steps as at ten. The frame shows exactly what drawing the whole path again would.
#pragma once

#include "platform/Gdi.h"
#include "plots/TrackFit.h"
#include "plots/TrackStep.h"

#include <deque>
#include <memory>
#include <unordered_set>

// Grows without moving what it holds: adding a step never copies a long path.
using TrackSteps = std::deque<std::unique_ptr<CTrackStep>>;

class CTrackPath {
public:
    // Draws the origin marker and the path on the frame, every step in black and the newest in
    // red, and sets the view's extents to the smallest and largest screen ends of the steps.
    void Draw(CDC& dcFrame, int nWidth, int nHeight, CTrackView& view, const TrackSteps& steps);
    // The kept picture no longer counts (the window was initialised again).
    void Forget() { m_bValid = false; }

private:
    bool IsValidFor(const CDC& dcFrame, const CTrackView& view) const;
    void Restart(CDC& dcFrame, int nWidth, int nHeight, const CTrackView& view);
    bool IsDrawn(long long x1, long long y1, long long x2, long long y2);

    struct Segment {
        long long x1, y1, x2, y2;
        bool operator==(const Segment& other) const {
            return x1 == other.x1 && y1 == other.y1 && x2 == other.x2 && y2 == other.y2;
        }
    };
    struct SegmentHash {
        size_t operator()(const Segment& s) const;
    };

    CDC m_dc;
    CBitmap m_bmp;
    bool m_bValid = false;
    bool m_bMarker = false;
    // The view the kept picture was drawn in.
    long long m_nScale = 0;
    long long m_nOffsetX = 0;
    long long m_nOffsetY = 0;
    // The steps it holds, the track point where they end and their screen extents.
    size_t m_nSteps = 0;
    long long m_nX = kTrackOrigin;
    long long m_nY = kTrackOrigin;
    CBoundingBox m_extents = kNoExtents;
    // Long segments already in the kept picture, all black: a path that goes back and forth
    // draws each of them once.
    std::unordered_set<Segment, SegmentHash> m_drawn;
};
