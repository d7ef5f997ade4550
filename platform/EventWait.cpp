#include "platform/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <chrono>
#include <thread>

namespace {

constexpr int kCheckMilliseconds = 2;

} // namespace

void WaitAnswering(const std::function<bool()>& done) {
    QCoreApplication* pApp = QCoreApplication::instance();
    bool bGuiThread = pApp && QThread::currentThread() == pApp->thread();
    while (!done()) {
        if (bGuiThread)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, kCheckMilliseconds);
        std::this_thread::sleep_for(std::chrono::milliseconds(kCheckMilliseconds));
    }
}
