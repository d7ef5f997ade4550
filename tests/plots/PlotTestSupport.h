// Helpers of the plot window tests: rendered frames and their pixels, receiver texts.
#pragma once

#include "platform/Gdi.h"
#include "platform/Wnd.h"

#include <QImage>
#include <QRect>
#include <string>

// The window's client area after a paint pass, as the screen would show it.
inline QImage PaintedFrame(CWnd* pWnd) {
    pWnd->RedrawNow();
    return pWnd->Surface()->copy();
}

inline QRgb Pixel(COLORREF cr) {
    return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

// The smallest rectangle holding every pixel of exactly this colour inside the area.
inline QRect BoundsOf(const QImage& image, COLORREF cr, const QRect& area) {
    QRect bounds;
    QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (image.pixel(x, y) == Pixel(cr))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

inline int CountOf(const QImage& image, COLORREF cr, const QRect& area) {
    int n = 0;
    QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            n += image.pixel(x, y) == Pixel(cr);
    return n;
}

// Pixels darker than mid grey: text in black, whatever the face's antialiasing does.
inline int CountDark(const QImage& image, const QRect& area) {
    int n = 0;
    QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            n += qGray(image.pixel(x, y)) < 100;
    return n;
}

// Text drawn as a plot draws it, opaque, on a field of a colour no plot uses; the pixels that
// are not that colour are the text's cell. Returns the cell's rectangle.
constexpr COLORREF kFieldColour = RGB(1, 2, 3);
inline QRect RenderTextCell(QImage& out, int x, int y, const CString& text, int nPointTenths,
                            const char* pszFace, COLORREF crText, COLORREF crBk, int nWidth = 730,
                            int nHeight = 420) {
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(nullptr, nWidth, nHeight);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, nWidth, nHeight, kFieldColour);
    CFont font;
    if (pszFace)
        font.CreatePointFont(nPointTenths, pszFace);
    CFont* pOld = dc.SelectObject(pszFace ? &font : nullptr);
    dc.SetTextColor(crText);
    dc.SetBkColor(crBk);
    dc.TextOut(x, y, text);
    dc.SelectObject(pOld);
    dc.DeleteDC();
    out = bmp.Image().copy();
    QRect cell;
    for (int yy = 0; yy < nHeight; ++yy)
        for (int xx = 0; xx < nWidth; ++xx)
            if (out.pixel(xx, yy) != Pixel(kFieldColour))
                cell |= QRect(xx, yy, 1, 1);
    return cell;
}

// True when the frame shows exactly this opaque text at (x, y).
inline bool ShowsText(const QImage& frame, int x, int y, const CString& text, int nPointTenths,
                      const char* pszFace, COLORREF crText, COLORREF crBk) {
    QImage reference;
    QRect cell = RenderTextCell(reference, x, y, text, nPointTenths, pszFace, crText, crBk,
                                frame.width(), frame.height());
    return !cell.isEmpty() && frame.copy(cell) == reference.copy(cell);
}

// Receiver texts in the byte layouts of the receiver state, the parts given as text so that
// tests can also put in what a well-formed fix never holds.
inline CString LatitudeText(const char* pszDeg, const char* pszMin, const char* pszSec) {
    return CString("N   ") + pszDeg + GBK("°") + " " + pszMin + "' " + pszSec + "\"";
}

inline CString LongitudeText(const char* pszDeg, const char* pszMin, const char* pszSec) {
    return CString("E ") + pszDeg + GBK("°") + " " + pszMin + "' " + pszSec + "\"";
}
