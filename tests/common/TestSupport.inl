#include <QCoreApplication>
#include <QElapsedTimer>

template <typename Condition> bool WaitFor(Condition condition, int nMilliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > nMilliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
