#include "tests/common/Nmea.h"

#include "app/ViewerDlg.h"
#include "core/Nmea.h"

std::string Sentence(const std::string& body, bool bLowerCase) {
    return vbase::Sentence(body, bLowerCase);
}

void Feed(CViewerDlg& dlg, const std::string& bytes) {
    for (unsigned char c : bytes)
        dlg.SendMessage(WM_SERIAL_RXCHAR, c, 1);
}
