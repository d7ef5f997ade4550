#pragma once

#include "Constellation.h"

#include <string>
#include <vector>

namespace sim {

// Everything a receiver reports for one epoch.
struct EpochReport {
    std::string m_strTime;
    std::string m_strDate;
    bool m_bFix;
    double m_dLatitude;
    double m_dLongitude;
    double m_dAltitude;
    double m_dSpeedKmh;
    double m_dCourse;
    double m_dPdop;
    double m_dHdop;
    double m_dVdop;
    std::vector<SatelliteView> m_vecGps;
    std::vector<SatelliteView> m_vecGlonass;
    std::vector<int> m_vecGpsUsed;
    std::vector<int> m_vecGlonassUsed;
};

// Appends the epoch's sentences in receiver order: GGA (or GNS), GPS GSA, GLONASS GSA,
// GPS GSV messages, GLONASS GSV messages, RMC, VTG.
void AppendEpochSentences(std::string& strOut, const EpochReport& report, bool bGns,
                          bool bLowercase);

// "ddmm.mmmm" and "dddmm.mmmm" of the absolute value of an angle in degrees.
std::string FormatLatitude(double dDegrees);
std::string FormatLongitude(double dDegrees);

} // namespace sim
