// Arbitrary receiver bytes through the serial byte handler, framing, dispatch and decoders.
#include "tests/fuzz/FuzzWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CViewerDlg& dlg = FuzzWindow();
    for (size_t i = 0; i < nSize; ++i)
        dlg.SendMessage(WM_SERIAL_RXCHAR, pData[i], 1);
    return 0;
}
