#include "platform/Resources.h"
#include "resources/ResourceIds.h"

#include <QIcon>

#include "resources/icon128.xpm"
#include "resources/logo130.xpm"

QPixmap LoadBitmapResource(int nId) {
    if (nId == IDB_LOGO)
        return QPixmap(logo130_xpm);
    return QPixmap();
}

const QIcon* LoadIconResource(int nId) {
    if (nId != IDR_MAINFRAME)
        return nullptr;
    static const QIcon icon{QPixmap(icon128_xpm)};
    return &icon;
}

CString LoadStringResource(int nId) {
    if (nId == IDS_ABOUTBOX)
        return CString::FromUtf8("关于 Velmora(&A)...");
    return CString();
}
