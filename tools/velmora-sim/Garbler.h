#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

// Replaces nSize bytes, which start at nStreamPosition of the stream, by what a UART set to
// another speed makes of them: breaks read as NUL, framing errors as bytes with the high
// bits set, the rest as scrambled bits. The junk depends only on the bytes and their
// position, so runs are reproducible. It never holds a printable byte nor a line feed: no
// '$' starts a sentence and no line ever ends, so none of it can pass for a valid sentence.
void GarbleBytes(char* pData, std::size_t nSize, std::uint64_t nStreamPosition);

} // namespace sim
