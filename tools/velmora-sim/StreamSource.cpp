#include "StreamSource.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace sim {

namespace {

constexpr int kMaxCrInEnding = 2;

} // namespace

std::string NormalizeLineEndings(const std::string& strFile) {
    std::string strWire;
    strWire.reserve(strFile.size());
    int nPendingCr = 0;
    for (char c : strFile) {
        if (c == '\r') {
            if (nPendingCr == kMaxCrInEnding) {
                strWire += '\r';
            } else {
                ++nPendingCr;
            }
            continue;
        }
        if (c == '\n') {
            strWire += "\r\n";
        } else {
            strWire.append(static_cast<std::size_t>(nPendingCr), '\r');
            strWire += c;
        }
        nPendingCr = 0;
    }
    strWire.append(static_cast<std::size_t>(nPendingCr), '\r');
    return strWire;
}

CScenarioSource::CScenarioSource(const ScenarioOptions& options) : m_scenario(options) {}

void CScenarioSource::AppendBlock(std::string& strOut) {
    m_scenario.AppendNextEpoch(strOut);
}

bool CFileSource::Load(const std::string& strPath, std::string& strError) {
    std::ifstream file(strPath, std::ios::binary);
    if (!file) {
        strError = "cannot open " + strPath + ": " + std::strerror(errno);
        return false;
    }
    const std::string strFile{std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>()};
    if (file.bad()) {
        strError = "cannot read " + strPath;
        return false;
    }
    if (strFile.empty()) {
        strError = strPath + " is empty";
        return false;
    }
    m_strContent = NormalizeLineEndings(strFile);
    return true;
}

void CFileSource::AppendBlock(std::string& strOut) {
    strOut += m_strContent;
}

} // namespace sim
