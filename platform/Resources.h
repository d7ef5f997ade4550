// Loading the program's resources by id (defined in resources/).
#pragma once

#include "platform/String.h"

#include <QPixmap>

class QIcon;

QPixmap LoadBitmapResource(int nId);
const QIcon* LoadIconResource(int nId);
CString LoadStringResource(int nId);
