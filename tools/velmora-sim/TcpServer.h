#pragma once

#include "Options.h"

#include <atomic>
#include <ostream>

namespace sim {

// Serves the stream on 127.0.0.1:PORT (0: a free port, printed) to every client that connects,
// each from the start of its own stream, paced as a line of options.m_nBaud would pace it,
// until bStop is set.
int ServeTcp(const SimOptions& options, const std::atomic<bool>& bStop, std::ostream& out,
             std::ostream& err);

} // namespace sim
