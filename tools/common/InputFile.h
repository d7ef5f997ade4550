// The input file of a tool: a regular file, or "-" for standard input.
#pragma once

#include <string>

// The whole content of the file; false with the reason in strError. Anything but a regular file
// (a FIFO, a device such as /dev/zero, a folder) is refused without being read: it could block
// forever or never end.
bool ReadInputFile(const std::string& strPath, std::string& bytes, std::string& strError);
