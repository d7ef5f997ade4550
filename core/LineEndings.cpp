#include "core/LineEndings.h"

namespace vbase {

namespace {

// A line ending holds at most this many carriage returns before its line feed; more are
// bytes of the line.
constexpr std::size_t kMaxReturnsInEnding = 2;

} // namespace

std::string ReceiverLineEndings(const std::string& strBytes) {
    std::string strWire;
    strWire.reserve(strBytes.size() + strBytes.size() / 32);
    std::size_t nNext = 0;
    while (nNext < strBytes.size()) {
        const std::size_t nFeed = strBytes.find('\n', nNext);
        if (nFeed == std::string::npos) {
            strWire.append(strBytes, nNext, std::string::npos);
            break;
        }
        std::size_t nEnd = nFeed;
        while (nEnd > nNext && nFeed - nEnd < kMaxReturnsInEnding && strBytes[nEnd - 1] == '\r') {
            --nEnd;
        }
        strWire.append(strBytes, nNext, nEnd - nNext);
        strWire += "\r\n";
        nNext = nFeed + 1;
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
