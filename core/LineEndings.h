// The line endings of NMEA byte streams: on the wire, in logs and in record files.
#pragma once

#include <string>

namespace vbase {

// The bytes as a receiver sends them: every line ending (LF, CR LF or CR CR LF, as logs are
// saved) becomes CR LF; every other byte, a lone CR included, stays as it is.
std::string ReceiverLineEndings(const std::string& strBytes);

// The bytes as the program's record file stores them: it records in C text mode, so each LF
// becomes CR LF (a sentence ending CR LF on the wire ends CR CR LF in the file) and NUL bytes
// are not stored.
std::string RecordFormat(const std::string& strWire);

} // namespace vbase
