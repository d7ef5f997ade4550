// Painting shared by the controls we draw ourselves: frames by style and text in the colours
// the dialog's OnCtlColor gives, asked for at every paint as the framework does.
#pragma once

#include "platform/Colours.h"
#include "platform/Types.h"

#include <QColor>
#include <QRect>
#include <QString>

class CControl;
class QPainter;

QColor ToQColor(COLORREF cr);
void DrawEdge(QPainter& p, QRect r, COLORREF topLeft, COLORREF bottomRight);
// Draws the frame the styles ask for and returns the area inside it.
QRect DrawFrame(QPainter& p, QRect r, unsigned styles);
// The area inside that frame.
QRect FrameInterior(const QRect& r, unsigned styles);

struct CtlColours {
    COLORREF crText = kBlack;
    COLORREF crBk = kFace;
    int nBkMode = OPAQUE;
    COLORREF crBrush = kFace;
    bool bBrushNull = false;
    bool operator==(const CtlColours& o) const {
        return crText == o.crText && crBk == o.crBk && nBkMode == o.nBkMode &&
               crBrush == o.crBrush && bBrushNull == o.bBrushNull;
    }
};
CtlColours AskColours(CControl* pControl);

// Where a text of this width starts in the area, by the alignment styles.
int TextLeft(const QRect& area, int nWidth, unsigned styles);
// The control's face in these colours: the brush fills it, the frame is drawn, and the text is
// drawn at the top of the area inside, on its opaque background when the mode says so.
// Returns that area.
QRect PaintControlFace(QPainter& p, CControl* pControl, const QRect& r, const QString& text,
                       const CtlColours& c);
