// Dialog windows built from template tables in dialog units, modal or modeless, with data
// exchange, the OK and Cancel commands and control colouring.
#pragma once

#include "platform/Controls.h"
#include "platform/DialogTemplate.h"
#include "platform/Wnd.h"

#include <functional>
#include <memory>
#include <vector>

class CDialog;
class QEventLoop;

class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);

// The window menu. Linux window managers do not take items from programs, so its items are
// offered in the window's context menu.
class CMenu {
public:
    struct Item {
        UINT nFlags;
        UINT nID;
        CString strText;
    };
    BOOL AppendMenu(UINT nFlags, UINT nIDNewItem = 0, const CString& strNewItem = CString());
    const std::vector<Item>& Items() const { return m_items; }

private:
    std::vector<Item> m_items;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modal: creates the window, runs it until EndDialog and destroys it.
    virtual int DoModal();
    // Modeless: creates the window hidden (unless its template says visible).
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL DestroyWindow();
    // Deletes this object once the handlers running now have returned: for a modeless window
    // that ends itself. Nothing else may hold it by then.
    void DeleteLater();
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    CControl* GetDlgItem(int nID) const;
    void SetDlgItemText(int nID, const CString& str);
    int GetDlgItemText(int nID, CString& str) const;
    CMenu* GetSystemMenu(BOOL bRevert);
    static CWnd* GetDesktopWindow();
    UINT TemplateId() const { return m_nIDTemplate; }
    // Pixels of a rectangle given in this dialog's units.
    RECT MapDialogRect(int x, int y, int w, int h) const;
    // The dialog base units (pixels per 4 horizontal and 8 vertical dialog units).
    int BaseUnitX() const { return m_nBaseX; }
    int BaseUnitY() const { return m_nBaseY; }
    // The controls in template (and tab) order, unnamed ones included.
    const std::vector<std::unique_ptr<CControl>>& Controls() const { return m_controls; }

    // Handlers; defaults as the dialog framework has them.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnClose();
    virtual BOOL OnCommand(UINT nID);
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    BOOL OnEraseBkgnd(CDC* pDC) override;

    // Runs the window menu as a context menu at a screen point.
    void ShowSystemMenu(int x, int y);

private:
    void CreateFromTemplate(CWnd* pParentWnd);
    void ComputeBaseUnits(const DialogTemplate& tpl);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nBaseX = 8;
    int m_nBaseY = 16;
    bool m_bModal = false;
    int m_nModalResult = IDCANCEL;
    QEventLoop* m_pModalLoop = nullptr;
    std::vector<std::unique_ptr<CControl>> m_controls;
    // By id, directly: cells are reached by id many times for every sentence.
    std::vector<CControl*> m_controlsById;
    std::unique_ptr<CMenu> m_pSystemMenu;
    std::unique_ptr<CFont> m_pTemplateFont;
};

// Test and tool seam for modal dialogs: when set, DoModal creates and initialises the dialog,
// hands it to the hook instead of running it, and returns the hook's result.
using ModalHook = std::function<int(CDialog&)>;
void SetModalHook(ModalHook hook);
