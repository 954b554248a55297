#include "MFreeImage.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace MFreeImage;

namespace {

int releases = 0;
void CountingUnload(FIBITMAP* bitmap)
{
    ++releases;
    FreeImage_Unload(bitmap);
}

// Counts the module's releases for the lifetime of the guard.
struct ReleaseCounter {
    ReleaseCounter()
    {
        releases = 0;
        previous = SetUnloadFunction(CountingUnload);
    }
    ~ReleaseCounter() { SetUnloadFunction(previous); }
    int count() const { return releases; }
    UnloadFunction previous;
};

using BridgeCall = std::function<void(FIBITMAP*, bool unloadSource)>;

// The colour FreeImage itself gives the pixel, with the row counted from the top.
QColor PixelOf(FIBITMAP* bitmap, int x, int yFromTop)
{
    const unsigned y = FreeImage_GetHeight(bitmap) - 1 - unsigned(yFromTop);
    RGBQUAD q{};
    if (FreeImage_GetBPP(bitmap) <= 8) {
        BYTE index = 0;
        FreeImage_GetPixelIndex(bitmap, unsigned(x), y, &index);
        q = FreeImage_GetPalette(bitmap)[index];
    } else {
        FreeImage_GetPixelColor(bitmap, unsigned(x), y, &q);
    }
    return QColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

} // namespace

Q_DECLARE_METATYPE(BridgeCall)

class TestImaging : public QObject {
    Q_OBJECT
private slots:
    void nullBitmapsAreNotErrors();
    void headerOnlyRaisesTheBridgeError_data();
    void headerOnlyRaisesTheBridgeError();
    void saveToBytesFailingEncode();
    void saveToBytesSuccess();
    void paletteViewWritesThrough();
    void pictureFromBitmapKeepsOrientationAndChannels_data();
    void pictureFromBitmapKeepsOrientationAndChannels();
    void roundTripKeepsEveryPixel();
    void pictureOutlivesItsBitmap();
    void unconvertibleBitmapStillReleased();
    void bitmapFromPictureOfAnyDepth_data();
    void bitmapFromPictureOfAnyDepth();
    void saveToFileWithAccentedName();
};

void TestImaging::nullBitmapsAreNotErrors()
{
    ReleaseCounter counter;
    QByteArray buffer("keep");
    QVERIFY(!SaveBitmapToBytes(FIF_GIF, nullptr, buffer, 0, true));
    QCOMPARE(buffer, QByteArray("keep"));
    QVERIFY(DeviceBitmapFromBitmap(nullptr, true).isNull());
    QVERIFY(PictureFromLibraryBitmap(nullptr, true).isNull());
    QVERIFY(PaletteView(nullptr).empty());
    QVERIFY(LibraryBitmapFromPicture(QImage()) == nullptr);
    QCOMPARE(counter.count(), 0);
}

void TestImaging::headerOnlyRaisesTheBridgeError_data()
{
    QTest::addColumn<BridgeCall>("call");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<bool>("unloadSource");
    const BridgeCall save = [](FIBITMAP* b, bool u) {
        QByteArray buffer;
        SaveBitmapToBytes(FIF_GIF, b, buffer, 0, u);
    };
    const BridgeCall device = [](FIBITMAP* b, bool u) { DeviceBitmapFromBitmap(b, u); };
    const BridgeCall picture = [](FIBITMAP* b, bool u) { PictureFromLibraryBitmap(b, u); };
    for (bool unload : {false, true}) {
        const char* suffix = unload ? " (unloadSource)" : "";
        QTest::addRow("SaveBitmapToBytes%s", suffix) << save << "Unable to save a 'header-only' bitmap." << unload;
        QTest::addRow("DeviceBitmapFromBitmap%s", suffix)
            << device << "Unable to create a bitmap from a 'header-only' bitmap." << unload;
        QTest::addRow("PictureFromLibraryBitmap%s", suffix)
            << picture << "Unable to create a picture from a 'header-only' bitmap." << unload;
    }
}

void TestImaging::headerOnlyRaisesTheBridgeError()
{
    QFETCH(BridgeCall, call);
    QFETCH(QString, sentence);
    QFETCH(bool, unloadSource);
    ReleaseCounter counter;
    FIBITMAP* headerOnly = TestPictures::MakeHeaderOnlyBitmap(10, 10);
    QVERIFY(headerOnly);
    QVERIFY(!BitmapHasPixels(headerOnly));
    bool thrown = false;
    try {
        call(headerOnly, unloadSource);
    } catch (const BridgeError& error) {
        thrown = true;
        QCOMPARE(error.number(), 5);
        QCOMPARE(error.source(), QStringLiteral("MFreeImage"));
        QCOMPARE(error.description(),
                 QStringLiteral("Chiamata di routine o argomento non validi.\r\n\r\n") + sentence);
    }
    QVERIFY(thrown);
    // Handed over with unloadSource, the bitmap is released even on this path.
    QCOMPARE(counter.count(), unloadSource ? 1 : 0);
    if (!unloadSource)
        FreeImage_Unload(headerOnly);
}

void TestImaging::saveToBytesFailingEncode()
{
    for (bool unload : {false, true}) {
        ReleaseCounter counter;
        // GIF takes 1, 4 or 8 bits per pixel only: 24 bits fail to encode.
        FIBITMAP* colour = TestPictures::MakeBitmap(8, 8, 24, Qt::red);
        QByteArray buffer("untouched");
        QVERIFY(!SaveBitmapToBytes(FIF_GIF, colour, buffer, 0, unload));
        QCOMPARE(buffer, QByteArray("untouched"));
        QCOMPARE(counter.count(), unload ? 1 : 0);
        if (!unload)
            FreeImage_Unload(colour);
    }
}

void TestImaging::saveToBytesSuccess()
{
    ReleaseCounter counter;
    FIBITMAP* grey = TestPictures::MakeBitmap(20, 10, 8, QColor(128, 128, 128));
    QByteArray buffer("old content that is longer than nothing");
    QVERIFY(SaveBitmapToBytes(FIF_GIF, grey, buffer, 0, true));
    QCOMPARE(counter.count(), 1);
    QVERIFY(buffer.startsWith("GIF8"));
    QVERIFY(buffer.endsWith(';')); // GIF trailer: the whole file, nothing more
    FIMEMORY* memory = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(buffer.data()), DWORD(buffer.size()));
    FIBITMAP* back = FreeImage_LoadFromMemory(FIF_GIF, memory);
    QVERIFY(back);
    QCOMPARE(FreeImage_GetWidth(back), 20u);
    QCOMPARE(FreeImage_GetHeight(back), 10u);
    FreeImage_Unload(back);
    FreeImage_CloseMemory(memory);
}

