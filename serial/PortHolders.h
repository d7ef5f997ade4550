// Which other processes hold a device open, found as fuser finds them: through /proc/*/fd.
// Linux lets two programs open one serial port and split its byte stream between them.
#pragma once

#include <string>
#include <vector>

struct PortHolder {
    int nPid;
    std::string program; // its name as the system lists it (/proc/PID/comm)
};

struct PortHolders {
    // Other processes that have the device open, this one and the other end of a
    // pseudo-terminal (a process holding its master: the receiver's side) left out.
    std::vector<PortHolder> holders;
    // False when some process's descriptors could not be read (another user's): a holder
    // may then be hidden.
    bool bComplete = true;
};

PortHolders FindPortHolders(const std::string& device, const std::string& procDir = "/proc");
// Processes by name: gpsd and ModemManager are told apart in the advice even when their
// descriptors cannot be read.
std::vector<PortHolder> FindPrograms(const std::vector<std::string>& names,
                                     const std::string& procDir = "/proc");
