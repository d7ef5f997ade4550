// What goes on the line: file playback, garbling at a wrong speed, pacing, options.
#include "Garbler.h"
#include "Options.h"
#include "Pacer.h"
#include "Scenario.h"
#include "StreamSource.h"
#include "core/Nmea.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace sim;
using vbase::HasValidChecksum;

namespace {

std::string Bytes(const char* pData, std::size_t nSize) {
    return std::string(pData, nSize);
}

std::string WriteTemporaryFile(const std::string& strContent) {
    char szPath[] = "/tmp/velmora-sim-file-XXXXXX";
    const int nFd = mkstemp(szPath);
    EXPECT_GE(nFd, 0);
    EXPECT_EQ(write(nFd, strContent.data(), strContent.size()),
              static_cast<ssize_t>(strContent.size()));
    close(nFd);
    return szPath;
}

} // namespace

TEST(SimFileSource, PlaysTheFileOverAndOver) {
    const std::string strPath =
        WriteTemporaryFile(Bytes("# note\r\n$GPGGA,1*00\r\r\nnoise\0\n", 29));
    CFileSource source;
    std::string strError;
    ASSERT_TRUE(source.Load(strPath, strError)) << strError;
    std::remove(strPath.c_str());
    EXPECT_FALSE(source.IsEpochTimed());
    std::string strWire;
    source.AppendBlock(strWire);
    source.AppendBlock(strWire);
    const std::string strPass = Bytes("# note\r\n$GPGGA,1*00\r\nnoise\0\r\n", 29);
    EXPECT_EQ(strWire, strPass + strPass);
}

TEST(SimFileSource, RefusesMissingAndEmptyFiles) {
    CFileSource source;
    std::string strError;
    EXPECT_FALSE(source.Load("/nonexistent/velmora/capture.log", strError));
    EXPECT_NE(strError.find("/nonexistent/velmora/capture.log"), std::string::npos);
    const std::string strEmpty = WriteTemporaryFile("");
    EXPECT_FALSE(source.Load(strEmpty, strError));
    std::remove(strEmpty.c_str());
}

