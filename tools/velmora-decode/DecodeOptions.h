// The command line of velmora-decode.
#pragma once

#include <string>
#include <vector>

struct DecodeOptions {
    unsigned nFilters;
    bool bPaused = false;
    bool bHelp = false;
    bool bReplay = false;
    bool bTrack = false;
    bool bFinal = false;
    bool bChanges = false;
    std::string strFile;

    DecodeOptions();
};

const char* DecodeUsage();
// Reads the arguments (without the program name); false with the reason in strError.
bool ParseDecodeOptions(const std::vector<std::string>& args, DecodeOptions& opt,
                        std::string& strError);
