// Waiting on the GUI thread for work done elsewhere without freezing the window.
#pragma once

#include <functional>

// Returns once done() holds. On the GUI thread the event loop runs meanwhile (paints, timers,
// messages from other threads) while the user's input waits until after, so no handler is
// re-entered by a click; on any other thread it simply waits.
void WaitAnswering(const std::function<bool()>& done);
