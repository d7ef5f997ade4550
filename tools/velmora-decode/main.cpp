// velmora-decode: decodes a log of NMEA sentences through Velmora's own main window (offscreen)
// and prints the window's state after each sentence as JSON lines.
#include "DecodeOptions.h"
#include "DecodeRun.h"
#include "platform/Environment.h"

#include <QApplication>
#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    DecodeOptions opt;
    std::string strError;
    const vbase::ECommand eResult = ParseDecodeOptions({argv + 1, argv + argc}, opt, strError);
    const int nExit =
        vbase::FinishCommandLine(DecodeCommand(opt), eResult, strError, std::cout, std::cerr);
    if (nExit >= 0) {
        return nExit;
    }
    // The window is never shown, so no display is needed.
    PrepareOffscreenEnvironment(false);
    QApplication app(argc, argv);
    ApplyApplicationStyle();
    return RunDecode(opt, stdout, stderr);
}
