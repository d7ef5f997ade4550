#include "core/Nmea.h"

#include <cstdio>

namespace vbase {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

const char* HexDigits(bool bLowercase) {
    return bLowercase ? "0123456789abcdef" : "0123456789ABCDEF";
}

std::size_t TrimLineEnd(const std::string& strLine) {
    std::size_t nEnd = strLine.size();
    while (nEnd > 0 && (strLine[nEnd - 1] == '\r' || strLine[nEnd - 1] == '\n')) {
        --nEnd;
    }
    return nEnd;
}

} // namespace

std::uint8_t ComputeChecksum(const char* pBegin, const char* pEnd) {
    std::uint8_t nSum = 0;
    for (const char* p = pBegin; p != pEnd; ++p) {
        nSum ^= static_cast<std::uint8_t>(*p);
    }
    return nSum;
}

bool HasValidChecksum(const std::string& strLine) {
    const std::size_t nEnd = TrimLineEnd(strLine);
    if (nEnd < 4 || strLine[0] != '$' || strLine[nEnd - 3] != '*') {
        return false;
    }
    const int nHigh = HexValue(strLine[nEnd - 2]);
    const int nLow = HexValue(strLine[nEnd - 1]);
    if (nHigh < 0 || nLow < 0) {
        return false;
    }
    const char* pData = strLine.data();
    return ComputeChecksum(pData + 1, pData + nEnd - 3) == nHigh * 16 + nLow;
}

std::string ChecksumDigits(const std::string& strBody, bool bLowercase) {
    const std::uint8_t nSum = ComputeChecksum(strBody.data(), strBody.data() + strBody.size());
    const char* pszDigits = HexDigits(bLowercase);
    return {pszDigits[nSum >> 4], pszDigits[nSum & 0x0F]};
}

std::string Sentence(const std::string& strBody, bool bLowercase) {
    return "$" + strBody + "*" + ChecksumDigits(strBody, bLowercase) + "\r\n";
}

CSentenceBuilder::CSentenceBuilder(std::string& strOut, bool bLowercase)
    : m_strOut(strOut), m_nStart(strOut.size()), m_bLowercase(bLowercase) {}

CSentenceBuilder& CSentenceBuilder::Begin(const char* pszAddress) {
    m_nStart = m_strOut.size();
    m_strOut += '$';
    m_strOut += pszAddress;
    return *this;
}

CSentenceBuilder& CSentenceBuilder::Text(const char* pszText) {
    m_strOut += ',';
    m_strOut += pszText;
    return *this;
}

CSentenceBuilder& CSentenceBuilder::Text(const std::string& strText) {
    return Text(strText.c_str());
}

CSentenceBuilder& CSentenceBuilder::Empty(int nCount) {
    m_strOut.append(static_cast<std::size_t>(nCount), ',');
    return *this;
}

CSentenceBuilder& CSentenceBuilder::Number(int nValue, int nWidth) {
    m_strOut += ',';
    if (nValue < 0) {
        m_strOut += '-';
        nValue = -nValue;
    }
    AppendDigits(static_cast<unsigned>(nValue), nWidth);
    return *this;
}

CSentenceBuilder& CSentenceBuilder::Fixed(double dValue, int nDecimals) {
    char szBuffer[32];
    std::snprintf(szBuffer, sizeof szBuffer, "%.*f", nDecimals, dValue);
    return Text(szBuffer);
}

void CSentenceBuilder::End() {
    const char* pData = m_strOut.data();
    const std::uint8_t nSum = ComputeChecksum(pData + m_nStart + 1, pData + m_strOut.size());
    const char* pszDigits = HexDigits(m_bLowercase);
    m_strOut += '*';
    m_strOut += pszDigits[nSum >> 4];
    m_strOut += pszDigits[nSum & 0x0F];
    m_strOut += "\r\n";
}

void CSentenceBuilder::AppendDigits(unsigned nValue, int nWidth) {
    char szDigits[16];
    int nCount = 0;
    do {
        szDigits[nCount++] = static_cast<char>('0' + nValue % 10);
        nValue /= 10;
    } while (nValue != 0 && nCount < 15);
    for (int i = nCount; i < nWidth; ++i) {
        m_strOut += '0';
    }
    while (nCount > 0) {
        m_strOut += szDigits[--nCount];
    }
}

} // namespace vbase
