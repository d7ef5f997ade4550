// Entry points that only the GUI thread may call say so: in debug builds they check it.
#pragma once

#include <cassert>

// True on the thread of the application object (and before there is one).
bool IsGuiThread();

inline void AssertGuiThread() {
    assert(IsGuiThread() && "called off the GUI thread");
}
