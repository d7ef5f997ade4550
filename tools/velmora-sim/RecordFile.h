#pragma once

#include "Scenario.h"

#include <string>

namespace sim {

// Writes nEpochs generated epochs to strPath in record format.
bool WriteRecording(const std::string& strPath, const ScenarioOptions& options, long long nEpochs,
                    std::string& strError);

} // namespace sim
