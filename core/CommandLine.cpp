#include "core/CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <getopt.h>
#include <ostream>

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "unknown"
#endif

namespace vbase {

namespace {

constexpr int kExitUsage = 2;
constexpr int kHelpId = 'h';
constexpr int kVersionId = 'V';

const CommandOption kHelp{kHelpId, "help", nullptr, "show this help"};
const CommandOption kVersion{kVersionId, "version", nullptr, "show the version"};

std::vector<CommandOption> AllOptions(const CommandSpec& command) {
    std::vector<CommandOption> vecAll = command.options;
    vecAll.push_back(kHelp);
    vecAll.push_back(kVersion);
    return vecAll;
}

std::vector<option> LongOptions(const std::vector<CommandOption>& vecAll) {
    std::vector<option> vecLong;
    for (const CommandOption& opt : vecAll) {
        vecLong.push_back(
            {opt.pszName, opt.pszValue ? required_argument : no_argument, nullptr, opt.nId});
    }
    vecLong.push_back({nullptr, 0, nullptr, 0});
    return vecLong;
}

const CommandOption* FindOption(const std::vector<CommandOption>& vecAll, int nId) {
    for (const CommandOption& opt : vecAll) {
        if (opt.nId == nId) {
            return &opt;
        }
    }
    return nullptr;
}

// The option getopt stopped at, as the user wrote it (without any "=value"); a short one is
// named by its letter, since it may stand in a group such as -xv.
std::string OffendingOption(char* const* argv, int nIndex, int nShort) {
    const std::string strArg = nIndex > 0 ? argv[nIndex] : "";
    if (strArg.compare(0, 2, "--") == 0 || nShort <= 0) {
        return strArg.substr(0, strArg.find('='));
    }
    return std::string("-") + static_cast<char>(nShort);
}

constexpr std::size_t kHelpColumn = 20;

// A help text of several lines continues under its first line.
std::string IndentHelp(const std::string& strHelp) {
    std::string strText;
    for (const char ch : strHelp) {
        strText += ch;
        if (ch == '\n') {
            strText.append(kHelpColumn, ' ');
        }
    }
    return strText;
}

} // namespace

ECommand ParseCommandLine(const CommandSpec& command, const std::vector<std::string>& vecArgs,
                          const OptionHandler& handle, std::vector<std::string>& vecOperands,
                          std::string& strError) {
    const std::vector<CommandOption> vecAll = AllOptions(command);
    const std::vector<option> vecLong = LongOptions(vecAll);
    std::vector<std::string> vecStorage{command.pszProgram};
    vecStorage.insert(vecStorage.end(), vecArgs.begin(), vecArgs.end());
    std::vector<char*> vecArgv;
    for (std::string& strArg : vecStorage) {
        vecArgv.push_back(strArg.data());
    }
    vecArgv.push_back(nullptr);
    const int argc = static_cast<int>(vecStorage.size());

    ECommand eResult = ECommand::Run;
    optind = 0; // 0 restarts getopt's scan, so a process may read several command lines
    opterr = 0;
    int nId = 0;
    while ((nId = getopt_long(argc, vecArgv.data(), ":h", vecLong.data(), nullptr)) != -1) {
        const CommandOption* pOption = FindOption(vecAll, nId);
        if (nId == '?' || nId == ':' || !pOption) {
            const std::string strName = OffendingOption(vecArgv.data(), optind - 1, optopt);
            strError = nId == ':' ? strName + " needs a value" : "unknown option " + strName;
            return ECommand::Error;
        }
        if (nId == kHelpId || nId == kVersionId) {
            eResult = nId == kHelpId ? ECommand::Help : ECommand::Version;
            continue;
        }
        std::string strReason;
        if (!handle(nId, optarg ? optarg : "", strReason)) {
            strError = std::string("--") + pOption->pszName + ": " + strReason;
            return ECommand::Error;
        }
    }
    vecOperands.assign(vecArgv.begin() + optind, vecArgv.end() - 1);
    return eResult;
}

std::string HelpText(const CommandSpec& command) {
    std::string strText = std::string(command.pszUsage) + "\n" + command.pszAbout + "\n";
    for (const CommandOption& opt : AllOptions(command)) {
        std::string strLeft = std::string("  --") + opt.pszName;
        if (opt.pszValue) {
            strLeft += std::string(" ") + opt.pszValue;
        }
        strLeft.resize(std::max(strLeft.size() + 2, kHelpColumn), ' ');
        strText += strLeft + IndentHelp(opt.pszHelp) + "\n";
    }
    return strText;
}

int FinishCommandLine(const CommandSpec& command, ECommand eResult, const std::string& strError,
                      std::ostream& out, std::ostream& err) {
    switch (eResult) {
    case ECommand::Help:
        out << HelpText(command);
        return 0;
    case ECommand::Version:
        out << command.pszProgram << " " << VELMORA_VERSION << "\n";
        return 0;
    case ECommand::Error:
        err << command.pszProgram << ": " << strError << "\n"
            << command.pszUsage << "Try '" << command.pszProgram << " --help' for more.\n";
        return kExitUsage;
    case ECommand::Run:
        break;
    }
    return -1;
}

bool ParseWholeNumber(const std::string& strText, unsigned long long nLow, unsigned long long nHigh,
                      unsigned long long& nValue) {
    if (strText.empty() || strText.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    errno = 0;
    nValue = std::strtoull(strText.c_str(), nullptr, 10);
    return errno == 0 && nValue >= nLow && nValue <= nHigh;
}

} // namespace vbase
