// Device contexts, bitmaps, pens, brushes and fonts on off-screen images, with the semantics the
// drawing code relies on: memory contexts, block copies, ellipses in bounding boxes,
// move-to/line-to, text at a top-left point with an opaque or transparent background. Text,
// fills and copies go through QPainter; lines and ellipses are written pixel by pixel (GdiRaster).
#pragma once

#include "platform/GdiRaster.h"
#include "platform/String.h"
#include "platform/Types.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

class CWnd;

// Pen styles and stock objects.
constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;
constexpr int NULL_BRUSH = 5;
constexpr DWORD SRCCOPY = 0x00CC0020;

class CPen {
public:
    CPen() = default;
    CPen(int nStyle, int nWidth, COLORREF cr) { CreatePen(nStyle, nWidth, cr); }
    BOOL CreatePen(int nStyle, int nWidth, COLORREF cr);
    BOOL DeleteObject();
    bool IsNull() const { return m_nStyle == PS_NULL; }
    COLORREF Color() const { return m_cr; }
    int Width() const { return m_nWidth; }

private:
    int m_nStyle = PS_SOLID;
    int m_nWidth = 1;
    COLORREF m_cr = RGB(0, 0, 0);
};

class CBrush;
using HBRUSH = const CBrush*;

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(COLORREF cr) { CreateSolidBrush(cr); }
    BOOL CreateSolidBrush(COLORREF cr);
    BOOL DeleteObject();
    bool IsNull() const { return m_bNull; }
    COLORREF Color() const { return m_cr; }
    operator HBRUSH() const { return this; }
    static CBrush* NullBrush();

private:
    bool m_bNull = true;
    COLORREF m_cr = RGB(255, 255, 255);
};

class CDC;

class CFont {
public:
    // nPointSize in tenths of a point, converted at 96 dots per inch.
    BOOL CreatePointFont(int nPointSize, const CString& strFace, CDC* pDC = nullptr);
    BOOL DeleteObject();
    bool IsValid() const { return m_bValid; }
    const QFont& Font() const { return m_font; }
    static int PixelSizeForPoints(int nTenths);
    // The font a device context or a control has before any is selected.
    static CFont* SystemFont();

private:
    QFont m_font;
    bool m_bValid = false;
};

class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // A new compatible bitmap is black.
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    // A bitmap released while selected is first taken out of its context, which then draws
    // nowhere, so no context is ever left drawing on a released picture.
    BOOL DeleteObject();
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }

private:
    friend class CDC;
    QImage m_image;
    CDC* m_pSelectedIn = nullptr;
};

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    bool IsValid() const { return m_pTarget != nullptr || m_bMemory; }

    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap);
    void SelectStockObject(int nIndex);

    COLORREF SetTextColor(COLORREF cr);
    COLORREF SetBkColor(COLORREF cr);
    int SetBkMode(int nMode);
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetBkColor() const { return m_crBk; }
    int GetBkMode() const { return m_nBkMode; }

    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    BOOL Ellipse(int x1, int y1, int x2, int y2);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF cr);
    BOOL TextOut(int x, int y, const CString& str);
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop);
    // A block copy that leaves out the source pixels of one colour, between pictures of the same
    // density (no stretching).
    BOOL TransparentBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                        COLORREF crTransparent);

    // The image this context draws on, or null.
    QImage* Target() const { return m_pTarget; }
    // Pixels per drawing unit of that image: more than 1 on a high-density screen.
    qreal Scale() const;

protected:
    void AttachTarget(QImage* pImage);
    // Contexts on a window share the window's painter, so that several can be open at once.
    void AttachWindow(CWnd* pWnd);
    QPainter& Painter();
    void EndPainting();

private:
    void ReleaseBitmap();
    int ToDevice(int v) const;
    int ToDeviceCentre(int v) const;

    QImage* m_pTarget = nullptr;
    CWnd* m_pWindow = nullptr;
    std::unique_ptr<QPainter> m_pPainter;
    bool m_bMemory = false;
    CBitmap* m_pBitmap = nullptr;
    CPen* m_pPen;
    CBrush* m_pBrush;
    CFont* m_pFont;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBk = RGB(255, 255, 255);
    int m_nBkMode = OPAQUE;
    CPoint m_ptCurrent;
    CPenFootprint m_footprint;
};

// A context on a window's client area: draws on the window's surface, which is put on the
// screen at the window's next paint.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    CWnd* m_pWnd;
};

// The context of a paint pass (erase background, then paint).
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
};

// What the shaped texts kept for TextOut hold, by estimate: the cache stays within a few
// megabytes whatever is drawn.
size_t TextLayoutCacheBytes();
