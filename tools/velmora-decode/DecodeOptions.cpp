#include "DecodeOptions.h"

#include "tools/common/DecodeSession.h"

#include <functional>

namespace {

// One option: its name, whether it takes a value, and what it does with it.
struct OptionEntry {
    const char* pszName;
    bool bTakesValue;
    std::function<bool(DecodeOptions&, const std::string&, std::string&)> apply;
};

const std::vector<OptionEntry>& Options() {
    static const std::vector<OptionEntry> options = {
        {"--help", false,
         [](DecodeOptions& opt, const std::string&, std::string&) {
             opt.bHelp = true;
             return true;
         }},
        {"--filters", true,
         [](DecodeOptions& opt, const std::string& value, std::string& error) {
             return ParseFilterList(value, opt.nFilters, error);
         }},
        {"--paused", false,
         [](DecodeOptions& opt, const std::string&, std::string&) {
             opt.bPaused = true;
             return true;
         }},
        {"--replay", false,
         [](DecodeOptions& opt, const std::string&, std::string&) {
             opt.bReplay = true;
             return true;
         }},
        {"--track", false,
         [](DecodeOptions& opt, const std::string&, std::string&) {
             opt.bTrack = true;
             return true;
         }},
        {"--final", false,
         [](DecodeOptions& opt, const std::string&, std::string&) {
             opt.bFinal = true;
             return true;
         }},
        {"--changes", false,
         [](DecodeOptions& opt, const std::string&, std::string&) {
             opt.bChanges = true;
             return true;
         }},
    };
    return options;
}

const OptionEntry* FindOption(const std::string& name) {
    for (const OptionEntry& option : Options())
        if (name == option.pszName || (name == "-h" && std::string(option.pszName) == "--help"))
            return &option;
    return nullptr;
}

} // namespace

DecodeOptions::DecodeOptions() : nFilters(FILTER_ALL) {}

const char* DecodeUsage() {
    return "usage: velmora-decode [--replay | --track] [--final] [--changes] [--filters LIST]\n"
           "                      [--paused] FILE\n"
           "Feeds the bytes of FILE (a log of a receiver's NMEA output) through Velmora's main\n"
           "window, as if a receiver sent them after Start, and prints the window's state as one\n"
           "JSON line per sentence that passed its checksum.\n"
           "  --replay        replay FILE as a record file instead, its ticks back to back, and\n"
           "                  print one line per tick (no checksum test, as replay does)\n"
           "  --track         open a track window and print its view after each refresh\n"
           "  --final         print only the final state\n"
           "  --changes       print on each line only what changed since the line before\n"
           "                  (members one level deep: \"items.1110\", \"cells.4\"; gone: null)\n"
           "  --filters LIST  sentence types echoed into the monitor, comma-separated from\n"
           "                  GGA,RMC,VTG,GSA,GSV (default: all; an empty list: none)\n"
           "  --paused        pause the monitor's echo\n"
           "  --help          show this help\n";
}

bool ParseDecodeOptions(const std::vector<std::string>& args, DecodeOptions& opt,
                        std::string& strError) {
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            const OptionEntry* pOption = FindOption(arg);
            if (!pOption) {
                strError = "unknown option " + arg;
                return false;
            }
            std::string value;
            if (pOption->bTakesValue) {
                if (i + 1 >= args.size()) {
                    strError = arg + " needs a value";
                    return false;
                }
                value = args[++i];
            }
            std::string error;
            if (!pOption->apply(opt, value, error)) {
                strError = arg + ": " + error;
                return false;
            }
        } else {
            files.push_back(arg);
        }
    }
    if (opt.bHelp)
        return true;
    if (opt.bReplay && opt.bTrack) {
        strError = "--replay and --track exclude each other";
        return false;
    }
    if (files.size() != 1) {
        strError = files.empty() ? "no FILE given" : "more than one FILE given";
        return false;
    }
    opt.strFile = files[0];
    return true;
}
