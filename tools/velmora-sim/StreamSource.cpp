#include "StreamSource.h"

#include "core/LineEndings.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace sim {

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
    m_strContent = vbase::ReceiverLineEndings(strFile);
    return true;
}

void CFileSource::AppendBlock(std::string& strOut) {
    strOut += m_strContent;
}

} // namespace sim
