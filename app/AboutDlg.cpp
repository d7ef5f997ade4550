#include "app/AboutDlg.h"

#include "resources/ResourceIds.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
