#include "platform/Dialog.h"

#include "platform/App.h"
#include "platform/GuiThread.h"

#include <QApplication>
#include <QBasicTimer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

ModalHook g_modalHook;

// The top-level widget of a dialog: forwards what the window system tells it to the dialog.
class CDialogWidget : public QWidget {
public:
    CDialogWidget(CDialog* pDialog, QWidget* pParent, Qt::WindowFlags flags)
        : QWidget(pParent, flags), m_pDialog(pDialog) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void Detach() { m_pDialog = nullptr; }

protected:
    // A window is painted at most every kPaintInterval: a fast line changes the controls and
    // plots hundreds of times a second, more often than any screen shows, and painting each
    // change would take the time the decoding needs. An update asked for sooner is deferred,
    // never dropped.
    bool event(QEvent* e) override {
        if (e->type() == QEvent::Show && windowHandle())
            windowHandle()->installEventFilter(this);
        if (e->type() == QEvent::UpdateRequest && m_paintClock.isValid() &&
            m_paintClock.elapsed() < kPaintInterval) {
            if (!m_deferredPaint.isActive())
                m_deferredPaint.start(kPaintInterval - static_cast<int>(m_paintClock.elapsed()),
                                      this);
            return true;
        }
        if (e->type() == QEvent::UpdateRequest)
            m_paintClock.start();
        return QWidget::event(e);
    }
    // A window back on the screen (restored, back from another desktop) shows what it last
    // painted, apart from what was marked changed meanwhile; controls off the screen keep
    // new texts without marking themselves. So the window is painted whole when it is back.
    bool eventFilter(QObject* pWatched, QEvent* e) override {
        if (e->type() == QEvent::Expose && pWatched == windowHandle()) {
            bool bExposed = windowHandle()->isExposed();
            if (bExposed && !m_bExposed && m_pDialog)
                m_pDialog->Invalidate();
            m_bExposed = bExposed;
        }
        return false;
    }
    void paintEvent(QPaintEvent*) override {
        if (m_pDialog)
            CWndEvents::Paint(m_pDialog, this);
    }
    void timerEvent(QTimerEvent* e) override {
        if (e->timerId() == m_deferredPaint.timerId()) {
            m_deferredPaint.stop();
            QEvent request(QEvent::UpdateRequest);
            event(&request);
            return;
        }
        if (m_pDialog)
            CWndEvents::Timer(m_pDialog, e->timerId());
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (!m_pDialog)
            return;
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            // Enter presses the focused push button, otherwise the default one (OK).
            if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && b->isVisible())
                b->click();
            else
                m_pDialog->OnCommand(IDOK);
        } else if (e->key() == Qt::Key_Escape) {
            m_pDialog->OnCommand(IDCANCEL);
        } else {
            QWidget::keyPressEvent(e);
        }
    }
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        if (m_pDialog)
            m_pDialog->OnClose();
    }
    void contextMenuEvent(QContextMenuEvent* e) override {
        if (m_pDialog)
            m_pDialog->ShowSystemMenu(e->globalPos().x(), e->globalPos().y());
    }
    void mousePressEvent(QMouseEvent* e) override { Click(e, &CWnd::OnLButtonDown); }
    // A right double click counts as a second press, as the window system reports it.
    void mouseDoubleClickEvent(QMouseEvent* e) override { Click(e, &CWnd::OnLButtonDblClk); }

private:
    // A left button goes to its handler, a right one to OnRButtonDown.
    void Click(QMouseEvent* e, void (CWnd::*pOnLeft)(UINT, CPoint)) {
        if (!m_pDialog)
            return;
        CPoint pt(static_cast<int>(e->position().x()), static_cast<int>(e->position().y()));
        if (e->button() == Qt::LeftButton)
            (m_pDialog->*pOnLeft)(0, pt);
        else if (e->button() == Qt::RightButton)
            m_pDialog->OnRButtonDown(0, pt);
    }

    static constexpr int kPaintInterval = 20;
    CDialog* m_pDialog;
    bool m_bExposed = false;
    QElapsedTimer m_paintClock;
    QBasicTimer m_deferredPaint;
};

int MulDiv(int a, int b, int c) {
    long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

CBrush& FaceBrush() {
    static CBrush brush(RGB(240, 240, 240));
    return brush;
}

CBrush& WindowBrush() {
    static CBrush brush(RGB(255, 255, 255));
    return brush;
}

} // namespace

