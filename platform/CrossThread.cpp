#include "platform/CrossThread.h"

#include "platform/Wnd.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace {

// Runs the pending job when the GUI thread's event loop delivers a wake-up. The job itself
// travels under the gate's mutex, never inside the Qt event, so the hand-off is visible to
// the thread sanitizer.
class CWaker : public QObject {
public:
    explicit CWaker(std::function<void()> run) : m_run(std::move(run)) {}
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        m_run();
        return true;
    }

private:
    std::function<void()> m_run;
};

} // namespace

CCrossThreadSend::CCrossThreadSend() : m_guiThread(std::this_thread::get_id()) {}

CCrossThreadSend::~CCrossThreadSend() {
    Close();
    // Deleting the receiver also drops the wake-ups still queued for it.
    m_pWaker.reset();
}

void CCrossThreadSend::Open() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_bClosed = false;
    if (!m_pWaker)
        m_pWaker = std::make_unique<CWaker>([this] { RunPending(); });
}

void CCrossThreadSend::Close() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bClosed = true;
        m_pJob.reset();
    }
    m_cvDone.notify_all();
}

bool CCrossThreadSend::IsClosed() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bClosed;
}

BOOL CCrossThreadSend::Call(std::function<void()> work) {
    if (std::this_thread::get_id() == m_guiThread) {
        work();
        return TRUE;
    }
    auto pJob = std::make_shared<CJob>();
    pJob->work = std::move(work);
    QObject* pWaker = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bClosed)
            return FALSE;
        m_pJob = pJob;
        pWaker = m_pWaker.get();
    }
    QCoreApplication::postEvent(pWaker, new QEvent(QEvent::User));
    std::unique_lock<std::mutex> lock(m_lock);
    m_cvDone.wait(lock, [&] { return pJob->bDone || m_bClosed; });
    if (m_pJob == pJob)
        m_pJob.reset();
    return pJob->bDone ? TRUE : FALSE;
}

void CCrossThreadSend::RunPending() {
    std::shared_ptr<CJob> pJob;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bClosed || !m_pJob || m_pJob->bStarted)
            return;
        pJob = m_pJob;
        pJob->bStarted = true;
    }
    pJob->work();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        pJob->bDone = true;
    }
    m_cvDone.notify_all();
}

BOOL CCrossThreadSend::SendMessages(CWnd* pOwner, std::vector<CSentMessage> messages) {
    auto pComplete = std::make_shared<bool>(false);
    BOOL bRan = Call([this, pOwner, messages = std::move(messages), pComplete] {
        for (const CSentMessage& m : messages) {
            // A handler may have stopped the sender: the rest of the run is not handled.
            if (IsClosed())
                return;
            pOwner->SendMessage(m.message, m.wParam, m.lParam);
        }
        *pComplete = true;
    });
    return bRan && *pComplete ? TRUE : FALSE;
}
