// velmora-decode as a user runs it: help, clear errors, and a JSON line per valid sentence.
#include "DecodeOptions.h"
#include "StateChanges.h"
#include "core/Nmea.h"
#include "tests/common/TestSupport.h"
#include "tools/common/DecodeSession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int nStatus;
    std::string out;
    std::string err;
    std::vector<QJsonObject> Lines() const {
        std::vector<QJsonObject> lines;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
        return lines;
    }
};

ToolRun RunDecode(const std::string& args, const std::string& prefix = "") {
    CTempDir dir;
    std::string command = prefix + std::string(VELMORA_TOOLS_DIR) + "/velmora-decode " + args +
                          " >" + dir.File("out") + " 2>" + dir.File("err");
    int nStatus = std::system(command.c_str());
    return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, ReadFileBytes(dir.File("out")),
            ReadFileBytes(dir.File("err"))};
}

// A sentence as a log line, without its line ending.
std::string Sentence(const std::string& body) {
    const std::string line = vbase::Sentence(body);
    return line.substr(0, line.size() - 2);
}

TEST(DecodeOptionsTest, FiltersAndArguments) {
    unsigned nFilters = 0;
    std::string error;
    EXPECT_TRUE(ParseFilterList("gga,GSV", nFilters, error));
    EXPECT_EQ(nFilters, unsigned{FILTER_GGA | FILTER_GSV});
    EXPECT_TRUE(ParseFilterList("", nFilters, error));
    EXPECT_EQ(nFilters, 0u);
    EXPECT_FALSE(ParseFilterList("GGA,GLL", nFilters, error));
    EXPECT_NE(error.find("GLL"), std::string::npos);

    DecodeOptions opt;
    EXPECT_EQ(ParseDecodeOptions({"--paused", "--filters", "RMC", "log.txt"}, opt, error),
              vbase::ECommand::Run);
    EXPECT_TRUE(opt.bPaused);
    EXPECT_EQ(opt.nFilters, unsigned{FILTER_RMC});
    EXPECT_EQ(opt.strFile, "log.txt");
    for (std::vector<std::string> bad :
         {std::vector<std::string>{}, {"a", "b"}, {"--filters"}, {"--speed", "a"}})
        EXPECT_EQ(ParseDecodeOptions(bad, opt, error), vbase::ECommand::Error) << bad.size();
}

TEST(DecodeToolTest, FileErrors) {
    CTempDir dir;
    ToolRun missing = RunDecode(dir.File("none.log"));
    EXPECT_EQ(missing.nStatus, 1);
    EXPECT_NE(missing.err.find("none.log: No such file or directory"), std::string::npos);
    ToolRun folder = RunDecode(dir.Path());
    EXPECT_EQ(folder.nStatus, 1);
    EXPECT_NE(folder.err.find("a folder, not a regular file"), std::string::npos);
    ToolRun filters = RunDecode("--filters GGA,ZDA " + dir.Path());
    EXPECT_EQ(filters.nStatus, 2);
    EXPECT_NE(filters.err.find("ZDA"), std::string::npos);
    EXPECT_TRUE(missing.out.empty() && filters.out.empty());
}

TEST(DecodeToolTest, CaptureGivesALinePerValidSentence) {
    std::string path = std::string(VELMORA_CAPTURES) + "/gpsd-bu353s4.log";
    if (ReadFileBytes(path).empty())
        GTEST_SKIP() << "no capture " << path;
    ToolRun run = RunDecode(path);
    ASSERT_EQ(run.nStatus, 0) << run.err;
    std::vector<QJsonObject> lines = run.Lines();
    ASSERT_EQ(lines.size(), 90u) << "every sentence of this capture is valid";
    for (const QJsonObject& line : lines) {
        std::string sentence = line["sentence"].toString().toStdString();
        EXPECT_EQ(Sentence(sentence.substr(1, sentence.size() - 4)), sentence);
        EXPECT_EQ(line["cells"].toArray().size(), 100);
        EXPECT_EQ(line["sats"].toArray().size(), 24);
        EXPECT_EQ(line["counts"].toArray().size(), 6);
        EXPECT_EQ(line["ttff"].toArray().size(), 5);
    }
    const QJsonObject& first = lines.front();
    EXPECT_EQ(first["sentence"].toString().left(18), "$GPGGA,030719.000,");
    EXPECT_EQ(first["caption"].toString(), "停 止");
    EXPECT_EQ(first["items"].toObject()["1110"].toString(), "S   37° 47' 05.24\"");
    EXPECT_EQ(first["items"].toObject()["1111"].toString(), "E 175° 18' 53.63\"");
    EXPECT_EQ(first["items"].toObject()["1098"].toString(), "11 :07 :19");
    EXPECT_EQ(first["fix"].toInt(), 1);
    EXPECT_EQ(lines[1]["used"].toString(), "17,28,06,01,30,20,26,13,,,,,");
}

