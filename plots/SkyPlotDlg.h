// The sky plot window.
#pragma once

#include "platform/Dialog.h"

class CSkyPlotDlg : public CDialog {
public:
    explicit CSkyPlotDlg(CWnd* pParent = nullptr);
};
