#pragma once

#include "Scenario.h"
#include "core/CommandLine.h"

#include <string>
#include <vector>

namespace sim {

enum class EMode { Port, Write, Tcp };

struct SimOptions {
    EMode m_eMode = EMode::Port;
    int m_nPort = 0;
    int m_nBaud = 0;
    int m_nTcpPort = -1; // -1: no TCP server; 0: any free port
    bool m_bUnpaced = false;
    long long m_nEpochs = 0; // 0: until signalled
    std::string m_strFile;
    std::string m_strWrite;
    ScenarioOptions m_scenario;
};

// The command line, its options taking their values into options.
vbase::CommandSpec SimCommand(SimOptions& options);
// Reads the arguments after the program name. On an error strError says what is wrong.
vbase::ECommand ParseOptions(const std::vector<std::string>& vecArgs, SimOptions& options,
                             std::string& strError);

} // namespace sim
