#include "DecodeOptions.h"

#include "tools/common/DecodeSession.h"

DecodeOptions::DecodeOptions() : nFilters(FILTER_ALL) {}

vbase::CommandSpec DecodeCommand(DecodeOptions& opt) {
    return {"velmora-decode",
            "usage: velmora-decode [--replay | --track] [--final] [--changes] [--filters LIST]\n"
            "                      [--paused] FILE\n",
            "Feeds the bytes of FILE (a log of a receiver's NMEA output) through Velmora's main\n"
            "window, as if a receiver sent them after Start, and prints the window's state as one\n"
            "JSON line per sentence that passed its checksum.\n",
            {
                {"replay", nullptr,
                 "replay FILE as a record file instead, its ticks back to back, and\n"
                 "print one line per tick (no checksum test, as replay does)",
                 vbase::StoreFlag(opt.bReplay)},
                {"track", nullptr, "open a track window and print its view after each refresh",
                 vbase::StoreFlag(opt.bTrack)},
                {"final", nullptr, "print only the final state", vbase::StoreFlag(opt.bFinal)},
                {"changes", nullptr, "print on each line only what changed since the line before",
                 vbase::StoreFlag(opt.bChanges)},
                {"filters", "LIST",
                 "sentence types echoed into the monitor, comma-separated from\n"
                 "GGA,RMC,VTG,GSA,GSV (default: all; an empty list: none)",
                 vbase::StoreParsed(opt.nFilters, ParseFilterList)},
                {"paused", nullptr, "pause the monitor's echo", vbase::StoreFlag(opt.bPaused)},
            }};
}

vbase::ECommand ParseDecodeOptions(const std::vector<std::string>& args, DecodeOptions& opt,
                                   std::string& strError) {
    std::vector<std::string> files;
    const vbase::ECommand eResult =
        vbase::ParseCommandLine(DecodeCommand(opt), args, files, strError);
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
