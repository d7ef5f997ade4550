// The main window, whose receiver state the plot windows read at every refresh and paint.
#pragma once

#include "app/ViewerDlg.h"
#include "platform/App.h"

inline CViewerDlg& MainWindow() {
    return *static_cast<CViewerDlg*>(AfxGetApp()->GetMainWnd());
}
