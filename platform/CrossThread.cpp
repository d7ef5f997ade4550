#include "platform/CrossThread.h"

#include "core/Descriptor.h"
#include "platform/GuiThread.h"
#include "platform/Wnd.h"

#include <QSocketNotifier>
#include <sys/eventfd.h>
#include <unistd.h>

CCrossThreadSend::CCrossThreadSend() : m_guiThread(std::this_thread::get_id()) {}

CCrossThreadSend::~CCrossThreadSend() {
    Close();
    m_pWakeNotifier.reset();
    vbase::CloseDescriptor(m_hWakeEvent);
}

BOOL CCrossThreadSend::Open() {
    AssertGuiThread();
    if (m_hWakeEvent < 0) {
        m_hWakeEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_hWakeEvent < 0)
            return FALSE;
        m_pWakeNotifier = std::make_unique<QSocketNotifier>(m_hWakeEvent, QSocketNotifier::Read);
        QObject::connect(m_pWakeNotifier.get(), &QSocketNotifier::activated, [this] {
            eventfd_t nWakeUps;
            eventfd_read(m_hWakeEvent, &nWakeUps);
            RunPending();
        });
    }
    std::lock_guard<std::mutex> guard(m_lock);
    m_bClosed = false;
    return TRUE;
}

void CCrossThreadSend::Close() {
    AssertGuiThread();
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
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bClosed)
            return FALSE;
        m_pJob = pJob;
    }
    eventfd_write(m_hWakeEvent, 1);
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
        pOwner->BeginMessageRun();
        bool bClosed = false;
        for (const CSentMessage& m : messages) {
            // A handler may have stopped the sender: the rest of the run is not handled.
            bClosed = IsClosed();
            if (bClosed)
                break;
            pOwner->SendMessage(m.message, m.wParam, m.lParam);
        }
        // What was handled of the run ends it, even when the rest was not.
        pOwner->EndMessageRun();
        *pComplete = !bClosed;
    });
    return bRan && *pComplete ? TRUE : FALSE;
}
