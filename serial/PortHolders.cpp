#include "serial/PortHolders.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsNumber(const char* psz) {
    return *psz && std::all_of(psz, psz + std::char_traits<char>::length(psz),
                               [](char c) { return c >= '0' && c <= '9'; });
}

std::string ProgramName(const std::string& procDir, int nPid) {
    std::ifstream in(procDir + "/" + std::to_string(nPid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name.empty() ? "an unnamed program" : name;
}

// The number of a pseudo-terminal's slave (/dev/pts/N), -1 for other devices.
int PtyIndex(const std::string& device) {
    char szReal[4096];
    if (!realpath(device.c_str(), szReal))
        return -1;
    std::string real = szReal;
    const std::string prefix = "/dev/pts/";
    if (real.compare(0, prefix.size(), prefix) != 0 || !IsNumber(real.c_str() + prefix.size()))
        return -1;
    return std::atoi(real.c_str() + prefix.size());
}

// The pseudo-terminal a master descriptor serves, from its fdinfo; -1 for anything else.
int MasterIndex(const std::string& fdDir, const std::string& fdInfoDir, const char* pszFd) {
    char szTarget[64];
    ssize_t n = readlink((fdDir + "/" + pszFd).c_str(), szTarget, sizeof szTarget - 1);
    if (n <= 0)
        return -1;
    std::string target(szTarget, static_cast<size_t>(n));
    if (target != "/dev/ptmx" && target != "/dev/pts/ptmx")
        return -1;
    std::ifstream in(fdInfoDir + "/" + pszFd);
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, 10, "tty-index:") == 0)
            return std::atoi(line.c_str() + 10);
    }
    return -1;
}

enum class EHolds { No, Yes, OtherEnd, Unreadable };

EHolds Holds(const std::string& procDir, const char* pszPid, const struct stat& device,
             int nPtyIndex) {
    std::string fdDir = procDir + "/" + pszPid + "/fd";
    DIR* pDir = opendir(fdDir.c_str());
    if (!pDir)
        return errno == ENOENT ? EHolds::No : EHolds::Unreadable;
    bool bHolds = false;
    bool bOtherEnd = false;
    while (const dirent* pEntry = readdir(pDir)) {
        if (!IsNumber(pEntry->d_name))
            continue;
        struct stat st;
        if (stat((fdDir + "/" + pEntry->d_name).c_str(), &st) != 0)
            continue;
        if (st.st_rdev == device.st_rdev && st.st_ino == device.st_ino &&
            st.st_dev == device.st_dev)
            bHolds = true;
        else if (nPtyIndex >= 0 && MasterIndex(fdDir, procDir + "/" + pszPid + "/fdinfo",
                                               pEntry->d_name) == nPtyIndex)
            bOtherEnd = true;
    }
    closedir(pDir);
    if (!bHolds)
        return EHolds::No;
    return bOtherEnd ? EHolds::OtherEnd : EHolds::Yes;
}

} // namespace

PortHolders FindPortHolders(const std::string& device, const std::string& procDir) {
    PortHolders result;
    struct stat target;
    DIR* pProc = opendir(procDir.c_str());
    if (stat(device.c_str(), &target) != 0 || !S_ISCHR(target.st_mode) || !pProc) {
        if (pProc)
            closedir(pProc);
        result.bComplete = false;
        return result;
    }
    int nPtyIndex = PtyIndex(device);
    std::string self = std::to_string(getpid());
    while (const dirent* pEntry = readdir(pProc)) {
        if (!IsNumber(pEntry->d_name) || self == pEntry->d_name)
            continue;
        switch (Holds(procDir, pEntry->d_name, target, nPtyIndex)) {
        case EHolds::Yes: {
            int nPid = std::atoi(pEntry->d_name);
            result.holders.push_back({nPid, ProgramName(procDir, nPid)});
            break;
        }
        case EHolds::Unreadable:
            result.bComplete = false;
            break;
        default:
            break;
        }
    }
    closedir(pProc);
    std::sort(result.holders.begin(), result.holders.end(),
              [](const PortHolder& a, const PortHolder& b) { return a.nPid < b.nPid; });
    return result;
}

std::vector<PortHolder> FindPrograms(const std::vector<std::string>& names,
                                     const std::string& procDir) {
    std::vector<PortHolder> found;
    DIR* pProc = opendir(procDir.c_str());
    if (!pProc)
        return found;
    while (const dirent* pEntry = readdir(pProc)) {
        if (!IsNumber(pEntry->d_name))
            continue;
        int nPid = std::atoi(pEntry->d_name);
        std::string name = ProgramName(procDir, nPid);
        if (std::find(names.begin(), names.end(), name) != names.end())
            found.push_back({nPid, name});
    }
    closedir(pProc);
    std::sort(found.begin(), found.end(),
              [](const PortHolder& a, const PortHolder& b) { return a.nPid < b.nPid; });
    return found;
}
