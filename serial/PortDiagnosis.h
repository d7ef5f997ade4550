// What the user is told, under the program's own messages, about a port that failed: which
// device the COM number named, the system's reason and what can be done about it.
#pragma once

#include "serial/PortHolders.h"
#include "serial/PortNames.h"

#include <string>
#include <vector>

enum class EPortFailure {
    NoDevice,    // the number names no device
    OpenRefused, // the system refused to open the device (errno tells why)
    Claimed,     // another program holds the device for itself
    NotSerial,   // the device is no terminal (errno tells why)
    StaleClaim,  // the device is claimed, but no program has it open
};

// "COM3 = /dev/ttyUSB0", with the link that names it when there is one.
std::string DescribePortLine(const PortEntry& entry);
// One line per number that names a device now; runs of numbered devices of one kind are
// shortened to one line ("COM3 to COM34 = /dev/ttyS0 to /dev/ttyS31").
std::string DescribePortList(const std::vector<PortEntry>& entries);
// Why port nPort (device path, empty when none) could not be opened.
std::string DescribeOpenFailure(int nPort, const std::string& path, EPortFailure eFailure,
                                int nError);
// Why a device that other programs hold open is not opened, and what to do.
std::string DescribeSharedDevice(int nPort, const std::string& path,
                                 const std::vector<PortHolder>& holders);
// Why the source file of port nPort names no source (fileError from ReadSourceFile).
std::string DescribeSourceFailure(const std::string& fileError);
// Why connecting to the network source of port nPort failed.
std::string DescribeConnectFailure(int nPort, const std::string& path, const std::string& reason,
                                   bool bGpsd);
// Why reading port nPort stopped: the device hung up or the server closed the connection
// (nError 0), or a read failed.
std::string DescribeLineFailure(int nPort, const std::string& path, int nError);
// The system's text for an error, in UTF-8.
std::string SystemErrorText(int nError);
