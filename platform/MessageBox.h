// Message boxes, with a seam through which tests and tools record them instead of showing them.
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

#include <QFontMetrics>
#include <QString>
#include <functional>
#include <string>

class CWnd;

// The framework's box: the application's name as caption. strDetail (UTF-8, may be empty) is
// shown under the text: what the system said and what the user can do, where the text alone
// cannot tell it on this system.
int AfxMessageBox(const CString& strText, UINT nType = MB_OK,
                  const std::string& strDetail = std::string());
// A plain box with its own caption; no owner window when pOwner is null.
int MessageBox(CWnd* pOwner, const CString& strText, const CString& strCaption, UINT nType,
               const std::string& strDetail = std::string());

// The detail as a box shows it: each line broken at spaces only, so that a device path or a
// command stays whole on its line even where that is wider than nWidth pixels. Leading
// spaces (an indented command) are kept on every line they continue to.
QString WrapBetweenWords(const QString& text, const QFontMetrics& fm, int nWidth);

struct MessageBoxCall {
    std::string text;    // UTF-8
    std::string caption; // UTF-8
    UINT type;
    std::string detail; // UTF-8; empty when the box has none
};

// When set, boxes go to the hook instead of the screen and its result is the button pressed.
// Boxes are raised on the GUI thread either way (a worker hands its box over and waits), so the
// hook runs there too. Set it from the GUI thread.
using MessageBoxHook = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxHook(MessageBoxHook hook);
bool HasMessageBoxHook();
