#include "Options.h"

#include "PortLink.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace sim {

namespace {

constexpr int kMaxPort = 255;

// Whole decimal number in [nLow, nHigh], nothing else in the text.
bool ParseWhole(const std::string& strText, unsigned long long nLow, unsigned long long nHigh,
                unsigned long long& nValue) {
    if (strText.empty() || strText.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    errno = 0;
    nValue = std::strtoull(strText.c_str(), nullptr, 10);
    return errno == 0 && nValue >= nLow && nValue <= nHigh;
}

class COptionReader {
public:
    COptionReader(const std::vector<std::string>& vecArgs, SimOptions& options)
        : m_vecArgs(vecArgs), m_options(options) {}

    bool Read(std::string& strError);

private:
    bool ReadOne(const std::string& strName, std::string& strError);
    bool TakeValue(const std::string& strName, std::string& strValue, std::string& strError);
    bool TakeNumber(const std::string& strName, unsigned long long nLow, unsigned long long nHigh,
                    unsigned long long& nValue, std::string& strError);

    const std::vector<std::string>& m_vecArgs;
    SimOptions& m_options;
    std::size_t m_nNext = 0;
};

bool COptionReader::Read(std::string& strError) {
    while (m_nNext < m_vecArgs.size()) {
        if (!ReadOne(m_vecArgs[m_nNext++], strError)) {
            return false;
        }
    }
    return true;
}

bool COptionReader::ReadOne(const std::string& strName, std::string& strError) {
    unsigned long long nValue = 0;
    if (strName == "--help" || strName == "-h") {
        m_options.m_eMode = EMode::Help;
    } else if (strName == "--lowercase") {
        m_options.m_scenario.m_bLowercase = true;
    } else if (strName == "--gns") {
        m_options.m_scenario.m_bGns = true;
    } else if (strName == "--unpaced") {
        m_options.m_bUnpaced = true;
    } else if (strName == "--file") {
        return TakeValue(strName, m_options.m_strFile, strError);
    } else if (strName == "--write") {
        return TakeValue(strName, m_options.m_strWrite, strError);
    } else if (strName == "--port") {
        if (!TakeNumber(strName, 1, kMaxPort, nValue, strError)) {
            return false;
        }
        m_options.m_nPort = static_cast<int>(nValue);
    } else if (strName == "--tcp") {
        if (!TakeNumber(strName, 0, 65535, nValue, strError)) {
            return false;
        }
        m_options.m_nTcpPort = static_cast<int>(nValue);
    } else if (strName == "--baud") {
        speed_t nSpeed = 0;
        if (!TakeNumber(strName, 1, 4000000, nValue, strError) ||
            !SpeedFromBaud(static_cast<int>(nValue), nSpeed)) {
            strError = "--baud needs a standard rate such as 4800, 9600, 38400, 115200 or 921600";
            return false;
        }
        m_options.m_nBaud = static_cast<int>(nValue);
    } else if (strName == "--seed") {
        if (!TakeNumber(strName, 0, std::numeric_limits<unsigned long long>::max(), nValue,
                        strError)) {
            return false;
        }
        m_options.m_scenario.m_nSeed = nValue;
    } else if (strName == "--gps") {
        if (!TakeNumber(strName, 0, kMaxGpsInView, nValue, strError)) {
            return false;
        }
        m_options.m_scenario.m_nGps = static_cast<int>(nValue);
    } else if (strName == "--epochs") {
        if (!TakeNumber(strName, 1, std::numeric_limits<long long>::max(), nValue, strError)) {
            return false;
        }
        m_options.m_nEpochs = static_cast<long long>(nValue);
    } else {
        strError = "unknown option " + strName;
        return false;
    }
    return true;
}

bool COptionReader::TakeValue(const std::string& strName, std::string& strValue,
                              std::string& strError) {
    if (m_nNext >= m_vecArgs.size() || m_vecArgs[m_nNext].empty()) {
        strError = strName + " needs a value";
        return false;
    }
    strValue = m_vecArgs[m_nNext++];
    return true;
}

bool COptionReader::TakeNumber(const std::string& strName, unsigned long long nLow,
                               unsigned long long nHigh, unsigned long long& nValue,
                               std::string& strError) {
    std::string strValue;
    if (!TakeValue(strName, strValue, strError)) {
        return false;
    }
    if (!ParseWhole(strValue, nLow, nHigh, nValue)) {
        strError = strName + " needs a whole number from " + std::to_string(nLow) + " to " +
                   std::to_string(nHigh) + ", not '" + strValue + "'";
        return false;
    }
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

} // namespace

bool ParseOptions(const std::vector<std::string>& vecArgs, SimOptions& options,
                  std::string& strError) {
    options = SimOptions();
    COptionReader reader(vecArgs, options);
    if (!reader.Read(strError)) {
        return false;
    }
    if (options.m_eMode == EMode::Help) {
        return true;
    }
    if (!options.m_strWrite.empty()) {
        options.m_eMode = EMode::Write;
        return CheckWriteMode(options, strError);
    }
    const ScenarioOptions defaults;
    const bool bGeneratorOptions = options.m_scenario.m_nSeed != defaults.m_nSeed ||
                                   options.m_scenario.m_nGps != defaults.m_nGps ||
                                   options.m_scenario.m_bLowercase || options.m_scenario.m_bGns;
    if (options.m_nTcpPort >= 0)
        options.m_eMode = EMode::Tcp;
    return CheckPortMode(options, bGeneratorOptions, strError);
}

std::string UsageText() {
    return "usage: velmora-sim --port N --baud B [--seed S] [--gps N] [--lowercase] [--gns]\n"
           "                   [--unpaced] [--file F] [--epochs N]\n"
           "       velmora-sim --tcp PORT --baud B [--seed S] [--gps N] [--lowercase] [--gns]\n"
           "                   [--unpaced] [--file F] [--epochs N]\n"
           "       velmora-sim --write FILE --epochs N [--seed S] [--gps N] [--lowercase] [--gns]\n"
           "\n"
           "Simulates a GPS/GLONASS receiver streaming NMEA-0183 on a pseudo-terminal linked as\n"
           "~/.velmora/ports/comN, at baud/10 bytes per second and one epoch per second.\n"
           "Bytes arrive garbled while the reading program's port speed differs from B.\n"
           "\n"
           "  --port N       link the port as comN (1-255)\n"
           "  --tcp PORT     serve the stream on 127.0.0.1:PORT instead (0: a free port, printed)\n"
           "                 to every client that connects, each from its start; try it with\n"
           "                 echo tcp://localhost:PORT > ~/.velmora/ports/comN\n"
           "  --baud B       the receiver's line speed (4800, 9600, ..., 115200, ..., 921600)\n"
           "  --seed S       scenario seed (default 1); the same seed gives the same stream\n"
           "  --gps N        GPS satellites in view, 0-16 (default 10)\n"
           "  --lowercase    write checksum digits in lower case\n"
           "  --gns          send GNGNS instead of GPGGA\n"
           "  --unpaced      send as fast as the reader takes the bytes\n"
           "  --file F       play a capture or record file, repeating, instead of the scenario\n"
           "  --epochs N     stop after N epochs (with --file: N passes through the file)\n"
           "  --write FILE   write N epochs to FILE in record-file format, no port\n"
           "  --help         show this text\n";
}

} // namespace sim
