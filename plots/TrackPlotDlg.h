// The track plot window.
#pragma once

#include "platform/Dialog.h"

class CTrackPlotDlg : public CDialog {
public:
    explicit CTrackPlotDlg(CWnd* pParent = nullptr);
};
