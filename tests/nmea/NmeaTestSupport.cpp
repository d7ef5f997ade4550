#include "tests/nmea/NmeaTestSupport.h"

#include "core/Nmea.h"
#include "serial/SerialLink.h"

std::string Checksum(const std::string& body) {
    return vbase::ChecksumDigits(body);
}

CNmeaTest::CNmeaTest() {
    Dlg().EnterAcquiringState();
}

void CNmeaTest::Feed(const std::string& bytes) {
    for (char ch : bytes)
        Dlg().SendMessage(WM_SERIAL_RXCHAR, static_cast<unsigned char>(ch), 1);
}

bool CNmeaTest::Dispatched(const std::string& bytes) {
    Dlg().m_bGotValidSentence = 0;
    Feed(bytes);
    return Dlg().m_bGotValidSentence == 1;
}

namespace {

void ExpectDecodedTexts(const DecodeCase& c) {
    CViewerHarness harness;
    CViewerDlg& dlg = harness.Dlg();
    dlg.EnterAcquiringState();
    for (const std::string& sentence : c.sentences) {
        dlg.m_bGotValidSentence = 0;
        Feed(dlg, sentence[0] == '$' ? sentence + "\r\n" : Sentence(sentence));
        ASSERT_EQ(dlg.m_bGotValidSentence, 1) << sentence;
    }
    for (const auto& [nID, strText] : c.texts)
        EXPECT_EQ(harness.Text(nID).Bytes(), strText) << "control " << nID;
    if (c.bFixValid != kAnyFix) {
        EXPECT_EQ(dlg.m_bFixValid, c.bFixValid);
    }
}

} // namespace

void ExpectDecodedTexts(const std::vector<DecodeCase>& cases) {
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        ExpectDecodedTexts(c);
    }
}
