// What a COM number names: a serial device, or a network source written as one line in the
// file ~/.velmora/ports/comN ("tcp://HOST:PORT", "gpsd://HOST[:PORT][/DEVICE]").
#pragma once

#include <string>

enum class ESourceKind {
    Device, // a serial device (or a link to one)
    Tcp,    // raw NMEA bytes from a TCP server
    Gpsd,   // the NMEA sentences of a running gpsd
};

struct PortSource {
    ESourceKind eKind = ESourceKind::Device;
    std::string path; // the device, or the file that holds the source line
    std::string line; // the source line as written (network sources)
    std::string host; // without the brackets of an IPv6 address
    int nNetPort = 0;
    std::string device; // the gpsd device asked for; empty for all
};

constexpr int kGpsdDefaultPort = 2947;

// True when path is a source file rather than a device: a regular file (not a link) in the
// user's ports folder.
bool IsSourceFile(const std::string& path);
// Reads the source file at path into source. On failure error says what is wrong with the
// file, naming it and the line.
bool ReadSourceFile(const std::string& path, PortSource& source, std::string& error);
// Parses one source line; on failure error says what is wrong with it.
bool ParseSourceLine(const std::string& line, PortSource& source, std::string& error);
// A path under the user's home as the user would type it ("~/.velmora/ports/com3").
std::string AbbreviatedPath(const std::string& path);
// The command that asks gpsd for the NMEA of all its devices, or of source.device.
std::string GpsdWatchCommand(const PortSource& source);
