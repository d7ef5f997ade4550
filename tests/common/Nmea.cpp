#include "tests/common/Nmea.h"

#include "app/ViewerDlg.h"

#include <cstdio>

std::string Sentence(const std::string& body, bool bLowerCase) {
    unsigned char sum = 0;
    for (unsigned char c : body)
        sum ^= c;
    char digits[3];
    std::snprintf(digits, sizeof digits, bLowerCase ? "%02x" : "%02X", sum);
    return "$" + body + "*" + digits + "\r\n";
}

void Feed(CViewerDlg& dlg, const std::string& bytes) {
    for (unsigned char c : bytes)
        dlg.SendMessage(WM_SERIAL_RXCHAR, c, 1);
}
