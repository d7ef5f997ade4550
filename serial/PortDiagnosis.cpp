#include "serial/PortDiagnosis.h"

#include "serial/PortSource.h"

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

// A device name split as /dev/ttyS + 12; number -1 when it ends in no digits.
std::pair<std::string, long> SplitNumber(const std::string& device) {
    size_t nDigits = device.find_last_not_of("0123456789") + 1;
    if (nDigits == device.size() || device.size() - nDigits > 9)
        return {device, -1};
    return {device.substr(0, nDigits), std::stol(device.substr(nDigits))};
}

// The group that may open the device: its owner group, or dialout, which owns serial devices
// on Debian, when the device is not there to ask or belongs to root's group.
std::string DeviceGroup(const struct stat* pStat) {
    if (pStat && pStat->st_gid != 0) {
        if (const group* pGroup = getgrgid(pStat->st_gid))
            return pGroup->gr_name;
    }
    return "dialout";
}

// A device only root may open (root's, mode 0600): joining a group cannot help, a udev rule
// that gives it one can.
bool IsRootOnly(const struct stat& st) {
    return st.st_uid == 0 && (st.st_mode & (S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH)) == 0;
}

std::string PermissionHint(const std::string& path) {
    struct stat st;
    bool bKnown = stat(path.c_str(), &st) == 0;
    if (bKnown && IsRootOnly(st)) {
        char szReal[4096];
        std::string device = realpath(path.c_str(), szReal) ? szReal : path;
        std::string name = device.substr(device.rfind('/') + 1);
        return "Only root may open this device, so joining a group cannot help. Give it the "
               "dialout group with a udev rule, for example in "
               "/etc/udev/rules.d/70-gps-receiver.rules:\n    KERNEL==\"" +
               name +
               "\", GROUP=\"dialout\", MODE=\"0660\"\nthen run\n    sudo udevadm control "
               "--reload && sudo udevadm trigger\n(or, until the device is plugged in again: "
               "sudo chgrp dialout " +
               device + " && sudo chmod 0660 " + device +
               "), join the group with\n    sudo adduser $USER dialout\nand log out and in again.";
    }
    std::string group = DeviceGroup(bKnown ? &st : nullptr);
    return "Serial devices can be opened by the members of the group that owns them (" + group +
           "). Join it with\n    sudo adduser $USER " + group + "\nthen log out and in again.";
}

std::string OpenRefusedHint(const std::string& path, int nError) {
    switch (nError) {
    case EACCES:
    case EPERM:
        return PermissionHint(path);
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

// Advice for a device held by the program named.
std::string HolderAdvice(int nPort, const PortHolder& holder) {
    std::string com = std::to_string(nPort);
    if (holder.program == "gpsd")
        return "gpsd serves the receiver to every program that asks. Read it through gpsd: "
               "make COM" +
               com + " gpsd's stream with\n    echo gpsd://localhost > ~/.velmora/ports/com" + com +
               "\nand start again; or stop gpsd (sudo systemctl stop gpsd.socket gpsd) to "
               "read the device directly.";
    if (holder.program == "ModemManager")
        return "ModemManager probes new devices for modems and lets go after a few seconds: "
               "start again then. To keep it away from the receiver, add "
               "ENV{ID_MM_DEVICE_IGNORE}=\"1\" for the device in a udev rule, or stop it "
               "(sudo systemctl stop ModemManager).";
    return "Close " + holder.program + " or stop its use of the port, and start again.";
}

std::string HolderText(const PortHolder& holder) {
    return holder.program + " (process " + std::to_string(holder.nPid) + ")";
}

// For a claim whose holder is hidden from this user: the usual suspects that run now.
std::string SuspectsText() {
    std::vector<PortHolder> suspects = FindPrograms({"gpsd", "ModemManager"});
    if (suspects.empty())
        return std::string();
    std::string text = "\nRunning now, and known to hold receivers: " + HolderText(suspects[0]);
    for (size_t i = 1; i < suspects.size(); ++i)
        text += ", " + HolderText(suspects[i]);
    return text + ".";
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
        line += " (by the link " + AbbreviatedPath(entry.path) + ")";
    if (entry.bSource)
        line += " (by the file " + AbbreviatedPath(entry.path) + ")";
    if (!entry.bPresent && !entry.bSource)
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
        return text +
               "The device is busy: another program has opened it for itself. Close that "
               "program or stop its use of the port, and start again." +
               SuspectsText();
    case EPortFailure::StaleClaim:
        return text + "The device is still marked as taken by a program that has ended without "
                      "letting it go; no program has it open now. Unplug the receiver and plug "
                      "it in again (for a simulated receiver: restart the simulator) to clear "
                      "the mark.";
    case EPortFailure::NotSerial:
        return text + "This is not a serial device: " + SystemErrorText(nError) + ".";
    default: {
        text += "Opening it failed: " + SystemErrorText(nError) + ".";
        std::string hint = OpenRefusedHint(path, nError);
        return hint.empty() ? text : text + "\n" + hint;
    }
    }
}

std::string DescribeSharedDevice(int nPort, const std::string& path,
                                 const std::vector<PortHolder>& holders) {
    std::string text = DescribePortLine(DescribePort(nPort, path)) + "\nThe device is in use by " +
                       HolderText(holders[0]);
    for (size_t i = 1; i < holders.size(); ++i)
        text += ", " + HolderText(holders[i]);
    text += ". A serial port is read by one program at a time: two readers would each get part "
            "of the stream.\n";
    return text + HolderAdvice(nPort, holders[0]);
}

std::string DescribeSourceFailure(const std::string& fileError) {
    return fileError + "\nA source file holds one line: tcp://HOST:PORT for NMEA from a TCP "
                       "server, gpsd://HOST[:PORT][/DEVICE] for the NMEA of a running gpsd.";
}

std::string DescribeConnectFailure(int nPort, const std::string& path, const std::string& reason,
                                   bool bGpsd) {
    std::string text =
        DescribePortLine(DescribePort(nPort, path)) + "\nConnecting failed: " + reason + ".";
    if (bGpsd)
        return text + "\nIs gpsd running and listening there? (systemctl status gpsd; gpsd "
                      "listens on port 2947 of this machine unless told otherwise.)";
    return text + "\nIs the server running and listening on that port?";
}

std::string DescribeLineFailure(int nPort, const std::string& path, int nError) {
    PortEntry entry = DescribePort(nPort, path);
    std::string text = DescribePortLine(entry) + "\n";
    if (nError == 0 && entry.bSource)
        return text + "The connection was closed by the other side: the server stopped or "
                      "dropped this client. Stop, and start again once it is back.";
    if (nError == 0)
        return text + "The device hung up: the receiver was unplugged or switched off, or the "
                      "program at the other end closed the line. Stop, and start again once it "
                      "is back.";
    return text + "Reading it failed: " + SystemErrorText(nError) + ".";
}
