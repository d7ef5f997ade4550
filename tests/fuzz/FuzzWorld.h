// The program's main window, offscreen, for fuzz targets: made once per process.
#pragma once

#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"

#include <cstddef>
#include <cstdint>

// The window prepared as a successful Start prepares it (no port), with both plot windows.
CViewerDlg& FuzzWindow();
// Writes bytes to a file of the process's own and returns its path.
const char* FuzzFile(const uint8_t* pData, size_t nSize);
