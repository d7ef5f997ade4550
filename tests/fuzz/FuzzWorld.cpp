#include "tests/fuzz/FuzzWorld.h"

#include "platform/Environment.h"
#include "platform/MessageBox.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

struct CWorld {
    CWorld() {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        PrepareFontEnvironment();
        PrepareRuntimeDirectory();
        static int argc = 1;
        static char name[] = "velmora-fuzz";
        static char* argv[] = {name, nullptr};
        pQtApp = new QApplication(argc, argv);
        SetMessageBoxHook([](const MessageBoxCall&) { return IDOK; });
        pApp = new CViewerApp;
        pDlg = new CViewerDlg;
        pApp->m_pMainWnd = pDlg;
        pDlg->Create(IDD_VIEWER_DIALOG);
        pDlg->EnterAcquiringState();
        pDlg->OnSkyPlot();
        pDlg->OnTrackPlot();
    }
    QApplication* pQtApp;
    CViewerApp* pApp;
    CViewerDlg* pDlg;
};

} // namespace

CViewerDlg& FuzzWindow() {
    static CWorld* pWorld = new CWorld;
    return *pWorld->pDlg;
}

const char* FuzzFile(const uint8_t* pData, size_t nSize) {
    static std::string path = "/tmp/velmora-fuzz-" + std::to_string(getpid()) + ".txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(pData, 1, nSize, f);
        std::fclose(f);
    }
    return path.c_str();
}
