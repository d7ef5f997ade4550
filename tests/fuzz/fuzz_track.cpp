// Arbitrary position texts through the track update and view fit, then a paint of the path.
#include "plots/TrackPlotDlg.h"
#include "tests/fuzz/FuzzWorld.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CViewerDlg& dlg = FuzzWindow();
    if (!dlg.m_pTrackPlot || dlg.m_pTrackPlot->m_points.size() > 2000) {
        dlg.DiscardTrackPlot();
        dlg.OnTrackPlot();
    }
    // The input is a list of fixes: latitude text, a NUL, longitude text, a NUL, and again.
    std::string input(reinterpret_cast<const char*>(pData), nSize);
    size_t pos = 0;
    while (pos < input.size()) {
        size_t latEnd = input.find('\0', pos);
        if (latEnd == std::string::npos)
            latEnd = input.size();
        size_t lonEnd = latEnd < input.size() ? input.find('\0', latEnd + 1) : latEnd;
        if (lonEnd == std::string::npos)
            lonEnd = input.size();
        dlg.m_strLatitude = CString(input.substr(pos, latEnd - pos));
        dlg.m_strLongitude =
            latEnd < input.size() ? CString(input.substr(latEnd + 1, lonEnd - latEnd - 1)) : "";
        dlg.m_bFixValid = 1;
        dlg.m_pTrackPlot->SendMessage(WM_COPYDATA, 0, 0);
        pos = lonEnd + 1;
    }
    dlg.m_pTrackPlot->RedrawNow();
    return 0;
}
