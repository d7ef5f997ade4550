#include "serial/PortDiagnosis.h"

#include <QString>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>

namespace {

// A run of this many numbered devices or more is listed as one line.
constexpr size_t kShortenedRun = 4;

std::string Format(const char* pszFormat, int nValue) {
    char buf[128];
    std::snprintf(buf, sizeof buf, pszFormat, nValue);
    return buf;
}

// A path under the user's home as the user would type it.
std::string Abbreviated(const std::string& path) {
    const char* pszHome = std::getenv("HOME");
    std::string home = pszHome ? pszHome : "";
    if (home.size() > 1 && path.compare(0, home.size() + 1, home + "/") == 0)
        return "~" + path.substr(home.size());
    return path;
}

// A device name split as /dev/ttyS + 12; number -1 when it ends in no digits.
std::pair<std::string, long> SplitNumber(const std::string& device) {
    size_t nDigits = device.find_last_not_of("0123456789") + 1;
    if (nDigits == device.size() || device.size() - nDigits > 9)
        return {device, -1};
    return {device.substr(0, nDigits), std::stol(device.substr(nDigits))};
}

// The group that may open the device: its owner group, or dialout, which owns serial devices
// on Debian, when the device is not there to ask or belongs to root.
std::string DeviceGroup(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && st.st_gid != 0) {
        if (const group* pGroup = getgrgid(st.st_gid))
            return pGroup->gr_name;
    }
    return "dialout";
}

std::string OpenRefusedHint(const std::string& path, int nError) {
    switch (nError) {
    case EACCES:
    case EPERM: {
        std::string group = DeviceGroup(path);
        return "Serial devices can be opened by the members of the group that owns them (" + group +
               "). Join it with\n    sudo adduser $USER " + group + "\nthen log out and in again.";
    }
    case ENOENT:
        return "The device is not there: the receiver was unplugged, or the link leads to a "
               "device that is gone.";
    case EBUSY:
        return "Another program is using the device: close it and start again.";
    case ENXIO:
    case ENODEV:
        return "The device is not connected: plug the receiver in and start again.";
    default:
        return std::string();
    }
}

std::string NoDeviceText(int nPort) {
    std::string text = nPort <= 0 ? Format("COM%d names no device: port numbers start at 1.", nPort)
                                  : Format("No serial device is COM%d now.", nPort);
    text += "\n\n" + DescribePortList(ListPorts());
    if (nPort > 0)
        text += "\n\nPlug the receiver in, or name its device by this number:\n    ln -s "
                "/dev/ttyUSB0 ~/.velmora/ports/com" +
                std::to_string(nPort);
    return text;
}

} // namespace

std::string SystemErrorText(int nError) {
    char buf[256];
    return QString::fromLocal8Bit(strerror_r(nError, buf, sizeof buf)).toStdString();
}

std::string DescribePortLine(const PortEntry& entry) {
    std::string line = "COM" + std::to_string(entry.nPort) + " = " + entry.device;
    if (entry.bLinked)
        line += " (by the link " + Abbreviated(entry.path) + ")";
    if (!entry.bPresent)
        line += ", not present";
    return line;
}

std::string DescribePortList(const std::vector<PortEntry>& entries) {
    if (entries.empty())
        return "No serial device is present.";
    std::string text = "Serial ports now:";
    for (size_t i = 0; i < entries.size();) {
        // A run: numbers and device numbers both one up from the entry before.
        size_t nEnd = i + 1;
        auto [stem, nNumber] = SplitNumber(entries[i].device);
        while (nEnd < entries.size() && !entries[i].bLinked && !entries[nEnd].bLinked &&
               nNumber >= 0 && entries[nEnd].nPort == entries[nEnd - 1].nPort + 1 &&
               SplitNumber(entries[nEnd].device) ==
                   std::make_pair(stem, nNumber + static_cast<long>(nEnd - i)))
            ++nEnd;
        if (nEnd - i >= kShortenedRun) {
            const PortEntry& last = entries[nEnd - 1];
            text += "\nCOM" + std::to_string(entries[i].nPort) + " to COM" +
                    std::to_string(last.nPort) + " = " + entries[i].device + " to " + last.device;
            i = nEnd;
        } else {
            text += "\n" + DescribePortLine(entries[i]);
            ++i;
        }
    }
    return text;
}

std::string DescribeOpenFailure(int nPort, const std::string& path, EPortFailure eFailure,
                                int nError) {
    if (eFailure == EPortFailure::NoDevice || path.empty())
        return NoDeviceText(nPort);
    std::string text = DescribePortLine(DescribePort(nPort, path)) + "\n";
    switch (eFailure) {
    case EPortFailure::Claimed:
        return text + "The device is busy: another program has opened it for itself. Close that "
                      "program or stop its use of the port, and start again.";
    case EPortFailure::NotSerial:
        return text + "This is not a serial device: " + SystemErrorText(nError) + ".";
    default: {
        text += "Opening it failed: " + SystemErrorText(nError) + ".";
        std::string hint = OpenRefusedHint(path, nError);
        return hint.empty() ? text : text + "\n" + hint;
    }
    }
}

std::string DescribeLineFailure(int nPort, const std::string& path, int nError) {
    std::string text = DescribePortLine(DescribePort(nPort, path)) + "\n";
    if (nError == 0)
        return text + "The device hung up: the receiver was unplugged or switched off, or the "
                      "program at the other end closed the line. Stop, and start again once it "
                      "is back.";
    return text + "Reading it failed: " + SystemErrorText(nError) + ".";
}
