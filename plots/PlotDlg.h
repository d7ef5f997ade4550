// What the two plot windows share: the main window refreshes them by WM_COPYDATA, and each
// paints over a background picture it builds when it is initialised.
#pragma once

#include "platform/Dialog.h"
#include "plots/SinTable.h"

class CPlotDlg : public CDialog {
public:
    CPlotDlg(UINT nIDTemplate, CWnd* pParent);
    ~CPlotDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The refresh notification: a new frame from the main window's receiver state.
    virtual LRESULT OnCopyData(WPARAM wParam, LPARAM lParam) = 0;

    HICON m_hIcon = nullptr;
    const double* const m_dSinTable = kSinTable;
    CDC m_dcBackground;
    CBitmap m_bmpBackground;

protected:
    // A new black background picture the size of the client area, selected into
    // m_dcBackground; returns that client area.
    CRect CreateBackground();
};
