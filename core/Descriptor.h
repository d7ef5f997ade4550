// File descriptors held in an int, -1 standing for none.
#pragma once

namespace vbase {

// Closes nFd if it is open and marks it closed, so that a second call closes nothing (least of
// all a descriptor the number was given to since).
void CloseDescriptor(int& nFd);

} // namespace vbase
