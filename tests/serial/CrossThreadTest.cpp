#include "platform/CrossThread.h"
#include "tests/common/TestSupport.h"

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

constexpr UINT kMessage = WM_USER + 7;

// A window that logs what reaches it, and on which thread.
class CLogWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        m_log += static_cast<char>(wParam);
        m_bAllOnGuiThread = m_bAllOnGuiThread && std::this_thread::get_id() == m_guiThread;
        EXPECT_EQ(message, kMessage);
        EXPECT_EQ(lParam, 7);
        if (m_onMessage)
            m_onMessage();
        return 0;
    }
    std::string m_log;
    bool m_bAllOnGuiThread = true;
    std::function<void()> m_onMessage;
    const std::thread::id m_guiThread = std::this_thread::get_id();
};

std::vector<CSentMessage> MessagesOf(const std::string& bytes) {
    std::vector<CSentMessage> messages;
    for (char c : bytes)
        messages.push_back({kMessage, static_cast<WPARAM>(c), 7});
    return messages;
}

} // namespace

TEST(CrossThreadSend, HandlesARunInOrderOnTheGuiThreadWithNothingInBetween) {
    CCrossThreadSend gate;
    gate.Open();
    CLogWnd wnd;
    std::atomic<bool> bReturned{false};
    wnd.m_onMessage = [&] {
        EXPECT_FALSE(bReturned) << "the worker went on before the run was handled";
        if (wnd.m_log.size() == 1)
            QMetaObject::invokeMethod(
                qApp, [&] { wnd.m_log += '|'; }, Qt::QueuedConnection);
    };
    BOOL bSent = FALSE;
    std::thread worker([&] {
        bSent = gate.SendMessages(&wnd, MessagesOf("abc"));
        bReturned = true;
    });
    ASSERT_TRUE(WaitFor([&] { return bReturned.load() && wnd.m_log.size() == 4; }));
    worker.join();
    EXPECT_TRUE(bSent);
    EXPECT_EQ(wnd.m_log, "abc|");
    EXPECT_TRUE(wnd.m_bAllOnGuiThread);
}

TEST(CrossThreadSend, ClosingReleasesAWaitingWorkerWithoutTheGuiThread) {
    auto pGate = std::make_unique<CCrossThreadSend>();
    pGate->Open();
    CLogWnd wnd;
    BOOL bSent = TRUE;
    std::thread worker([&] { bSent = pGate->SendMessages(&wnd, MessagesOf("xyz")); });
    // The GUI thread does not run its event loop: the send stays pending until the close.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pGate->Close();
    worker.join();
    EXPECT_FALSE(bSent);
    EXPECT_FALSE(pGate->SendMessages(&wnd, MessagesOf("new"))) << "a closed gate takes no new send";
    // The wake-up still queued must find nothing to run, also once the gate is gone.
    PumpEvents(50);
    pGate.reset();
    PumpEvents(50);
    EXPECT_EQ(wnd.m_log, "");
}

TEST(CrossThreadSend, AHandlerThatClosesTheGateEndsTheRunThere) {
    CCrossThreadSend gate;
    gate.Open();
    CLogWnd wnd;
    wnd.m_onMessage = [&] {
        if (wnd.m_log == "ab")
            gate.Close();
    };
    BOOL bSent = TRUE;
    std::atomic<bool> bReturned{false};
    std::thread worker([&] {
        bSent = gate.SendMessages(&wnd, MessagesOf("abcd"));
        bReturned = true;
    });
    ASSERT_TRUE(WaitFor([&] { return bReturned.load(); }));
    worker.join();
    EXPECT_FALSE(bSent);
    EXPECT_EQ(wnd.m_log, "ab");
}
