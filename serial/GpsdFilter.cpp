#include "serial/GpsdFilter.h"

size_t CGpsdFilter::Filter(unsigned char* buf, size_t nBytes, size_t& nSkipped) {
    size_t nKept = 0;
    for (size_t i = 0; i < nBytes; ++i) {
        unsigned char c = buf[i];
        if (m_bAtLineStart)
            m_bInJson = c == '{';
        m_bAtLineStart = c == '\n';
        if (m_bInJson)
            ++nSkipped;
        else
            buf[nKept++] = c;
    }
    return nKept;
}
