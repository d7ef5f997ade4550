#include "tools/common/InputFile.h"

#include "core/FileKind.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Refusal(mode_t mode) {
    return "it is " + FileKindName(mode) +
           ", not a regular file (give a regular file, or - for standard input)";
}

bool ReadAll(int fd, std::string& bytes, std::string& strError) {
    bytes.clear();
    char buffer[65536];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            strError = std::strerror(errno);
            return false;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

} // namespace

bool ReadInputFile(const std::string& strPath, std::string& bytes, std::string& strError) {
    if (strPath == "-")
        return ReadAll(STDIN_FILENO, bytes, strError);
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0) {
        strError = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        strError = Refusal(st.st_mode);
        return false;
    }
    // Non-blocking, should a FIFO take the file's place in between: the open cannot wait.
    int fd = open(strPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &st) != 0) {
        strError = std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return false;
    }
    bool bOk = S_ISREG(st.st_mode) && ReadAll(fd, bytes, strError);
    if (!S_ISREG(st.st_mode))
        strError = Refusal(st.st_mode);
    close(fd);
    return bOk;
}
