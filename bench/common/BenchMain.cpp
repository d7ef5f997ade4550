// Every benchmark program runs headless on Qt's offscreen platform with the program's fonts.
#include "platform/Environment.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    PrepareOffscreenEnvironment(false);
    QApplication app(argc, argv);
    ApplyApplicationStyle();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
