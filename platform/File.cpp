#include "platform/File.h"

#include "core/Descriptor.h"
#include "core/FileKind.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileCallHook g_hook;

// errno set as the hook asks; true when the call may go ahead.
bool MayCall(const char* pszCall) {
    if (!g_hook)
        return true;
    int nError = g_hook(pszCall);
    if (nError == 0)
        return true;
    errno = nError;
    return false;
}

// "Writing it failed: No space left on device.", in the system's words.
std::string SystemReason(const char* pszWhat, int nError) {
    char buf[256];
    return std::string(pszWhat) + " it failed: " +
           QString::fromLocal8Bit(strerror_r(nError, buf, sizeof buf)).toStdString() + ".";
}

std::string NotRegular(mode_t mode) {
    return "It is " + FileKindName(mode) +
           ", not a regular file; recordings go into regular files.";
}

} // namespace

void SetFileCallHook(FileCallHook hook) {
    g_hook = std::move(hook);
}

CAppendFile::~CAppendFile() {
    Close();
}

bool CAppendFile::Create(const std::string& strPath, std::string& strReason) {
    Close();
    // Told before opening: opening a FIFO for writing waits for a reader.
    struct stat st;
    if (MayCall("stat") && stat(strPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        strReason = NotRegular(st.st_mode);
        return false;
    }
    // Non-blocking all the same, should a FIFO take the file's place in between.
    int fd = MayCall("open")
                 ? open(strPath.c_str(),
                        O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644)
                 : -1;
    if (fd < 0) {
        strReason = SystemReason("Creating", errno);
        return false;
    }
    bool bKnown = fstat(fd, &st) == 0;
    if (!bKnown || !S_ISREG(st.st_mode)) {
        strReason = bKnown ? NotRegular(st.st_mode) : SystemReason("Creating", errno);
        close(fd);
        return false;
    }
    if (!MayCall("ftruncate") || ftruncate(fd, 0) != 0) {
        strReason = SystemReason("Emptying", errno);
        close(fd);
        return false;
    }
    m_hFile = fd;
    m_strPath = strPath;
    m_device = st.st_dev;
    m_inode = st.st_ino;
    return true;
}

bool CAppendFile::Write(const char* pBytes, size_t nLength, std::string& strReason) {
    // One call takes it all on a regular file; the loop only finishes a write the disk cut short
    // (the next call then says why).
    while (nLength > 0) {
        ssize_t n = MayCall("write") ? write(m_hFile, pBytes, nLength) : -1;
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            strReason = SystemReason("Writing", n < 0 ? errno : ENOSPC);
            return false;
        }
        pBytes += n;
        nLength -= static_cast<size_t>(n);
    }
    return true;
}

bool CAppendFile::IsStillAtPath(std::string& strReason) const {
    struct stat st;
    if (!MayCall("stat") || stat(m_strPath.c_str(), &st) != 0) {
        strReason = errno == ENOENT ? "The file was removed while recording."
                                    : SystemReason("Checking", errno);
        return false;
    }
    if (st.st_dev != m_device || st.st_ino != m_inode) {
        strReason = "The file was replaced by another while recording.";
        return false;
    }
    return true;
}

void CAppendFile::Close() {
    vbase::CloseDescriptor(m_hFile);
}
