// Controls of a dialog, created from template entries and reached by id.
#pragma once

#include "platform/DialogTemplate.h"
#include "platform/Wnd.h"

class CDialog;
class CMonitorEdit;
class CReadOnlyEdit;
class QSlider;

// One control of a dialog. Text is kept in GBK; the widget shows its Unicode form.
class CControl : public CWnd {
public:
    CControl(CDialog* pDialog, const ControlTemplate& tpl);

    ControlKind Kind() const { return m_kind; }
    unsigned Styles() const { return m_nStyles; }
    CDialog* Dialog() const { return m_pDialog; }
    // The control kind its colours are asked for with (CTLCOLOR_*).
    UINT CtlColorKind() const;

    void SetWindowText(const CString& str) override;
    void GetWindowText(CString& str) const override;
    int GetWindowTextLength() const override;

    // Check boxes.
    int GetCheck() const;
    void SetCheck(int nCheck);

    void CreateWidget(QWidget* pParent, const ControlTemplate& tpl);

private:
    // The widget of an edit with the read-only style, which is always one; else null.
    CReadOnlyEdit* ReadOnlyEdit() const;

    CDialog* m_pDialog;
    ControlKind m_kind;
    unsigned m_nStyles;
    CString m_strText;
};

// The trackbar, bound to a control by data exchange.
class CSliderCtrl : public CWnd {
public:
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void SetTicFreq(int nFreq);
    int SetLineSize(int nSize);
    int SetPageSize(int nSize);
    int GetPos() const;
    void SetPos(int nPos);
    int GetRangeMin() const;
    int GetRangeMax() const;

private:
    QSlider* Slider() const;
};

// The rich-edit monitor, bound to a control by data exchange.
class CRichEditCtrl : public CWnd {
public:
    // Puts the text at the caret, replacing the selection (EM_REPLACESEL).
    void ReplaceSel(const CString& str, BOOL bCanUndo = FALSE);
    void SetSel(int nStart, int nEnd);
    void GetSel(int& nStart, int& nEnd) const;
    // Keeps at most this many lines; the oldest go first. 0 keeps all.
    void SetLineLimit(int nLines);
    int GetLineCount() const;

private:
    // The editor with everything put at its caret laid out.
    CMonitorEdit* Editor() const;
};
