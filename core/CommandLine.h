// The command line of the tools: options read by getopt_long from a table, one style of help,
// --version, and errors that name the option.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace vbase {

// One option: --name, the name of its value in the help (nullptr for a switch), one help line.
// nId is what the tool's handler switches on; 'h' and 'V' are taken by --help and --version.
struct CommandOption {
    int nId;
    const char* pszName;
    const char* pszValue;
    const char* pszHelp;
};

struct CommandSpec {
    const char* pszProgram;
    const char* pszUsage; // "usage: ..." lines, each ending in a newline
    const char* pszAbout; // what the tool does, printed between the usage and the options
    std::vector<CommandOption> options;
};

enum class ECommand { Run, Help, Version, Error };

// Takes one option; strValue is empty for a switch. False with the reason (without the option's
// name, which is added) stops the reading.
using OptionHandler =
    std::function<bool(int nId, const std::string& strValue, std::string& strError)>;

// Reads the arguments after the program name. Operands (not options) go to vecOperands in order.
ECommand ParseCommandLine(const CommandSpec& command, const std::vector<std::string>& vecArgs,
                          const OptionHandler& handle, std::vector<std::string>& vecOperands,
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
