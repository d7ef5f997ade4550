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
