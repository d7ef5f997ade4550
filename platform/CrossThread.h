// Synchronous sends from a worker thread to a window of the GUI thread, as SendMessage between
// threads does: the handler runs on the GUI thread and the worker waits until it ran.
#pragma once

#include "platform/Types.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CWnd;
class QSocketNotifier;

// One message of a run handed over in a single send.
struct CSentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The gate between one worker thread and the GUI thread (the thread that constructs it).
// While open, a send hands its work to the GUI thread and waits until it ran there. Once closed
// (the receiver stops listening or goes away), pending and new sends return at once without
// running, so ending a worker never needs the GUI thread.
class CCrossThreadSend {
public:
    CCrossThreadSend();
    ~CCrossThreadSend();
    CCrossThreadSend(const CCrossThreadSend&) = delete;
    CCrossThreadSend& operator=(const CCrossThreadSend&) = delete;

    // GUI thread: lets sends through again. FALSE when the GUI thread cannot be woken (no
    // descriptor left); the gate then stays closed.
    BOOL Open();
    // GUI thread: a pending send returns FALSE without running, and so does every new one
    // until the next Open.
    void Close();

    // Runs the work on the GUI thread and returns after it ran (TRUE), or when the gate closed
    // before it could run (FALSE). Called on the GUI thread itself, it runs the work at once.
    BOOL Call(std::function<void()> work);
    // Sends the messages to pOwner in order, each through its WindowProc, with no other event
    // handled between them, and returns TRUE after the last handler returned. FALSE when the
    // gate is or gets closed first; no message after that point is handled.
    BOOL SendMessages(CWnd* pOwner, std::vector<CSentMessage> messages);

private:
    struct CJob {
        std::function<void()> work;
        bool bStarted = false;
        bool bDone = false;
    };
    void RunPending();
    bool IsClosed();

    std::mutex m_lock;
    std::condition_variable m_cvDone;
    std::shared_ptr<CJob> m_pJob;
    bool m_bClosed = true;
    const std::thread::id m_guiThread;
    // The worker wakes the GUI thread's event loop through an eventfd rather than a Qt post:
    // it makes no Qt call at all, so every hand-off is one the thread sanitizer can follow.
    // Both come into being with the first Open, on the GUI thread.
    int m_hWakeEvent = -1;
    std::unique_ptr<QSocketNotifier> m_pWakeNotifier;
};
