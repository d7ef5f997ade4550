// Lines and ellipses written straight into 32-bit images, pixel for pixel as the drawing code
// expects them and fast enough for paths of a hundred thousand segments.
#pragma once

#include <QImage>
#include <vector>

// The pixels a round pen covers around one point of a line, as one span per row.
class CPenFootprint {
public:
    void SetWidth(int nWidth);
    int Width() const { return m_nWidth; }
    int Top() const { return m_nTop; }
    struct Span {
        int nLeft;
        int nRight;
    };
    const std::vector<Span>& Rows() const { return m_rows; }

private:
    int m_nWidth = 0;
    int m_nTop = 0;
    std::vector<Span> m_rows;
};

// A line from (x1, y1) to (x2, y2). A 1-pixel pen leaves out the end point; a wider pen covers
// its footprint at every point of the line, both ends included, which gives round caps.
void RasterLine(QImage& image, int x1, int y1, int x2, int y2, const CPenFootprint& pen,
                QRgb colour);

// The ellipse inscribed in the box (x1, y1)-(x2, y2), whose right column and bottom row lie
// outside. The outline is nPenWidth pixels wide inside the box (none when 0); bFill fills what
// lies inside the outline (the whole figure when there is no outline).
void RasterEllipse(QImage& image, int x1, int y1, int x2, int y2, int nPenWidth, QRgb penColour,
                   bool bFill, QRgb fillColour);

// Copies the source's pixels from (xSrc, ySrc) to (x, y) over nWidth x nHeight pixels, except
// those of the transparent colour; clipped to both images.
void RasterCopyExcept(QImage& image, int x, int y, int nWidth, int nHeight, const QImage& source,
                      int xSrc, int ySrc, QRgb transparent);
