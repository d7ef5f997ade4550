#include "tests/nmea/NmeaTestSupport.h"

#include "serial/SerialLink.h"

#include <cstdio>

std::string Checksum(const std::string& body) {
    unsigned char sum = 0;
    for (char ch : body)
        sum ^= static_cast<unsigned char>(ch);
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", sum);
    return digits;
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