TEST(DecodeToolTest, LineEndingsFiltersAndPause) {
    CTempDir dir;
    std::vector<std::string> sentences = {
        Sentence("GPGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5"),
        Sentence("GPGSV,1,1,02,05,40,083,45,07,20,140,38"),
        Sentence("GPGGA,235959.00,3954.3920,N,11623.7590,E,1,08,0.9,52.34,M,-9.0,M,,")};
    for (const char* ending : {"\n", "\r\n", "\r\r\n"}) {
        std::string bytes;
        for (const std::string& s : sentences)
            bytes += s + ending;
        WriteFileBytes(dir.File(std::to_string(std::strlen(ending))), bytes);
    }
    ToolRun lf = RunDecode(dir.File("1"));
    EXPECT_EQ(lf.Lines().size(), 3u);
    EXPECT_EQ(RunDecode(dir.File("2")).out, lf.out);
    EXPECT_EQ(RunDecode(dir.File("3")).out, lf.out);
    EXPECT_EQ(lf.Lines()[1]["checkFont"].toArray(), QJsonArray{1008});
    EXPECT_EQ(lf.Lines()[2]["sats"].toArray()[0].toArray(), (QJsonArray{"05", 11, 40, 83}));

    std::vector<QJsonObject> ggaOnly = RunDecode("--filters GGA " + dir.File("1")).Lines();
    EXPECT_EQ(ggaOnly[1]["monitorLength"].toInt(), 0);
    EXPECT_EQ(ggaOnly[2]["monitorLength"].toInt(), static_cast<int>(sentences[2].size()) + 1);
    std::vector<QJsonObject> paused = RunDecode("--paused " + dir.File("1")).Lines();
    EXPECT_EQ(paused[2]["monitorLength"].toInt(), 0);
    EXPECT_EQ(paused[2]["items"].toObject()["1126"].toString(), "继续");
}

// A record file of n epochs with a fix moving about 11 m north each second (CR CR LF ends).
std::string MovingRecord(int nEpochs) {
    std::string file;
    for (int i = 0; i < nEpochs; ++i) {
        char body[160];
        std::snprintf(body, sizeof body,
                      "GPGGA,0800%02d.00,3954.%04d,N,11623.7590,E,1,08,0.9,52.3,M,,M,,", i % 60,
                      3920 + 60 * i);
        file += Sentence(body) + "\r\r\n";
        std::snprintf(body, sizeof body,
                      "GPRMC,0800%02d.00,A,3954.%04d,N,11623.7590,E,21.6,0.0,081226,,", i % 60,
                      3920 + 60 * i);
        file += Sentence(body) + "\r\r\n";
    }
    return file;
}

// Decodes a record file of n moving epochs with the options.
ToolRun RunOnMovingRecord(const std::string& options, int nEpochs) {
    CTempDir dir;
    WriteFileBytes(dir.File("r.txt"), MovingRecord(nEpochs));
    return RunDecode(options + " " + dir.File("r.txt"));
}

TEST(DecodeToolTest, ReplayPrintsATickPerEpochAndFinalOnlyTheLast) {
    ToolRun run = RunOnMovingRecord("--replay", 6);
    ASSERT_EQ(run.nStatus, 0) << run.err;
    std::vector<QJsonObject> ticks = run.Lines();
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks[0]["tick"].toInt(), 1);
    EXPECT_EQ(ticks[0]["captions"].toObject()["1139"].toString(), "停止回放");
    EXPECT_EQ(ticks[5]["captions"].toObject()["1139"].toString(), "回放语句");
    EXPECT_EQ(ticks[5]["items"].toObject()["1098"].toString(), "16 :00 :05");
    ToolRun final = RunOnMovingRecord("--replay --final", 6);
    ASSERT_EQ(final.Lines().size(), 1u);
    EXPECT_EQ(final.Lines()[0], ticks[5]);
    EXPECT_EQ(RunDecode("--replay /nonexistent-velmora.txt").nStatus, 1);
}

