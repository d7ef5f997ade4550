// velmora-decode: decodes a log of NMEA sentences through Velmora's own main window (offscreen)
// and prints the window's state after each sentence as JSON lines.
#include "DecodeOptions.h"
#include "DecodeRun.h"
#include "platform/Environment.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    DecodeOptions opt;
    std::string strError;
    if (!ParseDecodeOptions(std::vector<std::string>(argv + 1, argv + argc), opt, strError)) {
        std::fprintf(stderr, "velmora-decode: %s\n%s", strError.c_str(), DecodeUsage());
        return 2;
    }
    if (opt.bHelp) {
        std::fputs(DecodeUsage(), stdout);
        return 0;
    }
    // The window is never shown, so no display is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    PrepareFontEnvironment();
    PrepareRuntimeDirectory();
    QApplication app(argc, argv);
    ApplyApplicationStyle();
    return RunDecode(opt, stdout, stderr);
}
