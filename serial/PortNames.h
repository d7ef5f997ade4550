// COM port numbers on Linux: "COM%d" names device n.
#pragma once

#include <string>

// The device of port n: the link ~/.velmora/ports/comN when one exists (even if it leads
// nowhere: the user named that device), otherwise the n-th present serial device in the order
// /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*, each by number. Empty when there is none, and for
// port 0 or a negative number.
std::string PortDevicePath(int nPort);
// The same, looking for links under pszHome (none when null) and for devices in devDir.
std::string PortDevicePath(int nPort, const char* pszHome, const std::string& devDir);
