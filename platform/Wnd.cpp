#include "platform/Wnd.h"

#include "platform/Colours.h"
#include "platform/GuiThread.h"

#include <QBasicTimer>
#include <QIcon>
#include <QPainter>
#include <QWidget>

CWnd::~CWnd() {
    m_pSurfacePainter.reset();
    DestroyWidget();
}

void CWnd::Attach(QWidget* pWidget, int nId) {
    m_pWidget = pWidget;
    m_nId = nId;
}

void CWnd::DestroyWidget() {
    m_timers.clear();
    m_timerPeriods.clear();
    if (m_bOwnsWidget)
        delete m_pWidget;
    m_pWidget = nullptr;
    m_bOwnsWidget = false;
}

void CWnd::SetWindowText(const CString& str) {
    AssertGuiThread();
    if (m_pWidget)
        m_pWidget->setWindowTitle(str.ToUnicode());
}

void CWnd::GetWindowText(CString& str) const {
    AssertGuiThread();
    str = m_pWidget ? CString::FromUnicode(m_pWidget->windowTitle()) : CString();
}

int CWnd::GetWindowTextLength() const {
    CString str;
    GetWindowText(str);
    return str.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    // Giving a widget its font again costs a style pass; the same font changes nothing.
    if (pFont == m_pFont && m_pWidget && pFont && m_pWidget->font() == pFont->Font())
        return;
    m_pFont = pFont;
    if (m_pWidget && pFont && pFont->IsValid()) {
        m_pWidget->setFont(pFont->Font());
        if (bRedraw)
            m_pWidget->update();
    }
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    AssertGuiThread();
    if (!m_pWidget)
        return FALSE;
    BOOL bWasVisible = m_pWidget->isVisible();
    if (nCmdShow == SW_HIDE) {
        m_pWidget->hide();
    } else {
        bool bActivate = nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE;
        m_pWidget->setAttribute(Qt::WA_ShowWithoutActivating, !bActivate);
        m_pWidget->show();
        if (bActivate)
            m_pWidget->activateWindow();
    }
    return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_pWidget && m_pWidget->isVisible();
}

BOOL CWnd::IsIconic() const {
    return m_pWidget && m_pWidget->isMinimized();
}

// Window managers own the frames of top-level windows, so a window's rectangle is its client
// area in screen coordinates; sizes given to SetWindowPos are client sizes likewise.
void CWnd::GetWindowRect(RECT* pRect) const {
    if (!m_pWidget)
        return;
    QRect r = m_pWidget->geometry();
    if (!m_pWidget->isWindow())
        r.moveTopLeft(m_pWidget->parentWidget()->mapToGlobal(r.topLeft()));
    *pRect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CWnd::GetClientRect(RECT* pRect) const {
    if (m_pWidget)
        *pRect = RECT{0, 0, m_pWidget->width(), m_pWidget->height()};
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT nFlags) {
    if (!m_pWidget)
        return FALSE;
    if (!(nFlags & SWP_NOSIZE)) {
        QSize client(cx, cy);
        if (m_pWidget->minimumSize() == m_pWidget->maximumSize())
            m_pWidget->setFixedSize(client);
        else
            m_pWidget->resize(client);
    }
    if (!(nFlags & SWP_NOMOVE))
        m_pWidget->move(x, y);
    return TRUE;
}

// The whole window is painted again, its controls included: Qt would leave opaque child
// widgets as they are, and with them colours that changed with the state.
void CWnd::Invalidate(BOOL) {
    if (!m_pWidget)
        return;
    m_pWidget->update();
    for (QWidget* pChild : m_pWidget->findChildren<QWidget*>()) {
        if (!pChild->isWindow())
            pChild->update();
    }
}

void CWnd::SetIcon(HICON hIcon, BOOL) {
    if (m_pWidget && hIcon)
        m_pWidget->setWindowIcon(*hIcon);
}

UINT CWnd::SetTimer(UINT nIDEvent, UINT nElapse, void*) {
    AssertGuiThread();
    if (!m_pWidget)
        return 0;
    auto& pTimer = m_timers[nIDEvent];
    if (!pTimer)
        pTimer = std::make_unique<QBasicTimer>();
    pTimer->start(static_cast<int>(nElapse), Qt::PreciseTimer, m_pWidget);
    m_timerPeriods[nIDEvent] = static_cast<int>(nElapse);
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT nIDEvent) {
    AssertGuiThread();
    auto it = m_timers.find(nIDEvent);
    if (it == m_timers.end() || !it->second->isActive())
        return FALSE;
    it->second->stop();
    return TRUE;
}

bool CWnd::IsTimerRunning(UINT nIDEvent) const {
    auto it = m_timers.find(nIDEvent);
    return it != m_timers.end() && it->second->isActive();
}

int CWnd::TimerPeriod(UINT nIDEvent) const {
    auto it = m_timerPeriods.find(nIDEvent);
    return IsTimerRunning(nIDEvent) && it != m_timerPeriods.end() ? it->second : 0;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    AssertGuiThread();
    return WindowProc(message, wParam, lParam);
}

void CWnd::EndMessageRun() {
    if (--m_nMessageRuns == 0)
        OnMessageRunEnd();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM, LPARAM) {
    if (message == WM_TIMER)
        return 0;
    return Default();
}

LRESULT CWnd::Default() {
    return 0;
}

// The surface has the screen's pixels: on a high-density screen more than the window's size.
QImage* CWnd::Surface() {
    if (!m_pWidget)
        return &m_surface;
    qreal dScale = m_pWidget->devicePixelRatioF();
    QSize size = (QSizeF(m_pWidget->size()) * dScale).toSize();
    if (m_surface.size() != size || m_surface.devicePixelRatio() != dScale) {
        m_pSurfacePainter.reset();
        m_surface = QImage(size, QImage::Format_RGB32);
        m_surface.setDevicePixelRatio(dScale);
        m_surface.fill(QColor(GetRValue(kFace), GetGValue(kFace), GetBValue(kFace)));
    }
    return &m_surface;
}

QPainter& CWnd::SurfacePainter() {
    if (!m_pSurfacePainter) {
        m_pSurfacePainter = std::make_unique<QPainter>(Surface());
        m_pSurfacePainter->setRenderHint(QPainter::Antialiasing, false);
    }
    return *m_pSurfacePainter;
}

void CWnd::ShowSurface() {
    if (m_nPaintDepth > 0)
        return;
    m_pSurfacePainter.reset();
    if (m_pWidget)
        m_pWidget->update();
}

void CWnd::RedrawNow() {
    if (!m_pWidget)
        return;
    ++m_nPaintDepth;
    {
        CPaintDC dc(this);
        OnEraseBkgnd(&dc);
        OnPaint();
    }
    --m_nPaintDepth;
    m_pSurfacePainter.reset();
}

void CWnd::OnTimer(UINT) {}

BOOL CWnd::OnEraseBkgnd(CDC* pDC) {
    RECT rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(0, 0, rc.right, rc.bottom, kFace);
    return TRUE;
}

void CWnd::OnPaint() {}
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnRButtonDown(UINT, CPoint) {}

void CWndEvents::Paint(CWnd* pWnd, QWidget* pWidget) {
    pWnd->RedrawNow();
    QPainter painter(pWidget);
    painter.drawImage(0, 0, *pWnd->Surface());
}

bool CWndEvents::Timer(CWnd* pWnd, int nQtTimerId) {
    for (auto& [id, pTimer] : pWnd->m_timers) {
        if (pTimer->timerId() == nQtTimerId) {
            pWnd->OnTimer(id);
            return true;
        }
    }
    return false;
}