void TestImaging::paletteViewWritesThrough()
{
    FIBITMAP* grey = TestPictures::MakeBitmap(4, 4, 8, Qt::black);
    PaletteEntries view = PaletteView(grey);
    QCOMPARE(view.size(), std::size_t(256));
    view[3].rgbRed = 200;
    view[3].rgbBlue = 7;
    QCOMPARE(FreeImage_GetPalette(grey)[3].rgbRed, BYTE(200));
    QCOMPARE(FreeImage_GetPalette(grey)[3].rgbBlue, BYTE(7));
    QCOMPARE(view.data(), FreeImage_GetPalette(grey)); // a view, not a copy
    FreeImage_Unload(grey);

    FIBITMAP* mono = TestPictures::MakeBitmap(4, 4, 1, Qt::white);
    QCOMPARE(PaletteView(mono).size(), std::size_t(2));
    FreeImage_Unload(mono);

    FIBITMAP* colour = TestPictures::MakeBitmap(4, 4, 24, Qt::white);
    QVERIFY(PaletteView(colour).empty());
    FreeImage_Unload(colour);
}

void TestImaging::pictureFromBitmapKeepsOrientationAndChannels_data()
{
    QTest::addColumn<int>("bpp");
    QTest::newRow("24 bits") << 24;
    QTest::newRow("32 bits") << 32;
    QTest::newRow("16 bits") << 16;
    QTest::newRow("8 bits") << 8;
    QTest::newRow("4 bits") << 4;
    QTest::newRow("1 bit") << 1;
}

void TestImaging::pictureFromBitmapKeepsOrientationAndChannels()
{
    QFETCH(int, bpp);
    FIBITMAP* pattern = TestPictures::MakePatternBitmap(13, 7);
    FIBITMAP* source = pattern;
    if (bpp == 32)
        source = FreeImage_ConvertTo32Bits(pattern);
    else if (bpp == 16)
        source = FreeImage_ConvertTo16Bits565(pattern);
    else if (bpp == 8)
        source = FreeImage_ColorQuantizeEx(pattern, FIQ_NNQUANT, 256);
    else if (bpp == 4)
        source = FreeImage_ConvertTo4Bits(pattern);
    else if (bpp == 1)
        source = FreeImage_Threshold(pattern, 128);
    QVERIFY(source);
    QCOMPARE(int(FreeImage_GetBPP(source)), bpp);

    const QImage picture = PictureFromLibraryBitmap(source, false);
    QCOMPARE(picture.size(), QSize(13, 7));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            QCOMPARE(picture.pixelColor(x, y), PixelOf(source, x, y));
    if (bpp == 24 || bpp == 32) {
        // Exact colours: a flip or a red/blue swap shows here.
        QCOMPARE(picture.pixelColor(0, 0), TestPictures::PatternColor(0, 0));
        QCOMPARE(picture.pixelColor(12, 6), TestPictures::PatternColor(12, 6));
        QCOMPARE(picture.pixelColor(3, 5), TestPictures::PatternColor(3, 5));
    }
    if (source != pattern)
        FreeImage_Unload(source);
    FreeImage_Unload(pattern);
}