void SetModalHook(ModalHook hook) {
    g_modalHook = std::move(hook);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.IsCreated())
        return;
    if (CControl* pControl = pDX->m_pDlgWnd->GetDlgItem(nIDC))
        rControl.Attach(pControl->Widget(), nIDC);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    CControl* pControl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (!pControl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = pControl->GetCheck();
    else
        pControl->SetCheck(value);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    CControl* pControl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    auto* pCombo = pControl ? qobject_cast<QComboBox*>(pControl->Widget()) : nullptr;
    if (!pCombo)
        return;
    if (pDX->m_bSaveAndValidate) {
        pControl->GetWindowText(value);
        return;
    }
    // Selects the first item that starts with the text, as a drop-down list does.
    QString text = value.ToUnicode();
    for (int i = 0; i < pCombo->count(); ++i) {
        if (pCombo->itemText(i).startsWith(text)) {
            pCombo->setCurrentIndex(i);
            return;
        }
    }
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT nIDNewItem, const CString& strNewItem) {
    m_items.push_back({nFlags, nIDNewItem, strNewItem});
    return TRUE;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    DestroyWindow();
}

void CDialog::ComputeBaseUnits(const DialogTemplate& tpl) {
    m_pTemplateFont = std::make_unique<CFont>();
    m_pTemplateFont->CreatePointFont(tpl.fontPoints * 10, CString::FromUtf8(tpl.fontFace));
    if (tpl.twoPixelsPerUnit) {
        m_nBaseX = 8;
        m_nBaseY = 16;
        return;
    }
    QFontMetrics fm(m_pTemplateFont->Font());
    int total = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = (total / 26 + 1) / 2;
    m_nBaseY = fm.height();
}

RECT CDialog::MapDialogRect(int x, int y, int w, int h) const {
    return RECT{MulDiv(x, m_nBaseX, 4), MulDiv(y, m_nBaseY, 8), MulDiv(x + w, m_nBaseX, 4),
                MulDiv(y + h, m_nBaseY, 8)};
}

