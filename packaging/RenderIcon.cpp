// Build step: renders the program's icon artwork as a square PNG for desktop menus, each
// artwork pixel a block of pixels so that the picture stays sharp at any menu size.
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: render-icon ARTWORK.xpm OUT.png SIZE\n");
        return 2;
    }
    QImage artwork(QString::fromLocal8Bit(argv[1]), "XPM");
    int nSize = std::atoi(argv[3]);
    if (artwork.isNull() || nSize <= 0) {
        std::fprintf(stderr, "render-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage icon = artwork.convertToFormat(QImage::Format_ARGB32)
                      .scaled(nSize, nSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!icon.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "render-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
