#include "Array2Pict.h"
#include "MFreeImage.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QBuffer>
#include <QTest>

class TestArray2Pict : public QObject {
    Q_OBJECT
private slots:
    void noPicture_data();
    void noPicture();
    void transparentGif();
    void encodedFormats_data();
    void encodedFormats();
};

void TestArray2Pict::noPicture_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("never sized") << QByteArray();
    QTest::newRow("garbage") << QByteArray("not a picture at all");
    QTest::newRow("truncated GIF header") << QByteArray("GIF89a\x10\x00", 8);
}

void TestArray2Pict::noPicture()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(Array2Pict::PictureFromBytes(bytes).isNull());
}

void TestArray2Pict::transparentGif()
{
    // Grey levels 0..255 across, the level 200 made transparent.
    FIBITMAP* grey = FreeImage_Allocate(256, 3, 8);
    RGBQUAD* palette = FreeImage_GetPalette(grey);
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 256; ++x) {
            BYTE index = BYTE(x);
            FreeImage_SetPixelIndex(grey, x, y, &index);
        }
    FreeImage_SetTransparentIndex(grey, 200);
    QByteArray bytes;
    QVERIFY(MFreeImage::SaveBitmapToBytes(FIF_GIF, grey, bytes, 0, true));

    const QImage picture = Array2Pict::PictureFromBytes(bytes);
    QCOMPARE(picture.size(), QSize(256, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 256; ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (x == 200) {
                QCOMPARE(c.alpha(), 0);
            } else {
                QCOMPARE(c.alpha(), 255);
                QCOMPARE(c, QColor(x, x, x));
            }
        }
    }
}

void TestArray2Pict::encodedFormats_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("JPEG") << int(FIF_JPEG);
    QTest::newRow("BMP") << int(FIF_BMP);
}

void TestArray2Pict::encodedFormats()
{
    QFETCH(int, format);
    FIBITMAP* pattern = TestPictures::MakePatternBitmap(40, 30);
    QByteArray bytes;
    QVERIFY(MFreeImage::SaveBitmapToBytes(FREE_IMAGE_FORMAT(format), pattern, bytes, 0, true));
    const QImage picture = Array2Pict::PictureFromBytes(bytes);
    QCOMPARE(picture.size(), QSize(40, 30));
    if (format == FIF_BMP) // lossless: exact, upright, channels in place
        QCOMPARE(picture.pixelColor(39, 0), TestPictures::PatternColor(39, 0));
}

RITRAX_TEST(TestArray2Pict)
#include "tst_array2pict.moc"
