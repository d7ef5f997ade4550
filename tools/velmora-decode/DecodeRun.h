// What velmora-decode does once its options are read.
#pragma once

#include "DecodeOptions.h"

#include <cstdio>
#include <string>

// Decodes the file through the main window and prints a JSON line per dispatched sentence to
// out; message boxes and errors go to err. Returns the exit status. Needs a QApplication.
int RunDecode(const DecodeOptions& opt, std::FILE* out, std::FILE* err);
