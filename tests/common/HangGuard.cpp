#include "tests/common/HangGuard.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Well above the slowest test under the sanitizers, below CTest's limit of 300 s; the soak's
// longer runs (VELMORA_FAULT_SCALE) get as many times more.
constexpr int kTestBoundSeconds = 240;

int TestBoundSeconds() {
    const char* pszScale = std::getenv("VELMORA_FAULT_SCALE");
    const int nScale = pszScale ? std::atoi(pszScale) : 1;
    return kTestBoundSeconds * (nScale > 1 ? nScale : 1);
}

class CGuardListener : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& info) override {
        m_pGuard = std::make_unique<CHangGuard>(
            std::string(info.test_suite_name()) + "." + info.name(), TestBoundSeconds());
    }
    void OnTestEnd(const testing::TestInfo&) override { m_pGuard.reset(); }

private:
    std::unique_ptr<CHangGuard> m_pGuard;
};

} // namespace

CHangGuard::CHangGuard(std::string strWhat, int nSeconds) {
    m_thread = std::thread([this, strWhat = std::move(strWhat), nSeconds] {
        std::unique_lock<std::mutex> lock(m_lock);
        if (!m_cvDisarmed.wait_for(lock, std::chrono::seconds(nSeconds),
                                   [this] { return m_bDisarmed; })) {
            std::fprintf(stderr, "hang: %s\n", strWhat.c_str());
            std::abort();
        }
    });
}

CHangGuard::~CHangGuard() {
    Disarm();
    m_thread.join();
}

void CHangGuard::Disarm() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bDisarmed = true;
    }
    m_cvDisarmed.notify_all();
}

void GuardEveryTest() {
    testing::UnitTest::GetInstance()->listeners().Append(new CGuardListener);
}
