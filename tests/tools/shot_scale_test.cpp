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

// The share of the 2 x 2 pixel blocks of a picture that are not of one colour: none when the
// picture was drawn at half the size and scaled up, many when it was drawn at the screen's
// density.
double FineBlockShare(const QImage& two) {
    long nFine = 0;
    for (int y = 0; y + 1 < two.height(); y += 2)
        for (int x = 0; x + 1 < two.width(); x += 2) {
            QRgb c = two.pixel(x, y);
            nFine += two.pixel(x + 1, y) != c || two.pixel(x, y + 1) != c ||
                     two.pixel(x + 1, y + 1) != c;
        }
    return static_cast<double>(nFine) / ((two.width() / 2) * (two.height() / 2));
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
    } pictures[] = {
        {"sky.png", 420, 420},
        {"track.png", 730, 420},
        {"main.png", 0, 0},
        {"about.png", 0, 0},
    };
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.pszName);
        QImage one(QString::fromStdString(dir.File(std::string("1/") + p.pszName)));
        QImage two(QString::fromStdString(dir.File(std::string("2/") + p.pszName)));
        ASSERT_FALSE(one.isNull() || two.isNull());
        if (p.nWidth) {
            EXPECT_EQ(one.size(), QSize(p.nWidth, p.nHeight));
        }
        EXPECT_EQ(two.size(), one.size() * 2);
        // The same picture: text and curves are drawn anew, so they differ in their edges only.
        EXPECT_LT(MeanDifference(one, two), 10.0);
        EXPECT_GT(FineBlockShare(two), 0.01) << "drawn at half the density and scaled up";
    }
    // The monitor's text is in the picture: the panel's lower part holds dark letters.
    QImage main(QString::fromStdString(dir.File("1/main.png")));
    int nDark = 0;
    for (int y = main.height() * 3 / 4; y < main.height() * 19 / 20; ++y)
        for (int x = main.width() / 20; x < main.width() * 9 / 10; ++x)
            nDark += qGray(main.pixel(x, y)) < 100;
    EXPECT_GT(nDark, 500) << "the sentence monitor shows no text";
}
