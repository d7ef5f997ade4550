// A file kept open for appending, and a seam through which tests slow or fail its system calls.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

// Each Write is one write(2) with no buffer of its own: what was written is in the file once
// Write returns, and a crash of the program loses nothing of it.
class CAppendFile {
public:
    CAppendFile() = default;
    ~CAppendFile();
    CAppendFile(const CAppendFile&) = delete;
    CAppendFile& operator=(const CAppendFile&) = delete;

    // Creates the file or empties an existing one and keeps it open. Only a regular file is
    // taken: a FIFO would wait for a reader forever, a device or a folder holds no recording.
    // On failure strReason says why, in the system's words where it has them.
    bool Create(const std::string& strPath, std::string& strReason);
    bool Write(const char* pBytes, size_t nLength, std::string& strReason);
    // False when the path no longer names the open file: removed, replaced or its folder gone.
    bool IsStillAtPath(std::string& strReason) const;
    void Close();
    bool IsOpen() const { return m_hFile >= 0; }
    const std::string& Path() const { return m_strPath; }

private:
    int m_hFile = -1;
    std::string m_strPath;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

// When set, called before each system call on an append file with the call's name ("stat",
// "open", "ftruncate", "write"); a result other than 0 fails the call with that errno. Set it
// from the GUI thread while no file is open.
using FileCallHook = std::function<int(const char* pszCall)>;
void SetFileCallHook(FileCallHook hook);
