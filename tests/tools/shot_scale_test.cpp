// On a high-density screen (a scale factor of 2) every window and drawing scales as a whole:
// the same picture with twice the pixels each way, the plot windows at their logical size.
#include "tests/common/TestSupport.h"

#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

int RunCommand(const std::string& command) {
    int nStatus = std::system(command.c_str());
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

// The share of the 1x picture's pixels that the 2x picture shows in the top-left pixel of
// their 2 x 2 block.
double BlockMatch(const QImage& one, const QImage& two) {
    long nSame = 0;
    for (int y = 0; y < one.height(); ++y)
        for (int x = 0; x < one.width(); ++x)
            nSame += one.pixel(x, y) == two.pixel(2 * x, 2 * y);
    return static_cast<double>(nSame) / (one.width() * one.height());
}

// The mean difference per colour channel, 0-255, between the 1x picture and the 2x picture
// brought down to its size.
double MeanDifference(const QImage& one, const QImage& two) {
    QImage down = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_RGB32);
    QImage base = one.convertToFormat(QImage::Format_RGB32);
    double dSum = 0;
    for (int y = 0; y < base.height(); ++y)
        for (int x = 0; x < base.width(); ++x) {
            QRgb a = base.pixel(x, y), b = down.pixel(x, y);
            dSum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                    std::abs(qBlue(a) - qBlue(b));
        }
    return dSum / (3.0 * base.width() * base.height());
}

} // namespace

TEST(ShotScaleTest, AtScaleFactorTwoEveryWindowIsTheSamePictureTwiceAsLarge) {
    CTempDir dir;
    const std::string tools = VELMORA_TOOLS_DIR;
    ASSERT_EQ(RunCommand(tools + "/velmora-sim --write " + dir.File("drive.txt") +
                         " --epochs 120 --seed 3 >/dev/null"),
              0);
    for (const char* pszScale : {"1", "2"})
        ASSERT_EQ(RunCommand(std::string("QT_SCALE_FACTOR=") + pszScale + " " + tools +
                             "/velmora-shot --decode " + dir.File("drive.txt") +
                             " --panel --sky --track --out " + dir.File(pszScale) + " 2>/dev/null"),
                  0);
    struct Picture {
        const char* pszName;
        int nWidth, nHeight; // logical; 0 when the layout decides
        double dMinMatch;    // pictures drawn pixel for pixel and shown scaled (0: all widgets)
    } pictures[] = {
        // Text in the pictures is hinted for the screen, so its pixels may differ.
        {"sky.png", 420, 420, 0.95},
        {"track.png", 730, 420, 0.95},
        {"main.png", 0, 0, 0},
        {"about.png", 0, 0, 0},
    };
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.pszName);
        QImage one(QString::fromStdString(dir.File(std::string("1/") + p.pszName)));
        QImage two(QString::fromStdString(dir.File(std::string("2/") + p.pszName)));
        ASSERT_FALSE(one.isNull() || two.isNull());
        if (p.nWidth)
            EXPECT_EQ(one.size(), QSize(p.nWidth, p.nHeight));
        EXPECT_EQ(two.size(), one.size() * 2);
        if (p.dMinMatch > 0)
            EXPECT_GE(BlockMatch(one, two), p.dMinMatch);
        // Text is drawn anew at the larger size, so it differs in its edges only.
        EXPECT_LT(MeanDifference(one, two), 10.0);
    }
}
