// A bound on how long something may take: a hang would otherwise only end at the test's time
// limit, without saying where it was.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Aborts the process with a message naming what hung when not disarmed within the bound.
class CHangGuard {
public:
    CHangGuard(std::string strWhat, int nSeconds);
    ~CHangGuard();
    CHangGuard(const CHangGuard&) = delete;
    CHangGuard& operator=(const CHangGuard&) = delete;
    void Disarm();

private:
    std::mutex m_lock;
    std::condition_variable m_cvDisarmed;
    bool m_bDisarmed = false;
    std::thread m_thread;
};

// Arms a guard for every test of the program (see TestMain).
void GuardEveryTest();
