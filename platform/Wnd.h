// A window: a Qt widget seen through the operations the program calls on windows and controls.
#pragma once

#include "platform/Gdi.h"
#include "platform/String.h"
#include "platform/Types.h"

#include <QImage>
#include <map>
#include <memory>

class QWidget;
#include <QBasicTimer>
#include <QPainter>
class CDialog;

using HICON = const class QIcon*;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    QWidget* Widget() const { return m_pWidget; }
    bool IsCreated() const { return m_pWidget != nullptr; }
    int GetDlgCtrlID() const { return m_nId; }

    // The window's text in GBK.
    virtual void SetWindowText(const CString& str);
    virtual void GetWindowText(CString& str) const;
    virtual int GetWindowTextLength() const;
    virtual void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const { return m_pFont; }

    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    void GetWindowRect(RECT* pRect) const;
    void GetClientRect(RECT* pRect) const;
    BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void Invalidate(BOOL bErase = TRUE);
    void SetIcon(HICON hIcon, BOOL bBigIcon);

    // Window timers by id, served by OnTimer on the GUI thread. Setting a running id restarts it.
    UINT SetTimer(UINT nIDEvent, UINT nElapse, void* pCallback);
    BOOL KillTimer(UINT nIDEvent);
    bool IsTimerRunning(UINT nIDEvent) const;
    int TimerPeriod(UINT nIDEvent) const;

    // A message handled on this thread, at once.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A run of messages handed over from another thread in one send (CCrossThreadSend): TRUE
    // while its messages are handled; OnMessageRunEnd follows the last of them, so a window
    // can do once per run what each message would otherwise do alone.
    void BeginMessageRun() { ++m_nMessageRuns; }
    void EndMessageRun();
    BOOL InMessageRun() const { return m_nMessageRuns > 0 ? TRUE : FALSE; }
    virtual void OnMessageRunEnd() {}

    // The client-area surface that client contexts draw on; shown at the next paint.
    QImage* Surface();
    QPainter& SurfacePainter();
    // Ends drawing on the surface and, outside a paint pass, schedules it for the screen.
    void ShowSurface();
    // Runs an erase-and-paint pass now, shown or hidden, as the window system would on exposure.
    void RedrawNow();

    // Handlers the window system calls; defaults as the framework has them.
    virtual void OnTimer(UINT nIDEvent);
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnPaint();
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    LRESULT Default();

    // Wrapper lifetime: the widget is owned by its Qt parent, or by this object when top-level.
    void Attach(QWidget* pWidget, int nId);
    void DestroyWidget();

protected:
    friend class CWndEvents;
    QWidget* m_pWidget = nullptr;
    int m_nId = 0;
    CFont* m_pFont = nullptr;
    bool m_bOwnsWidget = false;

private:
    std::map<UINT, std::unique_ptr<QBasicTimer>> m_timers;
    std::map<UINT, int> m_timerPeriods;
    QImage m_surface;
    std::unique_ptr<QPainter> m_pSurfacePainter;
    int m_nPaintDepth = 0;
    int m_nMessageRuns = 0;
};

// What the widgets of windows forward to their window: paint passes and timer ticks.
class CWndEvents {
public:
    static void Paint(CWnd* pWnd, QWidget* pWidget);
    static bool Timer(CWnd* pWnd, int nQtTimerId);
};
