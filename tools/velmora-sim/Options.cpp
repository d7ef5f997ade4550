#include "Options.h"

#include "PortLink.h"

#include <limits>

namespace sim {

namespace {

constexpr int kMaxPort = 255;

bool TakeBaud(const std::string& strValue, int& nBaud, std::string& strError) {
    unsigned long long nValue = 0;
    speed_t nSpeed = 0;
    if (!vbase::ParseWholeNumber(strValue, 1, 4000000, nValue) ||
        !SpeedFromBaud(static_cast<int>(nValue), nSpeed)) {
        strError = "needs a standard rate such as 4800, 9600, 38400, 115200 or 921600";
        return false;
    }
    nBaud = static_cast<int>(nValue);
    return true;
}

bool CheckWriteMode(const SimOptions& options, std::string& strError) {
    if (options.m_nEpochs == 0) {
        strError = "--write needs --epochs N";
    } else if (options.m_nPort != 0 || options.m_nBaud != 0 || options.m_bUnpaced ||
               !options.m_strFile.empty() || options.m_nTcpPort >= 0) {
        strError = "--write cannot be combined with --port, --tcp, --baud, --unpaced or --file";
    }
    return strError.empty();
}

bool CheckPortMode(const SimOptions& options, bool bGeneratorOptions, std::string& strError) {
    if (options.m_nTcpPort >= 0 && options.m_nPort != 0) {
        strError = "--tcp serves the stream instead of a port: it cannot be combined with --port";
    } else if (options.m_nTcpPort >= 0 && options.m_nBaud == 0) {
        strError = "--tcp needs --baud B, the line speed that paces the stream";
    } else if (options.m_nTcpPort < 0 && (options.m_nPort == 0 || options.m_nBaud == 0)) {
        strError = "--port N and --baud B are required (or --tcp PORT --baud B, or --write FILE "
                   "--epochs N)";
    } else if (!options.m_strFile.empty() && bGeneratorOptions) {
        strError = "--file plays a file: --seed, --gps, --lowercase and --gns do not apply";
    }
    return strError.empty();
}

bool CheckOptions(SimOptions& options, std::string& strError) {
    if (!options.m_strWrite.empty()) {
        options.m_eMode = EMode::Write;
        return CheckWriteMode(options, strError);
    }
    const ScenarioOptions defaults;
    const bool bGeneratorOptions = options.m_scenario.m_nSeed != defaults.m_nSeed ||
                                   options.m_scenario.m_nGps != defaults.m_nGps ||
                                   options.m_scenario.m_bLowercase || options.m_scenario.m_bGns;
    if (options.m_nTcpPort >= 0) {
        options.m_eMode = EMode::Tcp;
    }
    return CheckPortMode(options, bGeneratorOptions, strError);
}

} // namespace

vbase::CommandSpec SimCommand(SimOptions& options) {
    constexpr unsigned long long kMaxSeed = std::numeric_limits<unsigned long long>::max();
    constexpr unsigned long long kMaxEpochs = std::numeric_limits<long long>::max();
    ScenarioOptions& scenario = options.m_scenario;
    return {
        "velmora-sim",
        "usage: velmora-sim --port N --baud B [--seed S] [--gps N] [--lowercase] [--gns]\n"
        "                   [--unpaced] [--file F] [--epochs N]\n"
        "       velmora-sim --tcp PORT --baud B [--seed S] [--gps N] [--lowercase] [--gns]\n"
        "       velmora-sim --write FILE --epochs N [--seed S] [--gps N] [--lowercase] [--gns]\n",
        "Simulates a GPS/GLONASS receiver streaming NMEA-0183 on a pseudo-terminal linked as\n"
        "~/.velmora/ports/comN, at baud/10 bytes per second and one epoch per second.\n"
        "Bytes arrive garbled while the reading program's port speed differs from B.\n",
        {
            {"port", "N", "link the port as comN (1-255)",
             vbase::StoreWholeNumber(options.m_nPort, 1, kMaxPort)},
            {"tcp", "PORT",
             "serve the stream on 127.0.0.1:PORT instead (0: a free port, printed)\n"
             "to every client that connects, each from its start; try it with\n"
             "echo tcp://localhost:PORT > ~/.velmora/ports/comN",
             vbase::StoreWholeNumber(options.m_nTcpPort, 0, 65535)},
            {"baud", "B", "the receiver's line speed (4800, 9600, ..., 115200, ..., 921600)",
             vbase::StoreParsed(options.m_nBaud, TakeBaud)},
            {"seed", "S", "scenario seed (default 1); the same seed gives the same stream",
             vbase::StoreWholeNumber(scenario.m_nSeed, 0, kMaxSeed)},
            {"gps", "N", "GPS satellites in view, 0-16 (default 10)",
             vbase::StoreWholeNumber(scenario.m_nGps, 0, kMaxGpsInView)},
            {"lowercase", nullptr, "write checksum digits in lower case",
             vbase::StoreFlag(scenario.m_bLowercase)},
            {"gns", nullptr, "send GNGNS instead of GPGGA", vbase::StoreFlag(scenario.m_bGns)},
            {"unpaced", nullptr, "send as fast as the reader takes the bytes",
             vbase::StoreFlag(options.m_bUnpaced)},
            {"file", "F", "play a capture or record file, repeating, instead of the scenario",
             vbase::StoreNonEmptyText(options.m_strFile)},
            {"epochs", "N", "stop after N epochs (with --file: N passes through the file)",
             vbase::StoreWholeNumber(options.m_nEpochs, 1, kMaxEpochs)},
            {"write", "FILE", "write N epochs to FILE in record-file format, no port",
             vbase::StoreNonEmptyText(options.m_strWrite)},
        }};
}

vbase::ECommand ParseOptions(const std::vector<std::string>& vecArgs, SimOptions& options,
                             std::string& strError) {
    options = SimOptions();
    const vbase::ECommand eResult = vbase::ParseCommandLine(SimCommand(options), vecArgs, strError);
    if (eResult != vbase::ECommand::Run) {
        return eResult;
    }
    return CheckOptions(options, strError) ? eResult : vbase::ECommand::Error;
}

} // namespace sim
