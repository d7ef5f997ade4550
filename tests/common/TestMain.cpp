// Every test program runs headless on Qt's offscreen platform with the program's font mapping.
#include "platform/Environment.h"
#include "tests/common/HangGuard.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv) {
    // The thread sanitizer's runtime starts a helper thread with the first thread a program
    // starts: started here, it never shows up in a test that counts threads.
    std::thread([] {}).join();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string runtimeDir;
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        runtimeDir = "/tmp/velmora-test-runtime-XXXXXX";
        if (mkdtemp(runtimeDir.data()))
            setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        else
            runtimeDir.clear();
    }
    PrepareFontEnvironment();
    int result = 0;
    {
        QApplication app(argc, argv);
        ApplyApplicationStyle();
        testing::InitGoogleTest(&argc, argv);
        GuardEveryTest();
        result = RUN_ALL_TESTS();
    }
    if (!runtimeDir.empty())
        std::filesystem::remove_all(runtimeDir);
    return result;
}
