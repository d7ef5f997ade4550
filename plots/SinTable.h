// The sine of whole degrees 0-90 as both plot windows use it: two-decimal values (three for
// 1-3 degrees), not the exactly rounded sine. Positions are computed from these values.
#pragma once

constexpr int kSinTableSize = 91;
extern const double kSinTable[kSinTableSize];
