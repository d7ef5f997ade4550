#pragma once

#include "Random.h"

#include <cstdint>
#include <vector>

namespace sim {

// One satellite as a GSV sentence reports it.
struct SatelliteView {
    int m_nPrn;
    int m_nElevation;
    int m_nAzimuth;
    int m_nSnr; // -1: not tracked, the SNR field is left empty
};

// Epochs during which an optional satellite is in view: m_nLength epochs from m_nFirst,
// repeating every m_nPeriod epochs.
struct PeriodicWindow {
    int m_nFirst;
    int m_nPeriod;
    int m_nLength;
};

// The satellites of one system in view of the receiver. Permanent slots always hold a
// satellite (one rises as another sets); optional slots hold one only during their window,
// which makes the in-view count vary.
class CConstellation {
public:
    CConstellation(int nFirstPrn, int nLastPrn, std::uint64_t nSeed);

    void AddPermanentSlots(int nCount);
    void AddOptionalSlot(const PeriodicWindow& window);
    // Brings the slots to epoch nEpoch; epochs must not go backwards.
    void Advance(int nEpoch);
    // Satellites in view at nEpoch sorted by PRN; bBlocked drops every signal.
    std::vector<SatelliteView> View(int nEpoch, bool bBlocked) const;

private:
    struct SatellitePass {
        int m_nPrn;
        int m_nAcquired; // first epoch with a signal
        int m_nSnrBias;
        double m_dStart;
        double m_dDuration;
        double m_dPeak;
        double m_dAzimuth;
        double m_dSweep;
    };
    struct Slot {
        bool m_bPermanent;
        bool m_bVisible;
        PeriodicWindow m_window;
        SatellitePass m_pass;
    };

    SatellitePass CreatePass(double dStart, double dDuration, double dPeak, int nEpoch);
    int PickFreePrn();
    void AdvanceOptional(Slot& slot, int nEpoch);
    static SatelliteView Observe(const SatellitePass& pass, int nEpoch, bool bBlocked);

    CRandom m_random;
    int m_nFirstPrn;
    int m_nLastPrn;
    std::vector<Slot> m_vecSlots;
};

} // namespace sim
