#include "CardOverlay.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QTest>

#include <cmath>

namespace {

// FreeImage's grey level of a colour (Rec. 709 weights).
double Luma(QColor c)
{
    return 0.2126 * c.red() + 0.7152 * c.green() + 0.0722 * c.blue();
}

// Every colour whose channels lie in [low, 255], one pixel each.
QImage NearWhiteCube(int low)
{
    const int side = 256 - low;
    QImage cube(side * side, side, QImage::Format_RGB32);
    for (int b = 0; b < side; ++b)
        for (int r = 0; r < side; ++r)
            for (int g = 0; g < side; ++g)
                cube.setPixel(r * side + g, b, qRgb(low + r, low + g, low + b));
    return cube;
}

} // namespace

class TestCardOverlay : public QObject {
    Q_OBJECT
private slots:
    void nearWhite_data();
    void nearWhite();
    void exactlyTheWhitestLevelShowsThrough_data();
    void exactlyTheWhitestLevelShowsThrough();
    void fullSizeAndGrey_data();
    void fullSizeAndGrey();
};

void TestCardOverlay::nearWhite_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("transparent");
    const int photo = PhotoOverlayThreshold;
    const int signature = SignatureOverlayThreshold;
    QTest::newRow("photo 240,236,235") << QColor(240, 236, 235) << photo << true;
    QTest::newRow("photo 240,236,234") << QColor(240, 236, 234) << photo << false;
    QTest::newRow("photo 235 on every channel") << QColor(235, 235, 235) << photo << true;
    QTest::newRow("photo 230 on every channel") << QColor(230, 230, 230) << photo << false;
    QTest::newRow("signature 230 on every channel") << QColor(230, 230, 230) << signature << true;
    QTest::newRow("signature red 229") << QColor(229, 255, 255) << signature << false;
    QTest::newRow("signature green 229") << QColor(255, 229, 255) << signature << false;
    QTest::newRow("photo pure white") << QColor(255, 255, 255) << photo << true;
    QTest::newRow("photo 254,255,255") << QColor(254, 255, 255) << photo << true;
    QTest::newRow("signature ink") << QColor(20, 20, 60) << signature << false;
    QTest::newRow("photo black") << QColor(0, 0, 0) << photo << false;
}

void TestCardOverlay::nearWhite()
{
    QFETCH(QColor, colour);
    QFETCH(int, threshold);
    QFETCH(bool, transparent);
    // Beside a black pixel, so the picture is not all one grey level.
    QImage picture = TestPictures::MakeImage(4, 3, colour, QImage::Format_BGR888);
    picture.setPixelColor(0, 0, Qt::black);

    const QImage overlay = MakeCardOverlay(picture, threshold);
    QCOMPARE(overlay.size(), picture.size());
    const QColor seen = overlay.pixelColor(2, 1);
    if (transparent) {
        QCOMPARE(seen.alpha(), 0);
    } else {
        QCOMPARE(seen.alpha(), 255);
        QCOMPARE(seen.red(), seen.green());
        QCOMPARE(seen.green(), seen.blue());
        QVERIFY2(std::abs(seen.red() - Luma(colour)) <= 1.0, qPrintable(QString::number(seen.red())));
    }
    QCOMPARE(overlay.pixelColor(0, 0), QColor(0, 0, 0));
}

void TestCardOverlay::exactlyTheWhitestLevelShowsThrough_data()
{
    QTest::addColumn<int>("threshold");
    QTest::newRow("photo") << PhotoOverlayThreshold;
    QTest::newRow("signature") << SignatureOverlayThreshold;
}

void TestCardOverlay::exactlyTheWhitestLevelShowsThrough()
{
    QFETCH(int, threshold);
    // Every colour from 215 up on each channel: the see-through pixels must
    // be exactly those at or above the threshold everywhere, and no pixel
    // left opaque may sit on the top grey level.
    const int low = 215;
    const QImage cube = NearWhiteCube(low);
    const QImage overlay = MakeCardOverlay(cube, threshold);
    QCOMPARE(overlay.size(), cube.size());
    int wrong = 0;
    int seeThrough = 0;
    for (int y = 0; y < cube.height(); ++y) {
        for (int x = 0; x < cube.width(); ++x) {
            const QRgb in = cube.pixel(x, y);
            const QRgb out = overlay.pixel(x, y);
            const bool nearWhite = qRed(in) >= threshold && qGreen(in) >= threshold && qBlue(in) >= threshold;
            const bool transparent = qAlpha(out) == 0;
            seeThrough += transparent ? 1 : 0;
            if (nearWhite != transparent || (!transparent && (qAlpha(out) != 255 || qRed(out) == 255)))
                ++wrong;
        }
    }
    QCOMPARE(wrong, 0);
    QCOMPARE(seeThrough, (256 - threshold) * (256 - threshold) * (256 - threshold));
}

void TestCardOverlay::fullSizeAndGrey_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("format");
    QTest::newRow("photo, as a thumbnail holds it") << QSize(265, 320) << int(QImage::Format_BGR888);
    QTest::newRow("photo, 32-bit") << QSize(265, 320) << int(QImage::Format_RGB32);
    QTest::newRow("signature canvas 600 DPI") << QSize(710, 142) << int(QImage::Format_BGR888);
    QTest::newRow("signature canvas 200 DPI") << QSize(237, 48) << int(QImage::Format_BGR888);
}

void TestCardOverlay::fullSizeAndGrey()
{
    QFETCH(QSize, size);
    QFETCH(int, format);
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixelColor(x, y, TestPictures::PatternColor(x, y));
    picture = picture.convertToFormat(QImage::Format(format));

    const QImage overlay = MakeCardOverlay(picture, PhotoOverlayThreshold);
    QCOMPARE(overlay.size(), size);
    // Grey everywhere, and the picture is not turned upside down or mirrored
    // on its way through the bitmap.
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb out = overlay.pixel(x, y);
            if (qAlpha(out) == 0)
                continue;
            QVERIFY(qRed(out) == qGreen(out) && qGreen(out) == qBlue(out));
            QVERIFY2(std::abs(qRed(out) - Luma(TestPictures::PatternColor(x, y))) <= 1.0,
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    }
}

RITRAX_TEST(TestCardOverlay)
#include "tst_cardoverlay.moc"
