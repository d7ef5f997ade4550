#include "platform/GuiThread.h"

#include <QCoreApplication>
#include <QThread>

bool IsGuiThread() {
    const QCoreApplication* pApp = QCoreApplication::instance();
    return pApp == nullptr || QThread::currentThread() == pApp->thread();
}
