// The command line of the tools: options read by getopt_long from a table, one style of help,
// --version, and errors that name the option.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace vbase {

// Takes an option's value (empty for a switch) into where it belongs. False with the reason
// (without the option's name, which is added) stops the reading.
using OptionTarget = std::function<bool(const std::string& strValue, std::string& strError)>;

// One option: --name, the name of its value in the help (nullptr for a switch), one help line,
// and where its value goes.
struct CommandOption {
    const char* pszName;
    const char* pszValue;
    const char* pszHelp;
    OptionTarget take;
};

struct CommandSpec {
    const char* pszProgram;
    const char* pszUsage; // "usage: ..." lines, each ending in a newline
    const char* pszAbout; // what the tool does, printed between the usage and the options
    std::vector<CommandOption> options;
};

enum class ECommand { Run, Help, Version, Error };

// The targets of the common kinds of option. A switch sets its flag; a text is kept as given
// (NonEmpty: an empty one is refused); a whole number must lie in [nLow, nHigh].
OptionTarget StoreFlag(bool& bTarget);
OptionTarget StoreText(std::string& strTarget);
OptionTarget StoreNonEmptyText(std::string& strTarget);
bool TakeWholeNumber(const std::string& strValue, unsigned long long nLow, unsigned long long nHigh,
                     unsigned long long& nValue, std::string& strError);
template <typename T>
OptionTarget StoreWholeNumber(T& nTarget, unsigned long long nLow, unsigned long long nHigh) {
    return [&nTarget, nLow, nHigh](const std::string& strValue, std::string& strError) {
        unsigned long long nValue = 0;
        if (!TakeWholeNumber(strValue, nLow, nHigh, nValue, strError)) {
            return false;
        }
        nTarget = static_cast<T>(nValue);
        return true;
    };
}

// A target for a value of the tool's own kind: pTake reads it into target or says why not.
template <typename T>
OptionTarget StoreParsed(T& target, bool (*pTake)(const std::string& strValue, T& target,
                                                  std::string& strError)) {
    return [&target, pTake](const std::string& strValue, std::string& strError) {
        return pTake(strValue, target, strError);
    };
}

// Reads the arguments after the program name. Operands (not options) go to vecOperands in order.
ECommand ParseCommandLine(const CommandSpec& command, const std::vector<std::string>& vecArgs,
                          std::vector<std::string>& vecOperands, std::string& strError);
// The same for a tool that takes no operands: one is an error.
ECommand ParseCommandLine(const CommandSpec& command, const std::vector<std::string>& vecArgs,
                          std::string& strError);

std::string HelpText(const CommandSpec& command);

// What the tool does after reading: prints the help or version to out and returns 0, prints the
// error with a pointer to --help to err and returns 2, or returns -1 when the tool should run.
int FinishCommandLine(const CommandSpec& command, ECommand eResult, const std::string& strError,
                      std::ostream& out, std::ostream& err);

// Whole decimal number in [nLow, nHigh], nothing else in the text.
bool ParseWholeNumber(const std::string& strText, unsigned long long nLow, unsigned long long nHigh,
                      unsigned long long& nValue);

} // namespace vbase
