#include "serial/PortSource.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace {

// A source line is short; anything longer is no source file.
constexpr std::streamsize kMaxFileBytes = 1024;
constexpr const char* kForms = "tcp://HOST:PORT or gpsd://HOST[:PORT][/DEVICE]";

std::string Trimmed(const std::string& text) {
    size_t nBegin = text.find_first_not_of(" \t\r");
    if (nBegin == std::string::npos)
        return std::string();
    return text.substr(nBegin, text.find_last_not_of(" \t\r") + 1 - nBegin);
}

bool HasSpaceOrControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7f; });
}

// "70000" and "x" are no ports; "1" to "65535" are.
bool ParsePort(const std::string& text, int& nPort) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    nPort = std::atoi(text.c_str());
    return nPort >= 1 && nPort <= 65535;
}

// Splits "HOST[:PORT]" or "[V6]:PORT"; bHasPort tells whether a port was written.
bool SplitAuthority(const std::string& authority, std::string& host, std::string& port,
                    bool& bHasPort, std::string& error) {
    size_t nPortAt = std::string::npos;
    if (!authority.empty() && authority[0] == '[') {
        size_t nClose = authority.find(']');
        if (nClose == std::string::npos) {
            error = "the address " + authority + " lacks its closing ']'";
            return false;
        }
        host = authority.substr(1, nClose - 1);
        if (nClose + 1 < authority.size()) {
            if (authority[nClose + 1] != ':') {
                error = "'" + authority.substr(nClose + 1) + "' after the address is no port";
                return false;
            }
            nPortAt = nClose + 1;
        }
    } else {
        nPortAt = authority.find(':');
        host = authority.substr(0, nPortAt);
        if (nPortAt != std::string::npos && authority.find(':', nPortAt + 1) != std::string::npos) {
            error = "an IPv6 address is written in brackets, as [::1]:10110";
            return false;
        }
    }
    bHasPort = nPortAt != std::string::npos;
    port = bHasPort ? authority.substr(nPortAt + 1) : std::string();
    if (host.empty()) {
        error = "it names no host";
        return false;
    }
    return true;
}

// Checks the parts after the scheme of a source of the given kind.
bool ParseRest(const std::string& rest, PortSource& source, std::string& error) {
    size_t nSlash = rest.find('/');
    std::string port;
    bool bHasPort = false;
    if (!SplitAuthority(rest.substr(0, nSlash), source.host, port, bHasPort, error))
        return false;
    bool bTcp = source.eKind == ESourceKind::Tcp;
    if (!bHasPort && bTcp) {
        error = "it has no port: write tcp://" + source.host + ":PORT";
        return false;
    }
    source.nNetPort = kGpsdDefaultPort;
    if (bHasPort && !ParsePort(port, source.nNetPort)) {
        error = "the port '" + port + "' is not a number from 1 to 65535";
        return false;
    }
    if (nSlash != std::string::npos) {
        if (bTcp) {
            error = "a tcp source names no device: write tcp://HOST:PORT";
            return false;
        }
        source.device = rest.substr(nSlash);
        if (source.device.size() < 2) {
            error = "the device after the host is empty";
            return false;
        }
    }
    return true;
}

} // namespace

std::string AbbreviatedPath(const std::string& path) {
    const char* pszHome = std::getenv("HOME");
    std::string home = pszHome ? pszHome : "";
    if (home.size() > 1 && path.compare(0, home.size() + 1, home + "/") == 0)
        return "~" + path.substr(home.size());
    return path;
}

bool IsSourceFile(const std::string& path) {
    const std::string folder = "/.velmora/ports/";
    size_t nSlash = path.rfind('/');
    struct stat st;
    return nSlash != std::string::npos && nSlash + 1 >= folder.size() &&
           path.compare(nSlash + 1 - folder.size(), folder.size(), folder) == 0 &&
           lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ParseSourceLine(const std::string& line, PortSource& source, std::string& error) {
    source.line = line;
    source.host.clear();
    source.device.clear();
    if (HasSpaceOrControl(line)) {
        error = "'" + line + "' has a space or a control character in it";
        return false;
    }
    size_t nScheme = line.find("://");
    std::string scheme = nScheme == std::string::npos ? std::string() : line.substr(0, nScheme);
    if (scheme == "tcp") {
        source.eKind = ESourceKind::Tcp;
    } else if (scheme == "gpsd") {
        source.eKind = ESourceKind::Gpsd;
    } else {
        error = "'" + line + "' is no source this program reads: write " + kForms;
        return false;
    }
    if (!ParseRest(line.substr(nScheme + 3), source, error)) {
        error = "'" + line + "': " + error;
        return false;
    }
    return true;
}

bool ReadSourceFile(const std::string& path, PortSource& source, std::string& error) {
    source.path = path;
    std::string where = AbbreviatedPath(path);
    std::ifstream in(path, std::ios::binary);
    std::string text(kMaxFileBytes + 1, '\0');
    in.read(&text[0], kMaxFileBytes + 1);
    if (in.bad() || (!in && !in.eof())) {
        error = where + " cannot be read.";
        return false;
    }
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > static_cast<size_t>(kMaxFileBytes)) {
        error = where + " is too long for a source file: it holds one line, " + kForms + ".";
        return false;
    }
    // The lines that hold anything, with their numbers.
    std::vector<std::pair<int, std::string>> lines;
    int nLine = 0;
    for (size_t nBegin = 0; nBegin <= text.size();) {
        size_t nEnd = std::min(text.find('\n', nBegin), text.size());
        ++nLine;
        std::string trimmed = Trimmed(text.substr(nBegin, nEnd - nBegin));
        if (!trimmed.empty())
            lines.emplace_back(nLine, trimmed);
        nBegin = nEnd + 1;
    }
    if (lines.empty()) {
        error = where + " is empty: write one line, " + kForms + ".";
        return false;
    }
    if (lines.size() > 1) {
        error = where + " line " + std::to_string(lines[1].first) +
                ": a source file holds one line only, and line " + std::to_string(lines[0].first) +
                " is already the source.";
        return false;
    }
    if (!ParseSourceLine(lines[0].second, source, error)) {
        error = where + " line " + std::to_string(lines[0].first) + ": " + error + ".";
        return false;
    }
    return true;
}

std::string GpsdWatchCommand(const PortSource& source) {
    std::string command = "?WATCH={\"enable\":true,\"nmea\":true";
    if (!source.device.empty()) {
        // The line holds no spaces or control characters; quotes and backslashes are escaped.
        std::string escaped;
        for (char c : source.device) {
            if (c == '"' || c == '\\')
                escaped += '\\';
            escaped += c;
        }
        command += ",\"device\":\"" + escaped + "\"";
    }
    return command + "}\n";
}
