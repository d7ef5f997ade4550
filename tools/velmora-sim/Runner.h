#pragma once

#include <ostream>

namespace sim {

// The whole tool behind main(): parses the options and runs port or write mode.
// Exit codes: 0 success, 1 failure while running, 2 bad options.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace sim
