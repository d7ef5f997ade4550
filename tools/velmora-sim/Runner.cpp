#include "Runner.h"

#include "LineFeeder.h"
#include "Options.h"
#include "PortLink.h"
#include "RecordFile.h"
#include "StreamSource.h"
#include "TcpServer.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace sim {

namespace {

constexpr int kExitFailure = 1;
const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> g_bStopRequested{false};

extern "C" void RequestStop(int) {
    g_bStopRequested.store(true);
}

// Handlers only set a flag: the feeder never waits more than 20 ms at a time, notices it and
// the run ends through the normal path, which removes the link.
class CStopSignals {
public:
    CStopSignals() {
        g_bStopRequested.store(false);
        struct sigaction action {};
        action.sa_handler = RequestStop;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
            sigaction(kStopSignals[i], &action, &m_previous[i]);
        }
    }
    ~CStopSignals() {
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
            sigaction(kStopSignals[i], &m_previous[i], nullptr);
        }
    }
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

private:
    struct sigaction m_previous[std::size(kStopSignals)]{};
};

std::string FormatSummary(const FeedResult& result) {
    char szBuffer[96];
    std::snprintf(szBuffer, sizeof szBuffer, "sent %llu bytes in %.3f s\n",
                  static_cast<unsigned long long>(result.m_nBytes), result.m_dSeconds);
    return szBuffer;
}

std::unique_ptr<CStreamSource> CreateSource(const SimOptions& options, std::string& strError) {
    if (options.m_strFile.empty()) {
        return std::make_unique<CScenarioSource>(options.m_scenario);
    }
    auto pFile = std::make_unique<CFileSource>();
    if (!pFile->Load(options.m_strFile, strError)) {
        return nullptr;
    }
    return pFile;
}

int RunPortMode(const SimOptions& options, std::ostream& out, std::ostream& err) {
    std::string strError;
    const std::unique_ptr<CStreamSource> pSource = CreateSource(options, strError);
    if (!pSource) {
        err << "velmora-sim: " << strError << "\n";
        return kExitFailure;
    }
    CStopSignals signals;
    CPortLink link;
    if (!link.Open(options.m_nPort, options.m_nBaud, strError)) {
        err << "velmora-sim: " << strError << "\n";
        return kExitFailure;
    }
    if (!link.Warning().empty()) {
        err << "velmora-sim: " << link.Warning() << "\n";
    }
    out << "velmora-sim: " << link.LinkPath() << " -> " << link.SlavePath() << " at "
        << options.m_nBaud << " baud" << std::endl;

    const FeedOptions feed{options.m_nBaud, options.m_bUnpaced, options.m_nEpochs};
    const FeedResult result = CLineFeeder(link, *pSource, feed, g_bStopRequested).Run();
    link.Close();
    out << FormatSummary(result) << std::flush;
    if (result.m_eEnd == EFeedEnd::HungUp) {
        err << "velmora-sim: the port was hung up\n";
    }
    if (result.m_eEnd == EFeedEnd::Failed) {
        err << "velmora-sim: " << result.m_strError << "\n";
        return kExitFailure;
    }
    return 0;
}

int RunWriteMode(const SimOptions& options, std::ostream& out, std::ostream& err) {
    std::string strError;
    if (!WriteRecording(options.m_strWrite, options.m_scenario, options.m_nEpochs, strError)) {
        err << "velmora-sim: " << strError << "\n";
        return kExitFailure;
    }
    out << "wrote " << options.m_nEpochs << " epochs to " << options.m_strWrite << "\n";
    return 0;
}

} // namespace

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    SimOptions options;
    std::string strError;
    vbase::ECommand eResult = ParseOptions({argv + 1, argv + argc}, options, strError);
    if (argc < 2) {
        eResult = vbase::ECommand::Error;
        strError = "no options given";
    }
    const int nExit = vbase::FinishCommandLine(SimCommand(options), eResult, strError, out, err);
    if (nExit >= 0) {
        return nExit;
    }
    switch (options.m_eMode) {
    case EMode::Write:
        return RunWriteMode(options, out, err);
    case EMode::Tcp: {
        CStopSignals signals;
        return ServeTcp(options, g_bStopRequested, out, err);
    }
    case EMode::Port:
        break;
    }
    return RunPortMode(options, out, err);
}

} // namespace sim
