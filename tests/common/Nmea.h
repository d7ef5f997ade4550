// Building NMEA sentences and feeding bytes to the main window, for tests.
#pragma once

#include <string>

class CViewerDlg;

// "$" + body + "*" + two checksum digits + CR LF.
std::string Sentence(const std::string& body, bool bLowerCase = false);
// Every byte through the window's serial byte handler, as the reader delivers them.
void Feed(CViewerDlg& dlg, const std::string& bytes);
