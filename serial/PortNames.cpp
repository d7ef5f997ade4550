#include "serial/PortNames.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The numbers of the devices devDir/PREFIXn, in ascending order.
std::vector<std::pair<long, std::string>> NumberedDevices(const std::string& devDir,
                                                          const std::string& prefix) {
    std::vector<std::pair<long, std::string>> devices;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(devDir, ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string digits = name.substr(prefix.size());
        if (digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        devices.emplace_back(std::stol(digits), entry.path().string());
    }
    std::sort(devices.begin(), devices.end());
    return devices;
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
        fs::path link = fs::path(pszHome) / ".velmora" / "ports" / ("com" + std::to_string(nPort));
        if (fs::exists(fs::symlink_status(link, ec)))
            return link.string();
    }
    int nIndex = nPort;
    for (const char* pszPrefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        auto devices = NumberedDevices(devDir, pszPrefix);
        if (nIndex <= static_cast<int>(devices.size()))
            return devices[static_cast<size_t>(nIndex - 1)].second;
        nIndex -= static_cast<int>(devices.size());
    }
    return std::string();
}
