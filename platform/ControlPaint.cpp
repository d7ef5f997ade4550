#include "platform/ControlPaint.h"

#include "platform/Controls.h"
#include "platform/Dialog.h"

#include <QPainter>

QColor ToQColor(COLORREF cr) {
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

void DrawEdge(QPainter& p, QRect r, COLORREF topLeft, COLORREF bottomRight) {
    p.setPen(ToQColor(topLeft));
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(ToQColor(bottomRight));
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

QRect DrawFrame(QPainter& p, QRect r, unsigned styles) {
    if (styles & CS_RAISED) {
        DrawEdge(p, r, kWhite, kDarkShadow);
        r.adjust(1, 1, -1, -1);
        DrawEdge(p, r, kFace, kShadow);
        r.adjust(1, 1, -1, -1);
    }
    if (styles & CS_CLIENTEDGE) {
        DrawEdge(p, r, kShadow, kWhite);
        r.adjust(1, 1, -1, -1);
        DrawEdge(p, r, kDarkShadow, kFace);
        r.adjust(1, 1, -1, -1);
    }
    if (styles & CS_STATICEDGE) {
        DrawEdge(p, r, kShadow, kWhite);
        r.adjust(1, 1, -1, -1);
    }
    if (styles & CS_BORDER) {
        DrawEdge(p, r, kDarkShadow, kDarkShadow);
        r.adjust(1, 1, -1, -1);
    }
    return r;
}

QRect FrameInterior(const QRect& r, unsigned styles) {
    int nInset = 0;
    nInset += (styles & CS_RAISED) ? 2 : 0;
    nInset += (styles & CS_CLIENTEDGE) ? 2 : 0;
    nInset += (styles & CS_STATICEDGE) ? 1 : 0;
    nInset += (styles & CS_BORDER) ? 1 : 0;
    return r.adjusted(nInset, nInset, -nInset, -nInset);
}

CtlColours AskColours(CControl* pControl) {
    CDC dc;
    UINT kind = pControl->CtlColorKind();
    dc.SetBkColor(kind == CTLCOLOR_EDIT ? kWhite : kFace);
    HBRUSH hBrush = pControl->Dialog()->OnCtlColor(&dc, pControl, kind);
    CtlColours c;
    c.crText = dc.GetTextColor();
    c.crBk = dc.GetBkColor();
    c.nBkMode = dc.GetBkMode();
    c.bBrushNull = !hBrush || hBrush->IsNull();
    c.crBrush = hBrush ? hBrush->Color() : kFace;
    return c;
}

int TextLeft(const QRect& area, int nWidth, unsigned styles) {
    if (styles & CS_CENTER)
        return area.left() + (area.width() - nWidth) / 2;
    if (styles & CS_RIGHT)
        return area.right() - nWidth;
    return area.left() + 1;
}

QRect PaintControlFace(QPainter& p, CControl* pControl, const QRect& r, const QString& text,
                       const CtlColours& c) {
    unsigned styles = pControl->Styles();
    p.fillRect(r, ToQColor(c.bBrushNull ? kFace : c.crBrush));
    QRect area = DrawFrame(p, r, styles);
    QFontMetrics fm(p.font());
    int w = fm.horizontalAdvance(text);
    int x = TextLeft(area, w, styles);
    if (c.nBkMode == OPAQUE && !text.isEmpty())
        p.fillRect(x, area.top(), w, fm.height(), ToQColor(c.crBk));
    p.setPen(ToQColor(c.crText));
    p.drawText(x, area.top() + fm.ascent(), text);
    return area;
}
