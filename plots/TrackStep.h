// One stored step of the track: whole metres east and north since the previous fix.
#pragma once

class CTrackStep {
public:
    CTrackStep(int nDx, int nDy) : m_nDx(nDx), m_nDy(nDy) {}
    virtual ~CTrackStep() = default;

    int m_nDx;
    int m_nDy;
};
