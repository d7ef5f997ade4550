// Run by ExposureTest on a private X server: takes a window off the screen as a window
// manager does when it minimises it, sets a control's text meanwhile, gives the window back
// and compares what the screen shows of the control with what the control paints now.
// Exit 0: the screen shows the text of now; 1: it shows an older one; 77: no window could
// be shown.
#include "platform/Dialog.h"
#include "resources/ControlIds.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <xcb/xcb.h>

namespace {

// Runs events until the window's exposure is as asked, then a while longer for its paints.
bool SettleExposed(QWindow* pWindow, bool bExposed) {
    QElapsedTimer clock;
    clock.start();
    while (pWindow->isExposed() != bExposed && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    clock.restart();
    while (clock.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return pWindow->isExposed() == bExposed;
}

void SetMapped(xcb_connection_t* pConnection, WId window, bool bMapped) {
    auto id = static_cast<xcb_window_t>(window);
    if (bMapped)
        xcb_map_window(pConnection, id);
    else
        xcb_unmap_window(pConnection, id);
    xcb_flush(pConnection);
}

QImage OnScreen(QWidget* pControl) {
    QWidget* pTop = pControl->window();
    QPoint at = pControl->mapTo(pTop, QPoint(0, 0));
    return pTop->screen()
        ->grabWindow(pTop->winId(), at.x(), at.y(), pControl->width(), pControl->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    auto* pX11 = app.nativeInterface<QNativeInterface::QX11Application>();
    CDialog dlg(IDD_VIEWER_DIALOG);
    dlg.Create(IDD_VIEWER_DIALOG, CDialog::GetDesktopWindow());
    dlg.ShowWindow(SW_SHOWNA);
    QWindow* pWindow = dlg.Widget()->windowHandle();
    if (!pX11 || !pWindow || !SettleExposed(pWindow, true)) {
        std::puts("no window could be shown on this display");
        return 77;
    }
    dlg.SetDlgItemText(IDC_LATITUDE, "N   30\xa1\xe3 12' 00.00\"");
    SettleExposed(pWindow, true);
    SetMapped(pX11->connection(), dlg.Widget()->winId(), false);
    if (!SettleExposed(pWindow, false)) {
        std::puts("the window stayed on the screen when it was unmapped");
        return 77;
    }
    dlg.SetDlgItemText(IDC_LATITUDE, "S   45\xa1\xe3 59' 59.99\"");
    SetMapped(pX11->connection(), dlg.Widget()->winId(), true);
    SettleExposed(pWindow, true);
    QWidget* pControl = dlg.GetDlgItem(IDC_LATITUDE)->Widget();
    QImage now = pControl->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (OnScreen(pControl) != now) {
        std::puts("the screen shows the latitude set before the window left it");
        return 1;
    }
    return 0;
}
