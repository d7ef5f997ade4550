// The application object: one global instance, whose InitInstance runs the program.
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    CWnd* GetMainWnd() const { return m_pMainWnd; }
    const CString& AppName() const { return m_strAppName; }

    CWnd* m_pMainWnd = nullptr;

private:
    CString m_strAppName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
