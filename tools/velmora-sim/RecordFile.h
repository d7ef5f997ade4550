#pragma once

#include "Scenario.h"

#include <string>

namespace sim {

// The program records in C text mode: each LF becomes CR LF and NUL bytes are not stored,
// so a sentence ending CR LF on the wire ends CR CR LF in the file.
std::string ToRecordFormat(const std::string& strWire);

// Writes nEpochs generated epochs to strPath in record format.
bool WriteRecording(const std::string& strPath, const ScenarioOptions& options, long long nEpochs,
                    std::string& strError);

} // namespace sim
