#include "core/LineEndings.h"

namespace vbase {

namespace {

// A line feed after at most this many carriage returns ends a line.
constexpr std::size_t kMaxReturnsInEnding = 2;

} // namespace

std::string ReceiverLineEndings(const std::string& strBytes) {
    std::string strWire;
    strWire.reserve(strBytes.size() + strBytes.size() / 32);
    std::size_t nNext = 0;
    while (nNext < strBytes.size()) {
        std::size_t nEnd = strBytes.find_first_of("\r\n", nNext);
        if (nEnd == std::string::npos) {
            nEnd = strBytes.size();
        }
        strWire.append(strBytes, nNext, nEnd - nNext);
        const std::size_t nFeed = strBytes.find_first_not_of('\r', nEnd);
        const std::size_t nReturns = (nFeed == std::string::npos ? strBytes.size() : nFeed) - nEnd;
        if (nFeed != std::string::npos && strBytes[nFeed] == '\n') {
            strWire.append(nReturns > kMaxReturnsInEnding ? nReturns - kMaxReturnsInEnding : 0,
                           '\r');
            strWire += "\r\n";
            nNext = nFeed + 1;
        } else {
            strWire.append(nReturns, '\r');
            nNext = nEnd + nReturns;
        }
    }
    return strWire;
}

std::string RecordFormat(const std::string& strWire) {
    std::string strRecord;
    strRecord.reserve(strWire.size() + strWire.size() / 16);
    for (const char c : strWire) {
        if (c == '\n') {
            strRecord += '\r';
        }
        if (c != '\0') {
            strRecord += c;
        }
    }
    return strRecord;
}

} // namespace vbase
