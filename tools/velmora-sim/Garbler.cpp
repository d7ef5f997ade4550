#include "Garbler.h"

#include "Random.h"

namespace sim {

namespace {

unsigned char GarbleByte(unsigned char nByte, std::uint64_t nPosition) {
    const std::uint32_t nMix = MixBits(nByte, nPosition);
    const unsigned nNoise = nMix & 0xFF;
    const unsigned nKind = (nMix >> 8) % 16;
    unsigned nOut = 0;
    if (nKind < 3) {
        nOut = 0x00; // line held low for a whole frame
    } else if (nKind < 6) {
        nOut = 0xE0 | (nNoise & 0x1F); // start bit seen late: the high bits read as ones
    } else {
        nOut = ((nByte * 0x1DU) ^ nNoise) & 0xFF;
    }
    if (nOut >= 0x20 && nOut < 0x7F) {
        nOut |= 0x80;
    } else if (nOut == '\n') {
        nOut = 0x8A;
    }
    return static_cast<unsigned char>(nOut);
}

} // namespace

void GarbleBytes(char* pData, std::size_t nSize, std::uint64_t nStreamPosition) {
    for (std::size_t i = 0; i < nSize; ++i) {
        const auto nByte = static_cast<unsigned char>(pData[i]);
        pData[i] = static_cast<char>(GarbleByte(nByte, nStreamPosition + i));
    }
}

} // namespace sim
