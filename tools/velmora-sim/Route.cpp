#include "Route.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthRadius = 6371000.0;
constexpr double kHomeRadius = 15000.0;
constexpr double kMaxTurnRate = 2.5;  // degrees per second
constexpr double kAcceleration = 0.8; // km/h per second

double Radians(double dDegrees) {
    return dDegrees * kPi / 180.0;
}

double NormalizeCourse(double dCourse) {
    dCourse = std::fmod(dCourse, 360.0);
    return dCourse < 0.0 ? dCourse + 360.0 : dCourse;
}

double BearingDegrees(double dLatitudeA, double dLongitudeA, double dLatitudeB,
                      double dLongitudeB) {
    const double dLatA = Radians(dLatitudeA);
    const double dLatB = Radians(dLatitudeB);
    const double dDeltaLon = Radians(dLongitudeB - dLongitudeA);
    const double dY = std::sin(dDeltaLon) * std::cos(dLatB);
    const double dX =
        std::cos(dLatA) * std::sin(dLatB) - std::sin(dLatA) * std::cos(dLatB) * std::cos(dDeltaLon);
    return NormalizeCourse(std::atan2(dY, dX) * 180.0 / kPi);
}

} // namespace

double DistanceMetres(double dLatitudeA, double dLongitudeA, double dLatitudeB,
                      double dLongitudeB) {
    const double dDeltaLat = Radians(dLatitudeB - dLatitudeA);
    const double dDeltaLon = Radians(dLongitudeB - dLongitudeA);
    const double dHav = std::sin(dDeltaLat / 2) * std::sin(dDeltaLat / 2) +
                        std::cos(Radians(dLatitudeA)) * std::cos(Radians(dLatitudeB)) *
                            std::sin(dDeltaLon / 2) * std::sin(dDeltaLon / 2);
    return 2.0 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(dHav)));
}

CRoute::CRoute(double dLatitude, double dLongitude, std::uint64_t nSeed)
    : m_random(nSeed), m_dHomeLatitude(dLatitude), m_dHomeLongitude(dLongitude),
      m_dLatitude(dLatitude), m_dLongitude(dLongitude), m_dSpeedKmh(0.0), m_dTargetSpeedKmh(0.0),
      m_dCourse(0.0), m_dTurnRate(0.0), m_dAltitude(0.0), m_nManoeuvreLeft(0),
      m_bHeadingHome(false) {
    m_dSpeedKmh = m_random.NextReal(30.0, 60.0);
    m_dTargetSpeedKmh = m_dSpeedKmh;
    m_dCourse = m_random.NextReal(0.0, 360.0);
    m_dAltitude = m_random.NextReal(40.0, 55.0);
}

void CRoute::Advance() {
    if (--m_nManoeuvreLeft <= 0) {
        ChooseManoeuvre();
    }
    if (m_bHeadingHome) {
        SteerHome();
    }
    m_dCourse = NormalizeCourse(m_dCourse + m_dTurnRate);
    const double dStep = std::clamp(m_dTargetSpeedKmh - m_dSpeedKmh, -kAcceleration, kAcceleration);
    m_dSpeedKmh = std::clamp(m_dSpeedKmh + dStep, 30.0, 60.0);

    const double dMetres = m_dSpeedKmh / 3.6;
    const double dCourse = Radians(m_dCourse);
    m_dLatitude += dMetres * std::cos(dCourse) / kEarthRadius * 180.0 / kPi;
    m_dLongitude +=
        dMetres * std::sin(dCourse) / (kEarthRadius * std::cos(Radians(m_dLatitude))) * 180.0 / kPi;
    m_dAltitude = std::clamp(m_dAltitude + m_random.NextReal(-0.1, 0.1), 35.0, 65.0);
}

void CRoute::ChooseManoeuvre() {
    m_dTargetSpeedKmh = m_random.NextReal(30.0, 60.0);
    m_bHeadingHome = DistanceFromHome() > kHomeRadius;
    if (m_random.NextChance(0.3)) {
        // A bend in the road or a turn at a crossing, taken over several seconds.
        const double dRate = m_random.NextReal(0.8, kMaxTurnRate);
        m_dTurnRate = m_random.NextChance(0.5) ? dRate : -dRate;
        m_nManoeuvreLeft = m_random.NextInt(8, 30);
    } else {
        m_dTurnRate = m_random.NextReal(-0.2, 0.2);
        m_nManoeuvreLeft = m_random.NextInt(20, 120);
    }
}

void CRoute::SteerHome() {
    const double dBearing =
        BearingDegrees(m_dLatitude, m_dLongitude, m_dHomeLatitude, m_dHomeLongitude);
    const double dError = NormalizeCourse(dBearing - m_dCourse + 180.0) - 180.0;
    m_dTurnRate = std::clamp(dError * 0.1, -kMaxTurnRate, kMaxTurnRate);
}

double CRoute::DistanceFromHome() const {
    return DistanceMetres(m_dLatitude, m_dLongitude, m_dHomeLatitude, m_dHomeLongitude);
}

} // namespace sim
