// Every benchmark program runs headless on Qt's offscreen platform with the program's fonts.
#include "platform/Environment.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        std::string dir = "/tmp/velmora-bench-runtime-XXXXXX";
        if (mkdtemp(dir.data()))
            setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    PrepareFontEnvironment();
    QApplication app(argc, argv);
    ApplyApplicationStyle();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
