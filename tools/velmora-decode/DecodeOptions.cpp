#include "DecodeOptions.h"

#include "tools/common/DecodeSession.h"

namespace {

const vbase::CommandSpec kCommand{
    "velmora-decode",
    "usage: velmora-decode [--replay | --track] [--final] [--changes] [--filters LIST]\n"
    "                      [--paused] FILE\n",
    "Feeds the bytes of FILE (a log of a receiver's NMEA output) through Velmora's main\n"
    "window, as if a receiver sent them after Start, and prints the window's state as one\n"
    "JSON line per sentence that passed its checksum.\n",
    {
        {'r', "replay", nullptr,
         "replay FILE as a record file instead, its ticks back to back, and\n"
         "print one line per tick (no checksum test, as replay does)"},
        {'t', "track", nullptr, "open a track window and print its view after each refresh"},
        {'f', "final", nullptr, "print only the final state"},
        {'c', "changes", nullptr, "print on each line only what changed since the line before"},
        {'F', "filters", "LIST",
         "sentence types echoed into the monitor, comma-separated from\n"
         "GGA,RMC,VTG,GSA,GSV (default: all; an empty list: none)"},
        {'p', "paused", nullptr, "pause the monitor's echo"},
    }};

bool TakeOption(DecodeOptions& opt, int nId, const std::string& strValue, std::string& strError) {
    switch (nId) {
    case 'r':
        opt.bReplay = true;
        return true;
    case 't':
        opt.bTrack = true;
        return true;
    case 'f':
        opt.bFinal = true;
        return true;
    case 'c':
        opt.bChanges = true;
        return true;
    case 'F':
        return ParseFilterList(strValue, opt.nFilters, strError);
    case 'p':
        opt.bPaused = true;
        return true;
    }
    return false;
}

} // namespace

DecodeOptions::DecodeOptions() : nFilters(FILTER_ALL) {}

const vbase::CommandSpec& DecodeCommand() {
    return kCommand;
}

vbase::ECommand ParseDecodeOptions(const std::vector<std::string>& args, DecodeOptions& opt,
                                   std::string& strError) {
    std::vector<std::string> files;
    const vbase::ECommand eResult = vbase::ParseCommandLine(
        kCommand, args,
        [&opt](int nId, const std::string& strValue, std::string& strReason) {
            return TakeOption(opt, nId, strValue, strReason);
        },
        files, strError);
    if (eResult != vbase::ECommand::Run) {
        return eResult;
    }
    if (opt.bReplay && opt.bTrack) {
        strError = "--replay and --track exclude each other";
    } else if (files.size() != 1) {
        strError = files.empty() ? "no FILE given" : "more than one FILE given";
    } else {
        opt.strFile = files[0];
        return eResult;
    }
    return vbase::ECommand::Error;
}
