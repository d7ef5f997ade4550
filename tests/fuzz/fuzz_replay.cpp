// Arbitrary file contents replayed tick after tick to the end.
#include "platform/FileDialog.h"
#include "tests/fuzz/FuzzWorld.h"

#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CViewerDlg& dlg = FuzzWindow();
    dlg.m_bAcquiring = 0;
    std::string path = FuzzFile(pData, nSize);
    SetFileDialogHook([path](const FileDialogCall&) { return std::optional<std::string>(path); });
    dlg.OnReplay();
    SetFileDialogHook(nullptr);
    for (int nTicks = 0; dlg.m_pReplayFile && nTicks < 100000; ++nTicks)
        dlg.RunReplayTick();
    return 0;
}