void TestImaging::roundTripKeepsEveryPixel()
{
    FIBITMAP* pattern = TestPictures::MakePatternBitmap(31, 17);
    const QImage picture = PictureFromLibraryBitmap(pattern, false);
    FIBITMAP* back = LibraryBitmapFromPicture(picture);
    QVERIFY(back);
    QCOMPARE(FreeImage_GetBPP(back), 24u);
    QCOMPARE(FreeImage_GetWidth(back), 31u);
    QCOMPARE(FreeImage_GetHeight(back), 17u);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 31; ++x)
            QCOMPARE(PixelOf(back, x, y), TestPictures::PatternColor(x, y));
    FreeImage_Unload(back);
    FreeImage_Unload(pattern);
}

void TestImaging::pictureOutlivesItsBitmap()
{
    ReleaseCounter counter;
    FIBITMAP* pattern = TestPictures::MakePatternBitmap(5, 4);
    const QImage kept = PictureFromLibraryBitmap(pattern, false);
    FreeImage_Unload(pattern);
    QCOMPARE(kept.pixelColor(4, 3), TestPictures::PatternColor(4, 3));

    FIBITMAP* handedOver = TestPictures::MakePatternBitmap(5, 4);
    const QImage owned = PictureFromLibraryBitmap(handedOver, true);
    QCOMPARE(counter.count(), 1);
    QCOMPARE(owned.pixelColor(1, 2), TestPictures::PatternColor(1, 2));
}

void TestImaging::unconvertibleBitmapStillReleased()
{
    ReleaseCounter counter;
    // A bitmap with pixels of a type no picture can show.
    FIBITMAP* complex = FreeImage_AllocateT(FIT_COMPLEX, 4, 4);
    QVERIFY(complex && BitmapHasPixels(complex));
    QVERIFY(DeviceBitmapFromBitmap(complex, true).isNull());
    QCOMPARE(counter.count(), 1);
}

void TestImaging::bitmapFromPictureOfAnyDepth_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QColor>("expected"); // every pixel

    QImage mono(9, 5, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(1);
    QTest::newRow("1 bit") << mono << QColor(255, 255, 255);

    QImage indexed(9, 5, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    indexed.fill(1);
    QTest::newRow("8 bits") << indexed << QColor(200, 100, 50);

    QTest::newRow("24 bits") << TestPictures::MakeImage(9, 5, QColor(1, 2, 3), QImage::Format_RGB888)
                             << QColor(1, 2, 3);
    QTest::newRow("32 bits") << TestPictures::MakeImage(9, 5, QColor(250, 5, 90), QImage::Format_RGB32)
                             << QColor(250, 5, 90);
    QTest::newRow("alpha dropped, colour kept")
        << TestPictures::MakeImage(9, 5, QColor(255, 0, 0, 0), QImage::Format_ARGB32) << QColor(255, 0, 0);
    QTest::newRow("premultiplied alpha not darkened")
        << TestPictures::MakeImage(9, 5, QColor(200, 100, 0, 128), QImage::Format_ARGB32_Premultiplied)
        << QColor(200, 100, 0);
}

void TestImaging::bitmapFromPictureOfAnyDepth()
{
    QFETCH(QImage, picture);
    QFETCH(QColor, expected);
    FIBITMAP* bitmap = LibraryBitmapFromPicture(picture);
    QVERIFY(bitmap);
    QCOMPARE(FreeImage_GetBPP(bitmap), 24u);
    QCOMPARE(FreeImage_GetWidth(bitmap), 9u);
    QCOMPARE(FreeImage_GetHeight(bitmap), 5u);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 9; ++x) {
            const QColor c = PixelOf(bitmap, x, y);
            // Premultiplying by 128/255 and back may be off by one.
            QVERIFY2(qAbs(c.red() - expected.red()) <= 1 && qAbs(c.green() - expected.green()) <= 1
                         && qAbs(c.blue() - expected.blue()) <= 1,
                     qPrintable(c.name()));
        }
    }
    FreeImage_Unload(bitmap);
}

void TestImaging::saveToFileWithAccentedName()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("città d'Italia.jpg"));
    FIBITMAP* pattern = TestPictures::MakePatternBitmap(8, 8);
    QVERIFY(SaveBitmapToFile(FIF_JPEG, pattern, name, 0));
    FreeImage_Unload(pattern);
    QVERIFY(QFile::exists(name));
    QCOMPARE(FreeImage_GetFileType(QFile::encodeName(name).constData(), 0), FIF_JPEG);
}

RITRAX_TEST(TestImaging)
#include "tst_imaging.moc"