void CDialog::CreateFromTemplate(CWnd* pParentWnd) {
    const DialogTemplate* pTpl = FindDialogTemplate(static_cast<int>(m_nIDTemplate));
    if (!pTpl || IsCreated())
        return;
    ComputeBaseUnits(*pTpl);
    QWidget* pParent = pParentWnd ? pParentWnd->Widget() : nullptr;
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (pTpl->styles & DS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    auto* w = new CDialogWidget(this, pParent, flags);
    w->setWindowTitle(QString::fromUtf8(pTpl->caption));
    w->setFont(m_pTemplateFont->Font());
    RECT client = MapDialogRect(0, 0, pTpl->cx, pTpl->cy);
    w->setFixedSize(client.right, client.bottom);
    Attach(w, 0);
    m_bOwnsWidget = true;
    for (const ControlTemplate& ct : pTpl->controls) {
        auto pControl = std::make_unique<CControl>(this, ct);
        pControl->CreateWidget(w, ct);
        RECT rc = MapDialogRect(ct.x, ct.y, ct.w, ct.h);
        QWidget* cw = pControl->Widget();
        int width = rc.right - rc.left;
        int height = rc.bottom - rc.top;
        // A drop-down list is as high as its font needs, and wide enough to show its longest
        // entry whole beside its arrow.
        if (ct.kind == ControlKind::ComboDropList) {
            width = std::max(width, cw->sizeHint().width());
            height = cw->sizeHint().height();
        }
        if (ct.kind == ControlKind::Picture || ct.kind == ControlKind::Icon)
            cw->move(rc.left, rc.top);
        else
            cw->setGeometry(rc.left, rc.top, width, height);
        if (ct.id >= 0) {
            auto nIndex = static_cast<size_t>(ct.id);
            if (nIndex >= m_controlsById.size())
                m_controlsById.resize(nIndex + 1);
            // Of two controls with one id, the first is the one found.
            if (!m_controlsById[nIndex])
                m_controlsById[nIndex] = pControl.get();
        }
        m_controls.push_back(std::move(pControl));
    }
}

int CDialog::DoModal() {
    AssertGuiThread();
    CWnd* pParent = m_pParentWnd;
    if (!pParent && AfxGetMainWnd() != this)
        pParent = AfxGetMainWnd();
    CreateFromTemplate(pParent);
    if (!IsCreated())
        return -1;
    m_bModal = true;
    m_nModalResult = IDCANCEL;
    OnInitDialog();
    if (g_modalHook) {
        int result = g_modalHook(*this);
        DestroyWindow();
        return result;
    }
    if (pParent)
        m_pWidget->setWindowModality(Qt::ApplicationModal);
    m_pWidget->show();
    QEventLoop loop;
    m_pModalLoop = &loop;
    if (m_bModal)
        loop.exec();
    m_pModalLoop = nullptr;
    DestroyWindow();
    return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    AssertGuiThread();
    m_nIDTemplate = nIDTemplate;
    CreateFromTemplate(pParentWnd == GetDesktopWindow() ? nullptr : pParentWnd);
    if (!IsCreated())
        return FALSE;
    m_bModal = false;
    OnInitDialog();
    const DialogTemplate* pTpl = FindDialogTemplate(static_cast<int>(nIDTemplate));
    if (pTpl->styles & DS_VISIBLE)
        m_pWidget->show();
    return TRUE;
}

BOOL CDialog::DestroyWindow() {
    if (!IsCreated())
        return FALSE;
    if (auto* w = static_cast<CDialogWidget*>(m_pWidget)) {
        w->Detach();
        w->hide();
    }
    QWidget* pWidget = m_pWidget;
    m_bOwnsWidget = false;
    DestroyWidget();
    m_controlsById.clear();
    m_controls.clear();
    // The widget may be inside one of its own event handlers: it goes when they have returned.
    pWidget->deleteLater();
    return TRUE;
}

void CDialog::DeleteLater() {
    QTimer::singleShot(0, QCoreApplication::instance(), [this] { delete this; });
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    if (m_pWidget)
        m_pWidget->hide();
    if (m_bModal) {
        m_bModal = false;
        if (m_pModalLoop)
            m_pModalLoop->exit(nResult);
    }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

CControl* CDialog::GetDlgItem(int nID) const {
    auto nIndex = static_cast<size_t>(nID);
    return nID >= 0 && nIndex < m_controlsById.size() ? m_controlsById[nIndex] : nullptr;
}

void CDialog::SetDlgItemText(int nID, const CString& str) {
    if (CControl* pControl = GetDlgItem(nID))
        pControl->SetWindowText(str);
}

int CDialog::GetDlgItemText(int nID, CString& str) const {
    if (CControl* pControl = GetDlgItem(nID))
        pControl->GetWindowText(str);
    else
        str.Empty();
    return str.GetLength();
}

CMenu* CDialog::GetSystemMenu(BOOL) {
    const DialogTemplate* pTpl = FindDialogTemplate(static_cast<int>(m_nIDTemplate));
    if (!pTpl || !(pTpl->styles & DS_SYSMENU))
        return nullptr;
    if (!m_pSystemMenu)
        m_pSystemMenu = std::make_unique<CMenu>();
    return m_pSystemMenu.get();
}

CWnd* CDialog::GetDesktopWindow() {
    static CWnd desktop;
    return &desktop;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnClose() {
    OnCommand(IDCANCEL);
}

BOOL CDialog::OnCommand(UINT nID) {
    if (nID == IDOK)
        OnOK();
    else if (nID == IDCANCEL)
        OnCancel();
    return TRUE;
}

void CDialog::OnSysCommand(UINT, LPARAM) {}

HBRUSH CDialog::OnCtlColor(CDC* pDC, CWnd*, UINT nCtlColor) {
    if (nCtlColor == CTLCOLOR_EDIT) {
        pDC->SetBkColor(RGB(255, 255, 255));
        return WindowBrush();
    }
    pDC->SetBkColor(RGB(240, 240, 240));
    return FaceBrush();
}

void CDialog::OnHScroll(UINT, UINT, CWnd*) {}

BOOL CDialog::OnEraseBkgnd(CDC* pDC) {
    CDC colours;
    HBRUSH hBrush = OnCtlColor(&colours, this, CTLCOLOR_DLG);
    RECT rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(0, 0, rc.right, rc.bottom, hBrush ? hBrush->Color() : RGB(240, 240, 240));
    return TRUE;
}

void CDialog::ShowSystemMenu(int x, int y) {
    if (!m_pSystemMenu || m_pSystemMenu->Items().empty())
        return;
    QMenu menu(m_pWidget);
    for (const CMenu::Item& item : m_pSystemMenu->Items()) {
        if (item.nFlags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        UINT nID = item.nID;
        QString text = item.strText.ToUnicode();
        menu.addAction(text, [this, nID] { OnSysCommand(nID, 0); });
    }
    menu.exec(QPoint(x, y));
}
