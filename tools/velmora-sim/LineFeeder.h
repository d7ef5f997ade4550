#pragma once

#include "Pacer.h"
#include "PortLink.h"
#include "StreamSource.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace sim {

struct FeedOptions {
    int m_nBaud = 57600;
    bool m_bUnpaced = false;
    long long m_nBlocks = 0; // epochs or file passes to send; 0: until stopped
};

enum class EFeedEnd { Stopped, Done, HungUp, Failed };

struct FeedResult {
    EFeedEnd m_eEnd = EFeedEnd::Stopped;
    std::uint64_t m_nBytes = 0;
    double m_dSeconds = 0.0;
    std::string m_strError;
};

// Sends a stream source into the pseudo-terminal like a receiver's UART: at most baud / 10
// bytes per second, one epoch per second, garbled while the program's port speed differs
// from the receiver's. A receiver has no flow control, so when nobody drains the port the
// bytes that do not fit are lost. Unpaced, it sends as fast as the reader takes the bytes.
class CLineFeeder {
public:
    CLineFeeder(const CPortLink& link, CStreamSource& source, const FeedOptions& options,
                const std::atomic<bool>& bStop);

    FeedResult Run();

private:
    enum class EStep { Continue, Finished };

    EStep Step(double dNow);
    bool NeedsBlock() const { return m_nOffset == m_strPending.size(); }
    // False while the next epoch is not due yet.
    bool FetchBlock(double dNow);
    std::size_t ChooseChunk(double dNow);
    EStep SendChunk(std::size_t nSize);
    void DiscardInput();
    EStep Finish(EFeedEnd eEnd, const std::string& strError = std::string());

    const CPortLink& m_link;
    CStreamSource& m_source;
    FeedOptions m_options;
    const std::atomic<bool>& m_bStop;
    CPacer m_pacer;
    std::string m_strPending;
    std::string m_strChunk;
    std::size_t m_nOffset = 0;
    std::uint64_t m_nStreamPosition = 0;
    long long m_nBlocksFetched = 0;
    double m_dStart = 0.0;
    FeedResult m_result;
};

} // namespace sim
