#include "platform/Environment.h"

#include <QApplication>
#include <QStyleFactory>

#include <climits>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Exists(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

std::string ExecutableDir() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return std::string();
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/'));
}

} // namespace

void PrepareFontEnvironment() {
    if (std::getenv("FONTCONFIG_FILE"))
        return;
    // Installed: <prefix>/bin/../share; in the build folder the program sits at its top, the
    // tools and tests one folder down.
    const std::string candidates[] = {
        ExecutableDir() + "/../share/velmora/fonts.conf",
        ExecutableDir() + "/share/velmora/fonts.conf",
    };
    for (const std::string& path : candidates) {
        if (Exists(path)) {
            setenv("FONTCONFIG_FILE", path.c_str(), 0);
            return;
        }
    }
}

void PrepareRuntimeDirectory() {
    if (std::getenv("XDG_RUNTIME_DIR"))
        return;
    std::string dir = "/tmp/velmora-runtime-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    struct stat st;
    if (lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid())
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 0);
}

void PrepareOffscreenEnvironment(bool bKeepChosen) {
    setenv("QT_QPA_PLATFORM", "offscreen", bKeepChosen ? 0 : 1);
    PrepareFontEnvironment();
    PrepareRuntimeDirectory();
}

void ApplyApplicationStyle() {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
}
