#include "app/ViewerDlg.h"

void CViewerDlg::OnRecord() {}

void CViewerDlg::RecordByte(BYTE) {}
