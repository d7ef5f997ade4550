// The application object: runs the main window modally and ends with it.
#pragma once

#include "platform/App.h"

class CViewerApp : public CWinApp {
public:
    CViewerApp();
    BOOL InitInstance() override;
};
