#include "Runner.h"

#include <iostream>

int main(int argc, char** argv) {
    return sim::RunCommandLine(argc, argv, std::cout, std::cerr);
}
