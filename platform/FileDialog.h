// File dialogs, with a seam through which tests and tools choose the file.
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

#include <functional>
#include <optional>
#include <string>

class CWnd;

constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;

class CFileDialog {
public:
    // pszFilter as "Description|pattern||"; strings are UTF-8 in our sources.
    CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt = nullptr,
                const char* pszFileName = nullptr, DWORD dwFlags = 0,
                const char* pszFilter = nullptr, CWnd* pParentWnd = nullptr);
    int DoModal();
    // The chosen file's full path and its name without the folder, as the file system spells
    // them (UTF-8), never converted to GBK: a name may hold letters GBK does not have.
    CString GetPathName() const { return m_strPath; }
    CString GetFileName() const;

    struct {
        const char* lpstrTitle = nullptr;
    } m_ofn;

private:
    BOOL m_bOpen;
    std::string m_strDefExt;
    std::string m_strFilter;
    DWORD m_dwFlags;
    CWnd* m_pParentWnd;
    CString m_strPath;
};

struct FileDialogCall {
    bool open;
    std::string title;  // UTF-8
    std::string filter; // UTF-8, "Description|pattern|...||"
    std::string defExt;
    DWORD flags;
    std::string folder; // where the dialog opens: the last chosen file's folder, or empty
};

// When set, file dialogs ask the hook: a path (UTF-8) is the choice, none is a cancel.
using FileDialogHook = std::function<std::optional<std::string>(const FileDialogCall&)>;
void SetFileDialogHook(FileDialogHook hook);
