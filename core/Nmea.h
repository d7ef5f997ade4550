// NMEA-0183 sentences: the XOR checksum, its test and sentence building.
#pragma once

#include <cstdint>
#include <string>

namespace vbase {

// XOR of the bytes in [pBegin, pEnd): the NMEA checksum when given the bytes between
// '$' and '*'.
std::uint8_t ComputeChecksum(const char* pBegin, const char* pEnd);

// True when strLine is "$...*HH" (optionally followed by CR and/or LF) and HH, in
// either case, matches the checksum.
bool HasValidChecksum(const std::string& strLine);

// The two checksum digits of a sentence body (the text between '$' and '*').
std::string ChecksumDigits(const std::string& strBody, bool bLowercase = false);
// "$" + body + "*" + the two checksum digits + CR LF.
std::string Sentence(const std::string& strBody, bool bLowercase = false);

// Appends one sentence "$<address>,<fields>*HH\r\n" to a string without temporaries,
// so that long recordings are generated quickly.
class CSentenceBuilder {
public:
    CSentenceBuilder(std::string& strOut, bool bLowercase);

    CSentenceBuilder& Begin(const char* pszAddress);
    CSentenceBuilder& Text(const char* pszText);
    CSentenceBuilder& Text(const std::string& strText);
    CSentenceBuilder& Empty(int nCount = 1);
    // Zero-padded to nWidth digits.
    CSentenceBuilder& Number(int nValue, int nWidth);
    CSentenceBuilder& Fixed(double dValue, int nDecimals);
    void End();

private:
    void AppendDigits(unsigned nValue, int nWidth);

    std::string& m_strOut;
    std::size_t m_nStart;
    bool m_bLowercase;
};

} // namespace vbase
