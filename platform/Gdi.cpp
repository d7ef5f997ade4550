#include "platform/Gdi.h"

#include "platform/Wnd.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStaticText>
#include <cmath>
#include <cstring>

namespace {

QColor ToQColor(COLORREF cr) {
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

QRgb ToQRgb(COLORREF cr) {
    return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

// Faces whose weight or slant is part of their name keep it on the face they are mapped to.
void ApplyIntrinsicStyle(QFont& font, const std::string& face) {
    if (face == "Arial Black")
        font.setWeight(QFont::Black);
    else if (face == "System")
        font.setWeight(QFont::Bold);
    else if (face == "Monotype Corsiva")
        font.setItalic(true);
}

// Plots draw the same few labels again at every refresh: each is shaped once per font. The
// cache is bounded in bytes as well as in entries, so long texts cannot pile up in it; a text
// too large to keep is shaped for its one use.
constexpr int kTextCacheEntries = 4096;
constexpr size_t kTextCacheBytes = 4u << 20;

struct CTextLayoutCache {
    QHash<QString, QStaticText> texts;
    size_t nBytes = 0;
};

CTextLayoutCache& TextLayoutCache() {
    static CTextLayoutCache cache;
    return cache;
}

// What a shaped text holds, roughly: its key and, for each character, a glyph with its
// position and the cached drawing data.
size_t LayoutBytes(const QString& key) {
    constexpr size_t kBytesPerCharacter = 64;
    return static_cast<size_t>(key.size()) * kBytesPerCharacter;
}

QStaticText LaidOutText(const QFont& font, const CString& str) {
    CTextLayoutCache& cache = TextLayoutCache();
    QString key = font.family() + QChar(0x1F) + QString::number(font.pixelSize()) +
                  QChar(font.italic() ? 'i' : 'n') + QString::number(font.weight()) + QChar(0x1F) +
                  QString::fromLatin1(str.Bytes().data(), str.GetLength());
    auto it = cache.texts.find(key);
    if (it != cache.texts.end())
        return *it;
    QStaticText text(str.ToUnicode());
    text.setTextFormat(Qt::PlainText);
    text.setPerformanceHint(QStaticText::AggressiveCaching);
    text.prepare(QTransform(), font);
    size_t nBytes = LayoutBytes(key);
    if (nBytes > kTextCacheBytes / 16)
        return text;
    if (cache.texts.size() >= kTextCacheEntries || cache.nBytes + nBytes > kTextCacheBytes) {
        cache.texts.clear();
        cache.nBytes = 0;
    }
    cache.nBytes += nBytes;
    return *cache.texts.insert(key, text);
}

CPen& DefaultPen() {
    static CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    return pen;
}

CBrush& DefaultBrush() {
    static CBrush brush(RGB(255, 255, 255));
    return brush;
}

} // namespace

size_t TextLayoutCacheBytes() {
    return TextLayoutCache().nBytes;
}

BOOL CPen::CreatePen(int nStyle, int nWidth, COLORREF cr) {
    m_nStyle = nStyle;
    m_nWidth = nWidth < 1 ? 1 : nWidth;
    m_cr = cr;
    return TRUE;
}

BOOL CPen::DeleteObject() {
    m_nStyle = PS_SOLID;
    m_nWidth = 1;
    m_cr = RGB(0, 0, 0);
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF cr) {
    m_bNull = false;
    m_cr = cr;
    return TRUE;
}

BOOL CBrush::DeleteObject() {
    m_bNull = true;
    return TRUE;
}

CBrush* CBrush::NullBrush() {
    static CBrush brush;
    return &brush;
}

int CFont::PixelSizeForPoints(int nTenths) {
    // Rounded as the Windows MulDiv(nTenths, 96, 720) rounds.
    return (nTenths * 96 + 360) / 720;
}

BOOL CFont::CreatePointFont(int nPointSize, const CString& strFace, CDC*) {
    std::string face = strFace.ToUtf8();
    m_font = QFont(QString::fromStdString(face));
    m_font.setPixelSize(PixelSizeForPoints(nPointSize) > 0 ? PixelSizeForPoints(nPointSize) : 1);
    ApplyIntrinsicStyle(m_font, face);
    m_bValid = true;
    return TRUE;
}

BOOL CFont::DeleteObject() {
    m_bValid = false;
    return TRUE;
}

CFont* CFont::SystemFont() {
    static CFont font;
    if (!font.IsValid())
        font.CreatePointFont(100, "System");
    return &font;
}

CBitmap::~CBitmap() {
    DeleteObject();
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    DeleteObject();
    // As many pixels as the screen behind the context has, so that a picture drawn here is
    // shown pixel for pixel on a high-density screen too.
    qreal dScale = pDC ? pDC->Scale() : 1;
    QSize size(nWidth > 0 ? nWidth : 1, nHeight > 0 ? nHeight : 1);
    m_image = QImage((QSizeF(size) * dScale).toSize(), QImage::Format_RGB32);
    m_image.setDevicePixelRatio(dScale);
    m_image.fill(Qt::black);
    return TRUE;
}

BOOL CBitmap::DeleteObject() {
    if (m_pSelectedIn)
        m_pSelectedIn->SelectObject(static_cast<CBitmap*>(nullptr));
    m_image = QImage();
    return TRUE;
}

CDC::CDC() : m_pPen(&DefaultPen()), m_pBrush(&DefaultBrush()), m_pFont(CFont::SystemFont()) {}

CDC::~CDC() {
    EndPainting();
    ReleaseBitmap();
}

BOOL CDC::CreateCompatibleDC(CDC*) {
    DeleteDC();
    m_bMemory = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    EndPainting();
    ReleaseBitmap();
    m_pTarget = nullptr;
    m_bMemory = false;
    m_pPen = &DefaultPen();
    m_pBrush = &DefaultBrush();
    m_pFont = CFont::SystemFont();
    m_crText = RGB(0, 0, 0);
    m_crBk = RGB(255, 255, 255);
    m_nBkMode = OPAQUE;
    return TRUE;
}

void CDC::AttachTarget(QImage* pImage) {
    EndPainting();
    m_pWindow = nullptr;
    m_pTarget = pImage;
}

void CDC::AttachWindow(CWnd* pWnd) {
    EndPainting();
    m_pWindow = pWnd;
    m_pTarget = pWnd ? pWnd->Surface() : nullptr;
}

QPainter& CDC::Painter() {
    if (m_pWindow)
        return m_pWindow->SurfacePainter();
    if (!m_pPainter) {
        m_pPainter = std::make_unique<QPainter>(m_pTarget);
        m_pPainter->setRenderHint(QPainter::Antialiasing, false);
    }
    return *m_pPainter;
}

void CDC::EndPainting() {
    if (m_pPainter) {
        m_pPainter->end();
        m_pPainter.reset();
    }
}

CPen* CDC::SelectObject(CPen* pPen) {
    CPen* pOld = m_pPen;
    m_pPen = pPen ? pPen : &DefaultPen();
    return pOld;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    CBrush* pOld = m_pBrush;
    m_pBrush = pBrush ? pBrush : &DefaultBrush();
    return pOld;
}

CFont* CDC::SelectObject(CFont* pFont) {
    CFont* pOld = m_pFont;
    m_pFont = pFont ? pFont : CFont::SystemFont();
    return pOld;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    CBitmap* pOld = m_pBitmap;
    AttachTarget(pBitmap ? &pBitmap->Image() : nullptr);
    ReleaseBitmap();
    if (pBitmap) {
        if (pBitmap->m_pSelectedIn && pBitmap->m_pSelectedIn != this)
            pBitmap->m_pSelectedIn->SelectObject(static_cast<CBitmap*>(nullptr));
        pBitmap->m_pSelectedIn = this;
        m_pBitmap = pBitmap;
    }
    return pOld;
}

void CDC::ReleaseBitmap() {
    if (m_pBitmap)
        m_pBitmap->m_pSelectedIn = nullptr;
    m_pBitmap = nullptr;
}

void CDC::SelectStockObject(int nIndex) {
    if (nIndex == NULL_BRUSH)
        m_pBrush = CBrush::NullBrush();
}

COLORREF CDC::SetTextColor(COLORREF cr) {
    COLORREF old = m_crText;
    m_crText = cr;
    return old;
}

COLORREF CDC::SetBkColor(COLORREF cr) {
    COLORREF old = m_crBk;
    m_crBk = cr;
    return old;
}

int CDC::SetBkMode(int nMode) {
    int old = m_nBkMode;
    m_nBkMode = nMode;
    return old;
}

CPoint CDC::MoveTo(int x, int y) {
    CPoint old = m_ptCurrent;
    m_ptCurrent = CPoint(x, y);
    return old;
}

qreal CDC::Scale() const {
    return m_pTarget ? m_pTarget->devicePixelRatio() : 1;
}

// On a picture with more pixels than drawing units, a pixel of the drawing is a block of
// pixels: a line runs through the middle of its blocks with a pen as wide as a block, and an
// ellipse's box grows with the scale.
int CDC::ToDevice(int v) const {
    return static_cast<int>(std::lround(v * Scale()));
}

int CDC::ToDeviceCentre(int v) const {
    return static_cast<int>(std::floor((v + 0.5) * Scale()));
}

BOOL CDC::LineTo(int x, int y) {
    if (m_pTarget && !m_pPen->IsNull()) {
        QRgb colour = ToQRgb(m_pPen->Color());
        if (Scale() == 1) {
            m_footprint.SetWidth(m_pPen->Width());
            RasterLine(*m_pTarget, m_ptCurrent.x, m_ptCurrent.y, x, y, m_footprint, colour);
        } else {
            m_footprint.SetWidth(ToDevice(m_pPen->Width()));
            RasterLine(*m_pTarget, ToDeviceCentre(m_ptCurrent.x), ToDeviceCentre(m_ptCurrent.y),
                       ToDeviceCentre(x), ToDeviceCentre(y), m_footprint, colour);
        }
    }
    m_ptCurrent = CPoint(x, y);
    return TRUE;
}

BOOL CDC::Ellipse(int x1, int y1, int x2, int y2) {
    if (!m_pTarget)
        return FALSE;
    int nPenWidth = m_pPen->IsNull() ? 0 : ToDevice(m_pPen->Width());
    RasterEllipse(*m_pTarget, ToDevice(x1), ToDevice(y1), ToDevice(x2), ToDevice(y2), nPenWidth,
                  ToQRgb(m_pPen->Color()), !m_pBrush->IsNull(), ToQRgb(m_pBrush->Color()));
    return TRUE;
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF cr) {
    if (m_pTarget)
        Painter().fillRect(x, y, cx, cy, ToQColor(cr));
}

BOOL CDC::TextOut(int x, int y, const CString& str) {
    if (!m_pTarget)
        return FALSE;
    QPainter& p = Painter();
    const QFont& font = m_pFont->Font();
    QStaticText text = LaidOutText(font, str);
    p.setFont(font);
    if (m_nBkMode == OPAQUE) {
        int height = QFontMetrics(font).height();
        p.fillRect(x, y, static_cast<int>(text.size().width() + 0.5), height, ToQColor(m_crBk));
    }
    p.setPen(ToQColor(m_crText));
    p.drawStaticText(x, y, text);
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD) {
    if (!m_pTarget || !pSrcDC || !pSrcDC->m_pTarget)
        return FALSE;
    QPainter& p = Painter();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    // The source rectangle is in the source's own pixels.
    qreal dSource = pSrcDC->Scale();
    p.drawImage(QPointF(x, y), *pSrcDC->Target(),
                QRectF(xSrc * dSource, ySrc * dSource, nWidth * dSource, nHeight * dSource));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    return TRUE;
}

BOOL CDC::TransparentBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                         COLORREF crTransparent) {
    if (!m_pTarget || !pSrcDC || !pSrcDC->m_pTarget)
        return FALSE;
    RasterCopyExcept(*m_pTarget, ToDevice(x), ToDevice(y), ToDevice(nWidth), ToDevice(nHeight),
                     *pSrcDC->m_pTarget, pSrcDC->ToDevice(xSrc), pSrcDC->ToDevice(ySrc),
                     ToQRgb(crTransparent));
    return TRUE;
}

CClientDC::CClientDC(CWnd* pWnd) : m_pWnd(pWnd) {
    AttachWindow(pWnd);
}

CClientDC::~CClientDC() {
    if (m_pWnd)
        m_pWnd->ShowSurface();
}

CPaintDC::CPaintDC(CWnd* pWnd) {
    AttachWindow(pWnd);
}