TEST(DecodeToolTest, TrackPrintsTheViewAfterEachRefresh) {
    ToolRun run = RunOnMovingRecord("--track", 5);
    ASSERT_EQ(run.nStatus, 0) << run.err;
    std::vector<QJsonObject> lines = run.Lines();
    ASSERT_EQ(lines.size(), 5u) << "one refresh per GGA epoch with a fix";
    EXPECT_EQ(lines[0]["steps"].toInt(), 1);
    EXPECT_EQ(lines[0]["lastStep"].toArray(), (QJsonArray{0, 0}));
    EXPECT_EQ(lines[0]["extents"].toArray(), (QJsonArray{210, 210, 210, 210}));
    EXPECT_EQ(lines[4]["steps"].toInt(), 5);
    EXPECT_EQ(lines[4]["scale"].toInt(), 1);
    EXPECT_EQ(lines[4]["lastStep"].toArray(), (QJsonArray{0, 11})) << "0.36\" north is 11 m";
    EXPECT_EQ(RunOnMovingRecord("--track --final", 5).Lines().back(), lines[4]);
    EXPECT_EQ(RunOnMovingRecord("--track --replay", 5).nStatus, 2);
}

} // namespace

// A FIFO would block for ever and /dev/zero never ends: both tools refuse anything but a
// regular file at once (the timeout only turns a hang into a failure).
TEST(DecodeToolTest, OnlyARegularFileOrStandardInputIsRead) {
    CTempDir dir;
    std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::string link = dir.File("link.log");
    ASSERT_EQ(symlink(fifo.c_str(), link.c_str()), 0);
    struct Case {
        std::string args;
        const char* pszKind;
    };
    std::string shot = std::string(VELMORA_TOOLS_DIR) + "/velmora-shot --out " + dir.File("out");
    for (const Case& c : {Case{"/dev/zero", "a device"}, Case{fifo, "a FIFO"},
                          Case{"--replay " + link, "a FIFO"}}) {
        ToolRun run = RunDecode(c.args, "timeout 20 ");
        EXPECT_EQ(run.nStatus, 1) << c.args;
        EXPECT_NE(run.err.find(std::string("it is ") + c.pszKind + ", not a regular file"),
                  std::string::npos)
            << run.err;
        EXPECT_TRUE(run.out.empty());
        std::string command = "timeout 20 " + shot + " --decode " +
                              c.args.substr(c.args.find('/')) + " 2>" + dir.File("shot.err");
        int nStatus = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, 1) << command;
        EXPECT_NE(ReadFileBytes(dir.File("shot.err")).find(c.pszKind), std::string::npos);
    }

    std::string sentence =
        Sentence("GPGGA,235959.00,3954.3920,N,11623.7590,E,1,08,0.9,52.3,M,,M,,");
    std::string log = dir.File("log.txt");
    WriteFileBytes(log, sentence + "\r\n");
    ToolRun fromFile = RunDecode(log);
    ToolRun fromStdin = RunDecode("- <" + log);
    EXPECT_EQ(fromStdin.nStatus, 0) << fromStdin.err;
    EXPECT_EQ(fromStdin.out, fromFile.out);
    ASSERT_EQ(fromStdin.Lines().size(), 1u);

    std::string record;
    for (int i = 0; i < 20; ++i)
        record += sentence + "\r\r\n";
    WriteFileBytes(log, record);
    ToolRun replayFile = RunDecode("--replay --final " + log);
    ToolRun replayStdin = RunDecode("--replay --final - <" + log);
    EXPECT_EQ(replayStdin.nStatus, 0) << replayStdin.err;
    EXPECT_EQ(replayStdin.out, replayFile.out);
}

TEST(DecodeToolTest, ChangesKeepOnlyWhatDiffersFromTheLineBefore) {
    CStateChanges changes;
    QJsonObject first{{"sentence", "$A"},
                      {"fix", 0},
                      {"items", QJsonObject{{"1110", "N"}}},
                      {"cells", QJsonArray{0, 11}}};
    EXPECT_EQ(
        changes.Next(first),
        (QJsonObject{
            {"sentence", "$A"}, {"fix", 0}, {"items.1110", "N"}, {"cells.0", 0}, {"cells.1", 11}}));
    QJsonObject second{
        {"sentence", "$A"}, {"fix", 1}, {"items", QJsonObject{}}, {"cells", QJsonArray{0, 14}}};
    EXPECT_EQ(
        changes.Next(second),
        (QJsonObject{
            {"sentence", "$A"}, {"fix", 1}, {"items.1110", QJsonValue::Null}, {"cells.1", 14}}));
    ToolRun run =
        RunDecode(std::string("--changes --final ") + VELMORA_TEST_DATA + "/two-epochs.txt");
    ASSERT_EQ(run.nStatus, 0) << run.err;
    ASSERT_EQ(run.Lines().size(), 1u);
    EXPECT_TRUE(run.Lines()[0].contains("items.1110"));
}
