#include "RecordFile.h"

#include "core/LineEndings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

constexpr int kEpochsPerWrite = 256;

std::string DescribeError(const char* pszWhat, const std::string& strPath) {
    return std::string(pszWhat) + " " + strPath + ": " + std::strerror(errno);
}

} // namespace

bool WriteRecording(const std::string& strPath, const ScenarioOptions& options, long long nEpochs,
                    std::string& strError) {
    std::FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (pFile == nullptr) {
        strError = DescribeError("cannot create", strPath);
        return false;
    }
    CScenario scenario(options);
    std::string strWire;
    bool bWritten = true;
    for (long long nDone = 0; nDone < nEpochs && bWritten; nDone += kEpochsPerWrite) {
        strWire.clear();
        for (long long i = nDone; i < nEpochs && i < nDone + kEpochsPerWrite; ++i) {
            scenario.AppendNextEpoch(strWire);
        }
        const std::string strRecord = vbase::RecordFormat(strWire);
        bWritten = std::fwrite(strRecord.data(), 1, strRecord.size(), pFile) == strRecord.size();
    }
    if (!bWritten) {
        strError = DescribeError("cannot write", strPath);
    }
    if (std::fclose(pFile) != 0 && bWritten) {
        strError = DescribeError("cannot write", strPath);
        bWritten = false;
    }
    return bWritten;
}

} // namespace sim
