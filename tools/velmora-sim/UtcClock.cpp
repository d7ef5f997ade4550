#include "UtcClock.h"

#include <cstdio>

namespace sim {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDiv(std::int64_t nValue, std::int64_t nDivisor) {
    const std::int64_t nQuotient = nValue / nDivisor;
    return (nValue % nDivisor < 0) ? nQuotient - 1 : nQuotient;
}

} // namespace

// Era-based conversion: exact for every date, no tables.
std::int64_t DaysFromCivil(int nYear, int nMonth, int nDay) {
    const std::int64_t nShifted = nMonth <= 2 ? nYear - 1 : nYear;
    const std::int64_t nEra = FloorDiv(nShifted, 400);
    const std::int64_t nYearOfEra = nShifted - nEra * 400;
    const std::int64_t nDayOfYear = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
    const std::int64_t nDayOfEra =
        nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
    return nEra * 146097 + nDayOfEra - 719468;
}

void CivilFromDays(std::int64_t nDays, int& nYear, int& nMonth, int& nDay) {
    nDays += 719468;
    const std::int64_t nEra = FloorDiv(nDays, 146097);
    const std::int64_t nDayOfEra = nDays - nEra * 146097;
    const std::int64_t nYearOfEra =
        (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
    const std::int64_t nDayOfYear =
        nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
    const std::int64_t nMonthIndex = (5 * nDayOfYear + 2) / 153;
    nDay = static_cast<int>(nDayOfYear - (153 * nMonthIndex + 2) / 5 + 1);
    nMonth = static_cast<int>(nMonthIndex < 10 ? nMonthIndex + 3 : nMonthIndex - 9);
    nYear = static_cast<int>(nYearOfEra + nEra * 400 + (nMonth <= 2 ? 1 : 0));
}

CUtcClock::CUtcClock(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond)
    : m_nSeconds(DaysFromCivil(nYear, nMonth, nDay) * kSecondsPerDay + nHour * 3600 + nMinute * 60 +
                 nSecond) {}

void CUtcClock::Advance(int nSeconds) {
    m_nSeconds += nSeconds;
}

std::string CUtcClock::FormatTime() const {
    const std::int64_t nOfDay = m_nSeconds - FloorDiv(m_nSeconds, kSecondsPerDay) * kSecondsPerDay;
    char szBuffer[16];
    std::snprintf(szBuffer, sizeof szBuffer, "%02d%02d%02d.00", static_cast<int>(nOfDay / 3600),
                  static_cast<int>(nOfDay / 60 % 60), static_cast<int>(nOfDay % 60));
    return szBuffer;
}

std::string CUtcClock::FormatDate() const {
    int nYear = 0;
    int nMonth = 0;
    int nDay = 0;
    CivilFromDays(FloorDiv(m_nSeconds, kSecondsPerDay), nYear, nMonth, nDay);
    char szBuffer[16];
    std::snprintf(szBuffer, sizeof szBuffer, "%02d%02d%02d", nDay, nMonth, nYear % 100);
    return szBuffer;
}

} // namespace sim
