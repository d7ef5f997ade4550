// The command line of velmora-decode.
#pragma once

#include "core/CommandLine.h"

#include <string>
#include <vector>

struct DecodeOptions {
    unsigned nFilters;
    bool bPaused = false;
    bool bReplay = false;
    bool bTrack = false;
    bool bFinal = false;
    bool bChanges = false;
    std::string strFile;

    DecodeOptions();
};

// The command line, its options taking their values into opt.
vbase::CommandSpec DecodeCommand(DecodeOptions& opt);
// Reads the arguments (without the program name); on an error the reason is in strError.
vbase::ECommand ParseDecodeOptions(const std::vector<std::string>& args, DecodeOptions& opt,
                                   std::string& strError);
