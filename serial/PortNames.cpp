#include "serial/PortNames.h"

#include "serial/PortSource.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefixes[] = {"ttyUSB", "ttyACM", "ttyS"};
constexpr size_t kMaxDigits = 9;

bool ParseNumber(const std::string& digits, long& nValue) {
    if (digits.empty() || digits.size() > kMaxDigits ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    nValue = std::stol(digits);
    return true;
}

// The numbers of the devices devDir/PREFIXn, in ascending order.
std::vector<std::pair<long, std::string>> NumberedDevices(const std::string& devDir,
                                                          const std::string& prefix) {
    std::vector<std::pair<long, std::string>> devices;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(devDir, ec)) {
        std::string name = entry.path().filename().string();
        long nNumber = 0;
        if (name.compare(0, prefix.size(), prefix) == 0 &&
            ParseNumber(name.substr(prefix.size()), nNumber))
            devices.emplace_back(nNumber, entry.path().string());
    }
    std::sort(devices.begin(), devices.end());
    return devices;
}

// The serial devices present, in the order COM numbers count them.
std::vector<std::string> SerialDevices(const std::string& devDir) {
    std::vector<std::string> devices;
    for (const char* pszPrefix : kPrefixes)
        for (auto& [nNumber, path] : NumberedDevices(devDir, pszPrefix))
            devices.push_back(std::move(path));
    return devices;
}

fs::path PortsDir(const char* pszHome) {
    return fs::path(pszHome) / ".velmora" / "ports";
}

// The port numbers of the links comN in the user's ports folder.
std::set<int> LinkedPorts(const char* pszHome) {
    std::set<int> ports;
    if (!pszHome || !*pszHome)
        return ports;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(PortsDir(pszHome), ec)) {
        std::string name = entry.path().filename().string();
        long nNumber = 0;
        if (name.compare(0, 3, "com") == 0 && ParseNumber(name.substr(3), nNumber) &&
            nNumber >= 1 && nNumber <= INT_MAX)
            ports.insert(static_cast<int>(nNumber));
    }
    return ports;
}

} // namespace

std::string PortDevicePath(int nPort) {
    return PortDevicePath(nPort, std::getenv("HOME"), "/dev");
}

std::string PortDevicePath(int nPort, const char* pszHome, const std::string& devDir) {
    if (nPort <= 0)
        return std::string();
    std::error_code ec;
    if (pszHome && *pszHome) {
        fs::path link = PortsDir(pszHome) / ("com" + std::to_string(nPort));
        if (fs::exists(fs::symlink_status(link, ec)))
            return link.string();
    }
    std::vector<std::string> devices = SerialDevices(devDir);
    if (static_cast<size_t>(nPort) <= devices.size())
        return devices[static_cast<size_t>(nPort - 1)];
    return std::string();
}

std::vector<PortEntry> ListPorts() {
    return ListPorts(std::getenv("HOME"), "/dev");
}

std::vector<PortEntry> ListPorts(const char* pszHome, const std::string& devDir) {
    std::set<int> ports = LinkedPorts(pszHome);
    int nDevices = static_cast<int>(std::min<size_t>(SerialDevices(devDir).size(), INT_MAX));
    for (int n = 1; n <= nDevices; ++n)
        ports.insert(n);
    std::vector<PortEntry> entries;
    for (int nPort : ports)
        entries.push_back(DescribePort(nPort, PortDevicePath(nPort, pszHome, devDir)));
    return entries;
}

PortEntry DescribePort(int nPort, const std::string& path) {
    PortEntry entry{path.empty() ? 0 : nPort, path, path, false, false, false};
    if (path.empty())
        return entry;
    if (IsSourceFile(path)) {
        PortSource source;
        std::string error;
        entry.bSource = true;
        entry.bPresent = ReadSourceFile(path, source, error);
        entry.device = entry.bPresent ? source.line : "no valid source";
        return entry;
    }
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path target = fs::read_symlink(path, ec);
        if (target.is_relative())
            target = fs::path(path).parent_path() / target;
        entry.device = target.lexically_normal().string();
        entry.bLinked = true;
    }
    entry.bPresent = fs::exists(path, ec);
    return entry;
}
