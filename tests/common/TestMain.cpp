// Every test program runs headless on Qt's offscreen platform with the program's font mapping.
#include "platform/Environment.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        std::string dir = "/tmp/velmora-test-runtime-XXXXXX";
        if (mkdtemp(dir.data()))
            setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    PrepareFontEnvironment();
    QApplication app(argc, argv);
    ApplyApplicationStyle();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