TEST(SimGarbler, JunkNeverFramesAValidSentence) {
    const std::string strStream = ScenarioStream(ScenarioOptions{}, 300);
    std::string strJunk = strStream;
    GarbleBytes(&strJunk[0], strJunk.size(), 0);

    EXPECT_EQ(strJunk.size(), strStream.size());
    EXPECT_EQ(strJunk.find_first_of("$\n"), std::string::npos);
    const auto nPrintable =
        std::count_if(strJunk.begin(), strJunk.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    EXPECT_EQ(nPrintable, 0);
    EXPECT_GT(std::count(strJunk.begin(), strJunk.end(), '\0'), 0);
    // Whatever a reader makes of it, no line it can cut out checks.
    for (std::size_t nStart = 0; nStart < strJunk.size(); nStart += 97) {
        EXPECT_FALSE(HasValidChecksum(strJunk.substr(nStart, 80)));
    }
}

TEST(SimGarbler, DependsOnlyOnBytesAndPositions) {
    const std::string strStream = ScenarioStream(ScenarioOptions{}, 20);
    std::string strWhole = strStream;
    GarbleBytes(&strWhole[0], strWhole.size(), 1000);
    // The feeder garbles chunk by chunk; the chunking must not matter.
    std::string strChunked = strStream;
    for (std::size_t nAt = 0; nAt < strChunked.size(); nAt += 37) {
        const std::size_t nSize = std::min<std::size_t>(37, strChunked.size() - nAt);
        GarbleBytes(&strChunked[nAt], nSize, 1000 + nAt);
    }
    EXPECT_EQ(strWhole, strChunked);
    std::string strShifted = strStream;
    GarbleBytes(&strShifted[0], strShifted.size(), 0);
    EXPECT_NE(strWhole, strShifted);
}

// Simulated clock: the pacer is asked every millisecond for as much as it gives.
TEST(SimPacer, NeverExceedsTheLineRateInAnyWindow) {
    const double dRate = 5760.0;
    const double dBurst = dRate * 0.010;
    CPacer pacer(dRate, 100.0);
    std::deque<std::size_t> queueLastTenth;
    std::size_t nWindow = 0;
    std::size_t nTotal = 0;
    for (int nMs = 1; nMs <= 3000; ++nMs) {
        const std::size_t nGranted = pacer.Grant(100.0 + nMs / 1000.0, 100000);
        nTotal += nGranted;
        nWindow += nGranted;
        queueLastTenth.push_back(nGranted);
        if (queueLastTenth.size() > 100) {
            nWindow -= queueLastTenth.front();
            queueLastTenth.pop_front();
        }
        ASSERT_LE(nWindow, dRate * 0.1 + dBurst) << "at " << nMs << " ms";
    }
    EXPECT_GE(nTotal, dRate * 3.0 - dBurst - 1);
    EXPECT_LE(nTotal, dRate * 3.0 + 1);
}

TEST(SimPacer, IdleTimeDoesNotBuildUpABurst) {
    CPacer pacer(5760.0, 0.0);
    EXPECT_LE(pacer.Grant(60.0, 100000), 58u);
    EXPECT_EQ(pacer.Grant(60.0, 100000), 0u);
    EXPECT_GT(pacer.WaitSeconds(), 0.0);
    EXPECT_LE(pacer.WaitSeconds(), 0.020);
}

TEST(SimOptions, AcceptsBothModes) {
    SimOptions options;
    std::string strError;
    ASSERT_EQ(ParseOptions({"--port", "3", "--baud=57600", "--seed", "18446744073709551615",
                            "--gps", "14", "--lowercase", "--gns", "--unpaced", "--epochs", "5"},
                           options, strError),
              vbase::ECommand::Run)
        << strError;
    EXPECT_EQ(options.m_eMode, EMode::Port);
    EXPECT_EQ(options.m_scenario.m_nSeed, 18446744073709551615ULL);
    EXPECT_TRUE(options.m_nPort == 3 && options.m_nBaud == 57600 && options.m_nEpochs == 5);
    EXPECT_TRUE(options.m_scenario.m_bLowercase && options.m_scenario.m_bGns && options.m_bUnpaced);
    ASSERT_EQ(ParseOptions({"--write", "out.txt", "--epochs", "86400"}, options, strError),
              vbase::ECommand::Run);
    EXPECT_EQ(options.m_eMode, EMode::Write);
    EXPECT_TRUE(options.m_scenario.m_nGps == 10 && options.m_scenario.m_nSeed == 1);
}

TEST(SimOptions, RejectsBadOptionsWithAReason) {
    const std::vector<std::vector<std::string>> vecBad = {
        {"--port", "3"},
        {"--port", "0", "--baud", "57600"},
        {"--port", "3", "--baud", "12345"},
        {"--port", "3", "--baud", "57600", "--gps", "17"},
        {"--port", "3", "--baud", "57600", "--gps", "-1"},
        {"--port", "3", "--baud", "57600", "--epochs", "0"},
        {"--port", "3", "--baud", "57600", "--seed"},
        {"--port", "3", "--baud", "57600", "--file", "x.log", "--gps", "12"},
        {"--write", "out.txt"},
        {"--write", "out.txt", "--epochs", "5", "--port", "3"},
        {"--port", "3x", "--baud", "57600"},
        {"--speed", "9600"},
    };
    for (const std::vector<std::string>& vecArgs : vecBad) {
        SimOptions options;
        std::string strError;
        EXPECT_EQ(ParseOptions(vecArgs, options, strError), vbase::ECommand::Error)
            << vecArgs[0] << " " << vecArgs.back();
        EXPECT_FALSE(strError.empty());
    }
}
