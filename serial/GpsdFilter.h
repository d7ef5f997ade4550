// gpsd answers in JSON lines and sends the receiver's NMEA sentences between them: only the
// sentences are the receiver's bytes.
#pragma once

#include <cstddef>

class CGpsdFilter {
public:
    // Keeps, in place at the front of buf, the bytes of lines that are not JSON (a JSON line
    // begins with '{'); returns how many were kept and adds the dropped ones to nSkipped.
    size_t Filter(unsigned char* buf, size_t nBytes, size_t& nSkipped);
    void Reset() { *this = CGpsdFilter(); }

private:
    bool m_bAtLineStart = true;
    bool m_bInJson = false;
};
