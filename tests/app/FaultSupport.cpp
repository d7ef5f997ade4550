#include "tests/app/FaultSupport.h"

#include "Garbler.h"
#include "Random.h"
#include "Scenario.h"

#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long nSize = 0;
    long nResident = 0;
    statm >> nSize >> nResident;
    return nResident * sysconf(_SC_PAGESIZE);
}

namespace {

int PooledThreadCount() {
    return ThreadsNamed("Thread (pooled)");
}

} // namespace

int OwnThreadCount() {
    return ThreadCount() - PooledThreadCount();
}

int OwnFdCount() {
    return OpenFdCount() - PooledThreadCount();
}

bool IsOpenHere(const std::string& path) {
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        if (std::filesystem::read_symlink(fd.path(), ec) == path)
            return true;
    }
    return false;
}

int FaultScale() {
    const char* pszScale = std::getenv("VELMORA_FAULT_SCALE");
    int nScale = pszScale ? std::atoi(pszScale) : 1;
    return nScale > 0 ? nScale : 1;
}

bool MeasuresMemory() {
    return kResidentMemoryMeaningful && FaultScale() > 1;
}

int FaultRunMs(int nSoakMs) {
    constexpr int kMakeTestRunMs = 500;
    return FaultScale() > 1 ? nSoakMs * FaultScale() : kMakeTestRunMs;
}

bool AnswersEvents(int nMilliseconds) {
    bool bAnswered = false;
    QTimer::singleShot(0, [&bAnswered] { bAnswered = true; });
    return WaitFor([&bAnswered] { return bAnswered; }, nMilliseconds);
}

LRESULT CCountingViewerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SERIAL_RXCHAR)
        ++m_nHandled;
    return CViewerDlg::WindowProc(message, wParam, lParam);
}

std::string ScenarioStream(int nEpochs, std::uint64_t nSeed, int nGps) {
    sim::ScenarioOptions options;
    options.m_nSeed = nSeed;
    options.m_nGps = nGps;
    return sim::ScenarioStream(options, nEpochs);
}

std::string WrongSpeedStream(int nEpochs) {
    std::string bytes = ScenarioStream(nEpochs);
    sim::GarbleBytes(bytes.data(), bytes.size(), 0);
    return bytes;
}

namespace {

// Bytes that steer the framing: sentence start, checksum start, field separator, line feed
// and the NUL a wrong speed produces.
constexpr char kFramingBytes[] = {'$', '*', ',', '\n', '\0', '\r'};

std::string RandomField(sim::CRandom& random) {
    static const char kFieldBytes[] = "0123456789.-+NSEWAVMTK";
    std::string field;
    int nLength = random.NextInt(0, 12);
    for (int i = 0; i < nLength; ++i) {
        if (random.NextChance(0.1))
            field += static_cast<char>(random.NextInt(0x80, 0xFF));
        else
            field += kFieldBytes[random.NextInt(0, sizeof kFieldBytes - 2)];
    }
    return field;
}

std::string RandomSentence(sim::CRandom& random) {
    static const char* const kTypes[] = {"GPGGA", "GNGNS", "GPRMC", "GPVTG",
                                         "GPGSA", "GPGSV", "GLGSV"};
    std::string body = kTypes[random.NextInt(0, 6)];
    int nFields = random.NextInt(0, 24);
    for (int i = 0; i < nFields && body.size() < 110; ++i)
        body += "," + RandomField(random);
    return Sentence(body.substr(0, 110));
}

} // namespace

std::string NoiseStream(std::size_t nBytes, std::uint64_t nSeed) {
    sim::CRandom random(nSeed);
    std::string bytes;
    while (bytes.size() < nBytes) {
        if (random.NextChance(0.3)) {
            bytes += RandomSentence(random);
            continue;
        }
        int nBurst = random.NextInt(1, 200);
        for (int i = 0; i < nBurst; ++i) {
            if (random.NextChance(0.25))
                bytes += kFramingBytes[random.NextInt(0, sizeof kFramingBytes - 1)];
            else
                bytes += static_cast<char>(random.NextInt(0, 255));
        }
    }
    bytes.resize(nBytes);
    return bytes;
}

CStreamWriter::CStreamWriter(CPseudoTerminal& pty, std::string bytes, bool bHangUpAfter) {
    m_thread = std::thread([this, &pty, bytes = std::move(bytes), bHangUpAfter] {
        pty.Write(bytes);
        if (bHangUpAfter)
            pty.HangUp();
        m_bDone = true;
    });
}

CStreamWriter::~CStreamWriter() {
    Join();
}

void CStreamWriter::Join() {
    if (m_thread.joinable())
        m_thread.join();
}
