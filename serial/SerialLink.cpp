#include "serial/SerialLink.h"

CSerialLink::CSerialLink() = default;

CSerialLink::~CSerialLink() = default;

BOOL CSerialLink::Open(CWnd*, int, int, int, int, char, DWORD) {
    return FALSE;
}

BOOL CSerialLink::StartReader() {
    return FALSE;
}

BOOL CSerialLink::SuspendReader() {
    return TRUE;
}

void CSerialLink::ReportError(const char*) {}
