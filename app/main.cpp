#include "app/ViewerApp.h"
#include "platform/Environment.h"

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

CViewerApp theApp;

namespace {

// Without a display Qt would abort; say what is missing instead.
bool HasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform)
        return true;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[]) {
    PrepareFontEnvironment();
    PrepareRuntimeDirectory();
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "velmora: no display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                     "Run it in a desktop session, or headless with "
                     "QT_QPA_PLATFORM=offscreen.\n");
        return 2;
    }
    QApplication app(argc, argv);
    // Lets Wayland desktops match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName("velmora");
    ApplyApplicationStyle();
    theApp.InitInstance();
    return 0;
}
