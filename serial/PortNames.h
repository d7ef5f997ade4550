// COM port numbers on Linux: "COM%d" names device n, or the network source of a file.
#pragma once

#include <string>
#include <vector>

// The device of port n: the link or source file ~/.velmora/ports/comN when one exists (even if
// it leads nowhere: the user named that device), otherwise the n-th present serial device in the
// order /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*, each by number. Empty when there is none, and for
// port 0 or a negative number.
std::string PortDevicePath(int nPort);
// The same, looking for links under pszHome (none when null) and for devices in devDir.
std::string PortDevicePath(int nPort, const char* pszHome, const std::string& devDir);

// One COM number and the device it names now.
struct PortEntry {
    int nPort;
    std::string path;   // what the program opens: the device, the user's link or source file
    std::string device; // the device itself: the link's target, or path; a source's line
    bool bLinked;       // path is a link (the user's, in ~/.velmora/ports)
    bool bPresent;      // the device exists; a source file holds a valid source
    bool bSource;       // path is a source file naming a network source
};

// Every number that names a device now, in ascending order: the serial devices present and the
// user's links.
std::vector<PortEntry> ListPorts();
std::vector<PortEntry> ListPorts(const char* pszHome, const std::string& devDir);
// What port n names now (nPort 0 and path empty when nothing).
PortEntry DescribePort(int nPort, const std::string& path);
