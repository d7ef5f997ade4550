#include "LineFeeder.h"

#include "Garbler.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace sim {

namespace {

constexpr std::size_t kUnpacedChunk = 4096;
// Longest sleep: bounds how late a stop request is noticed.
constexpr double kMaxSleep = 0.020;
constexpr int kPollMilliseconds = 20;

double MonotonicSeconds() {
    const auto duration = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(duration).count();
}

void SleepSeconds(double dSeconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(std::min(dSeconds, kMaxSleep)));
}

} // namespace

CLineFeeder::CLineFeeder(const CPortLink& link, CStreamSource& source, const FeedOptions& options,
                         const std::atomic<bool>& bStop)
    : m_link(link), m_source(source), m_options(options), m_bStop(bStop),
      m_pacer(options.m_nBaud / 10.0, 0.0) {}

FeedResult CLineFeeder::Run() {
    m_dStart = MonotonicSeconds();
    m_pacer = CPacer(m_options.m_nBaud / 10.0, m_dStart);
    while (Step(MonotonicSeconds()) == EStep::Continue) {
    }
    return m_result;
}

CLineFeeder::EStep CLineFeeder::Step(double dNow) {
    if (m_bStop.load()) {
        return Finish(EFeedEnd::Stopped);
    }
    DiscardInput();
    if (NeedsBlock()) {
        if (m_options.m_nBlocks > 0 && m_nBlocksFetched == m_options.m_nBlocks) {
            return Finish(EFeedEnd::Done);
        }
        if (!FetchBlock(dNow)) {
            return EStep::Continue;
        }
    }
    const std::size_t nSize = ChooseChunk(dNow);
    return nSize == 0 ? EStep::Continue : SendChunk(nSize);
}

bool CLineFeeder::FetchBlock(double dNow) {
    if (!m_options.m_bUnpaced && m_source.IsEpochTimed()) {
        const double dDue = m_dStart + static_cast<double>(m_nBlocksFetched);
        if (dNow < dDue) {
            SleepSeconds(dDue - dNow);
            return false;
        }
    }
    m_strPending.clear();
    m_nOffset = 0;
    m_source.AppendBlock(m_strPending);
    ++m_nBlocksFetched;
    return true;
}

std::size_t CLineFeeder::ChooseChunk(double dNow) {
    const std::size_t nRemaining = m_strPending.size() - m_nOffset;
    if (m_options.m_bUnpaced) {
        struct pollfd wait {
            m_link.MasterFd(), POLLOUT, 0
        };
        return ::poll(&wait, 1, kPollMilliseconds) > 0 ? std::min(nRemaining, kUnpacedChunk) : 0;
    }
    const std::size_t nGranted = m_pacer.Grant(dNow, nRemaining);
    if (nGranted == 0) {
        SleepSeconds(m_pacer.WaitSeconds());
    }
    return nGranted;
}

CLineFeeder::EStep CLineFeeder::SendChunk(std::size_t nSize) {
    m_strChunk.assign(m_strPending, m_nOffset, nSize);
    // The program sets its speed on its own descriptor of the same slave; the settings are
    // the terminal's, so our descriptor sees them.
    if (m_link.CurrentBaud() != m_options.m_nBaud) {
        GarbleBytes(&m_strChunk[0], nSize, m_nStreamPosition);
    }
    ssize_t nWritten = ::write(m_link.MasterFd(), m_strChunk.data(), nSize);
    if (nWritten < 0) {
        if (errno == EIO) {
            return Finish(EFeedEnd::HungUp);
        }
        if (errno != EAGAIN && errno != EINTR) {
            return Finish(EFeedEnd::Failed, std::string("write failed: ") + std::strerror(errno));
        }
        nWritten = 0;
    }
    m_result.m_nBytes += static_cast<std::uint64_t>(nWritten);
    // Paced, what did not fit is lost as on a line nobody drains; unpaced, it waits.
    const std::size_t nConsumed = m_options.m_bUnpaced ? static_cast<std::size_t>(nWritten) : nSize;
    m_nOffset += nConsumed;
    m_nStreamPosition += nConsumed;
    return EStep::Continue;
}

// Whatever the program sends to the receiver is taken and ignored, so that its writes never
// block on a full pseudo-terminal.
void CLineFeeder::DiscardInput() {
    char szBuffer[4096];
    while (::read(m_link.MasterFd(), szBuffer, sizeof szBuffer) ==
           static_cast<ssize_t>(sizeof szBuffer)) {
    }
}

CLineFeeder::EStep CLineFeeder::Finish(EFeedEnd eEnd, const std::string& strError) {
    m_result.m_eEnd = eEnd;
    m_result.m_strError = strError;
    m_result.m_dSeconds = MonotonicSeconds() - m_dStart;
    return EStep::Finished;
}

} // namespace sim
