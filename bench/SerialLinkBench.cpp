// The pseudo-terminal's delivery rate through the serial link's synchronous send, against the
// 5,760 bytes a second of a 57600-baud line: a receiver writes as fast as the link takes it.
#include "core/Nmea.h"
#include "core/PseudoTerminal.h"
#include "platform/Wnd.h"
#include "serial/SerialLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kPort = 7;
constexpr int kSliceMs = 100;

// Counts the bytes the reader hands over.
class CCountingOwner : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        m_nBytes += message == WM_SERIAL_RXCHAR ? 1 : 0;
        return 0;
    }
    long long m_nBytes = 0;
};

// A HOME of its own for the port link, removed at the end.
class CBenchHome {
public:
    CBenchHome() : m_strPath("/tmp/velmora-bench-home-XXXXXX") {
        if (mkdtemp(m_strPath.data()))
            setenv("HOME", m_strPath.c_str(), 1);
    }
    ~CBenchHome() { std::filesystem::remove_all(m_strPath); }

private:
    std::string m_strPath;
};

void BM_UnpacedPseudoTerminal(benchmark::State& state) {
    CBenchHome home;
    vbase::CPtyPair pty;
    vbase::CPortLink link;
    std::string strError;
    if (!pty.Open(B57600, strError) || !link.Create(kPort, pty.SlavePath(), strError)) {
        state.SkipWithError(strError.c_str());
        return;
    }
    CCountingOwner owner;
    CSerialLink serial;
    if (!serial.Open(&owner, kPort, 57600, 8, 1, 'N', EV_RXCHAR) || !serial.StartReader()) {
        state.SkipWithError("the serial link did not open the pseudo-terminal");
        return;
    }
    std::atomic<bool> bStop{false};
    std::thread writer([&] {
        std::string strPattern;
        while (strPattern.size() < 4096)
            strPattern += vbase::Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
        // The master is non-blocking: a full line is waited out a little at a time, so that
        // the writer notices the end while the link no longer reads.
        while (!bStop) {
            if (::write(pty.Master(), strPattern.data(), strPattern.size()) < 0) {
                pollfd wait{pty.Master(), POLLOUT, 0};
                ::poll(&wait, 1, 10);
            }
        }
    });
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < kSliceMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    state.SetBytesProcessed(owner.m_nBytes);
    state.counters["x_57600_baud"] = benchmark::Counter(
        static_cast<double>(owner.m_nBytes) / 5760.0, benchmark::Counter::kIsRate);
    bStop = true;
    writer.join();
}
BENCHMARK(BM_UnpacedPseudoTerminal)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
