#pragma once

#include "Random.h"

#include <cstdint>

namespace sim {

// A vehicle driving through town: speed between 30 and 60 km/h, gentle bends, and a pull
// back towards the start so that day-long runs stay near it.
class CRoute {
public:
    CRoute(double dLatitude, double dLongitude, std::uint64_t nSeed);

    // Moves the vehicle by one second.
    void Advance();

    double Latitude() const { return m_dLatitude; }
    double Longitude() const { return m_dLongitude; }
    double SpeedKmh() const { return m_dSpeedKmh; }
    double Course() const { return m_dCourse; }
    double Altitude() const { return m_dAltitude; }

private:
    void ChooseManoeuvre();
    void SteerHome();
    double DistanceFromHome() const;

    CRandom m_random;
    double m_dHomeLatitude;
    double m_dHomeLongitude;
    double m_dLatitude;
    double m_dLongitude;
    double m_dSpeedKmh;
    double m_dTargetSpeedKmh;
    double m_dCourse;
    double m_dTurnRate;
    double m_dAltitude;
    int m_nManoeuvreLeft;
    bool m_bHeadingHome;
};

// Great-circle distance in metres.
double DistanceMetres(double dLatitudeA, double dLongitudeA, double dLatitudeB, double dLongitudeB);

} // namespace sim
