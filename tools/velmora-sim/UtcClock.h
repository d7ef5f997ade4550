#pragma once

#include <cstdint>
#include <string>

namespace sim {

// UTC time of the simulated receiver, in whole seconds since 1970-01-01.
class CUtcClock {
public:
    CUtcClock(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond);

    void Advance(int nSeconds = 1);
    // "hhmmss.00" as receivers report the time of an epoch.
    std::string FormatTime() const;
    // "ddmmyy" as RMC reports the date.
    std::string FormatDate() const;

private:
    std::int64_t m_nSeconds;
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(int nYear, int nMonth, int nDay);
void CivilFromDays(std::int64_t nDays, int& nYear, int& nMonth, int& nDay);

} // namespace sim
