// What a path names when it is not a regular file, in words for a message.
#pragma once

#include <string>
#include <sys/types.h>

// "a FIFO", "a folder", "a device", "a socket", or "something other than a file".
std::string FileKindName(mode_t mode);
