// Painting shared by the controls we draw ourselves: frames by style and text in the colours
// the dialog's OnCtlColor gives, asked for at every paint as the framework does.
#pragma once

#include "platform/Types.h"

#include <QColor>
#include <QRect>
#include <QString>

class CControl;
class QPainter;

constexpr COLORREF kFaceColour = RGB(240, 240, 240);
constexpr COLORREF kShadow = RGB(160, 160, 160);
constexpr COLORREF kDarkShadow = RGB(105, 105, 105);
constexpr COLORREF kHighlight = RGB(255, 255, 255);

QColor ToQColor(COLORREF cr);
void DrawEdge(QPainter& p, QRect r, COLORREF topLeft, COLORREF bottomRight);
// Draws the frame the styles ask for and returns the area inside it.
QRect DrawFrame(QPainter& p, QRect r, unsigned styles);
// The area inside that frame.
QRect FrameInterior(const QRect& r, unsigned styles);

struct CtlColours {
    COLORREF crText = RGB(0, 0, 0);
    COLORREF crBk = kFaceColour;
    int nBkMode = OPAQUE;
    COLORREF crBrush = kFaceColour;
    bool bBrushNull = false;
};
CtlColours AskColours(CControl* pControl);

// Where a text of this width starts in the area, by the alignment styles.
int TextLeft(const QRect& area, int nWidth, unsigned styles);
// The control's face: the brush fills it, the frame is drawn, and the text is drawn at the top
// of the area inside, on its opaque background when the mode says so. Returns that area.
QRect PaintControlFace(QPainter& p, CControl* pControl, const QRect& r, const QString& text);
