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
// getopt's value of the table's first option, the others following it: above every character,
// so that none is taken for a short option.
constexpr int kFirstOptionId = 256;

const CommandOption kHelp{"help", nullptr, "show this help", nullptr};
const CommandOption kVersion{"version", nullptr, "show the version", nullptr};

std::vector<option> LongOptions(const std::vector<CommandOption>& vecOptions) {
    std::vector<option> vecLong;
    int nId = kFirstOptionId;
    for (const CommandOption& opt : vecOptions) {
        vecLong.push_back(
            {opt.pszName, opt.pszValue ? required_argument : no_argument, nullptr, nId++});
    }
    vecLong.push_back({kHelp.pszName, no_argument, nullptr, kHelpId});
    vecLong.push_back({kVersion.pszName, no_argument, nullptr, kVersionId});
    vecLong.push_back({nullptr, 0, nullptr, 0});
    return vecLong;
}

const CommandOption* FindOption(const std::vector<CommandOption>& vecOptions, int nId) {
    const std::size_t nIndex = static_cast<std::size_t>(nId - kFirstOptionId);
    return nId >= kFirstOptionId && nIndex < vecOptions.size() ? &vecOptions[nIndex] : nullptr;
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

std::string HelpLine(const CommandOption& opt) {
    std::string strLeft = std::string("  --") + opt.pszName;
    if (opt.pszValue) {
        strLeft += std::string(" ") + opt.pszValue;
    }
    strLeft.resize(std::max(strLeft.size() + 2, kHelpColumn), ' ');
    return strLeft + IndentHelp(opt.pszHelp) + "\n";
}

} // namespace

ECommand ParseCommandLine(const CommandSpec& command, const std::vector<std::string>& vecArgs,
                          std::vector<std::string>& vecOperands, std::string& strError) {
    const std::vector<option> vecLong = LongOptions(command.options);
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
        if (nId == kHelpId || nId == kVersionId) {
            eResult = nId == kHelpId ? ECommand::Help : ECommand::Version;
            continue;
        }
        const CommandOption* pOption = FindOption(command.options, nId);
        if (!pOption) {
            const std::string strName = OffendingOption(vecArgv.data(), optind - 1, optopt);
            strError = nId == ':' ? strName + " needs a value" : "unknown option " + strName;
            return ECommand::Error;
        }
        std::string strReason;
        if (!pOption->take(optarg ? optarg : "", strReason)) {
            strError = std::string("--") + pOption->pszName + ": " + strReason;
            return ECommand::Error;
        }
    }
    vecOperands.assign(vecArgv.begin() + optind, vecArgv.end() - 1);
    return eResult;
}

ECommand ParseCommandLine(const CommandSpec& command, const std::vector<std::string>& vecArgs,
                          std::string& strError) {
    std::vector<std::string> vecOperands;
    const ECommand eResult = ParseCommandLine(command, vecArgs, vecOperands, strError);
    if (eResult == ECommand::Run && !vecOperands.empty()) {
        strError = "unexpected argument '" + vecOperands.front() + "'";
        return ECommand::Error;
    }
    return eResult;
}

std::string HelpText(const CommandSpec& command) {
    std::string strText = std::string(command.pszUsage) + "\n" + command.pszAbout + "\n";
    for (const CommandOption& opt : command.options) {
        strText += HelpLine(opt);
    }
    return strText + HelpLine(kHelp) + HelpLine(kVersion);
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

OptionTarget StoreFlag(bool& bTarget) {
    return [&bTarget](const std::string&, std::string&) {
        bTarget = true;
        return true;
    };
}

OptionTarget StoreText(std::string& strTarget) {
    return [&strTarget](const std::string& strValue, std::string&) {
        strTarget = strValue;
        return true;
    };
}

OptionTarget StoreNonEmptyText(std::string& strTarget) {
    return [&strTarget](const std::string& strValue, std::string& strError) {
        if (strValue.empty()) {
            strError = "needs a value";
            return false;
        }
        strTarget = strValue;
        return true;
    };
}

bool TakeWholeNumber(const std::string& strValue, unsigned long long nLow, unsigned long long nHigh,
                     unsigned long long& nValue, std::string& strError) {
    if (!ParseWholeNumber(strValue, nLow, nHigh, nValue)) {
        strError = "needs a whole number from " + std::to_string(nLow) + " to " +
                   std::to_string(nHigh) + ", not '" + strValue + "'";
        return false;
    }
    return true;
}

} // namespace vbase
