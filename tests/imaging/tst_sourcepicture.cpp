#include "SourcePicture.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using SourcePicture::Problem;
Q_DECLARE_METATYPE(SourcePicture::Problem)

namespace {

// Left half red, right half blue: survives JPEG and shows a turn.
FIBITMAP* HalvesBitmap(int width, int height)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            RGBQUAD q = x < width / 2 ? RGBQUAD{0, 0, 255, 0} : RGBQUAD{255, 0, 0, 0};
            FreeImage_SetPixelColor(bitmap, x, y, &q);
        }
    return bitmap;
}

QByteArray EncodeJpeg(FIBITMAP* bitmap)
{
    FIMEMORY* memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_JPEG, bitmap, memory, JPEG_QUALITYSUPERB);
    BYTE* data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    FreeImage_CloseMemory(memory);
    return bytes;
}

bool IsRed(QColor c) { return c.red() > 200 && c.blue() < 60; }
bool IsBlue(QColor c) { return c.blue() > 200 && c.red() < 60; }

} // namespace

class TestSourcePicture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void loads_data();
    void loads();
    void refuses_data();
    void refuses();
    void exifOrientationTurnsUpright();
    void checkSize_data();
    void checkSize();
    void messagesAreItalian();

private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }
};

void TestSourcePicture::initTestCase()
{
    using namespace TestPictures;
    const QColor teal(0, 128, 128);
    QVERIFY(SavePicture(path("photo.jpg"), FIF_JPEG, 64, 48, teal));
    QVERIFY(SavePicture(path("jpeg-named.bmp"), FIF_JPEG, 64, 48, teal));
    QVERIFY(SavePicture(path("plain.bmp"), FIF_BMP, 64, 48, teal));
    QVERIFY(SavePicture(path("grey.bmp"), FIF_BMP, 64, 48, QColor(128, 128, 128), 8));
    QVERIFY(SavePicture(path("picture.gif"), FIF_GIF, 64, 48, QColor(128, 128, 128), 8));
    QVERIFY(SavePicture(path("picture.tif"), FIF_TIFF, 64, 48, teal));
    QVERIFY(SavePicture(path("picture.png"), FIF_PNG, 64, 48, teal));
    QVERIFY(SaveTiff16(path("deep.tif"), 64, 48, teal));
    QVERIFY(SaveBmpV5(path("v5.bmp"), 64, 48, teal));

    QVERIFY(WriteBytes(path("empty.jpg"), QByteArray()));
    QVERIFY(WriteBytes(path("noise.jpg"), QByteArray("this is not a picture, only words")));
    const QByteArray jpeg = ReadBytes(path("photo.jpg"));
    QVERIFY(WriteBytes(path("cut.jpg"), jpeg.left(jpeg.size() / 2)));
    const QByteArray bmp = ReadBytes(path("plain.bmp"));
    QVERIFY(WriteBytes(path("cut.bmp"), bmp.left(bmp.size() - 500)));
    QVERIFY(SavePicture(path("wide.bmp"), FIF_BMP, SourcePicture::MaxSide + 1, 1, teal, 8));
    QVERIFY(SavePicture(path("tall.bmp"), FIF_BMP, 1, SourcePicture::MaxSide + 1, teal, 8));
    QVERIFY(SavePicture(path("limit.bmp"), FIF_BMP, SourcePicture::MaxSide, 1, teal, 8));
    QVERIFY(::mkfifo(QFile::encodeName(path("fifo.jpg")).constData(), 0644) == 0);
}

void TestSourcePicture::loads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour");
    const QColor teal(0, 128, 128);
    QTest::newRow("JPEG") << "photo.jpg" << QSize(64, 48) << teal;
    QTest::newRow("JPEG named .bmp") << "jpeg-named.bmp" << QSize(64, 48) << teal;
    QTest::newRow("BMP") << "plain.bmp" << QSize(64, 48) << teal;
    QTest::newRow("grey BMP") << "grey.bmp" << QSize(64, 48) << QColor(128, 128, 128);
    QTest::newRow("GIF") << "picture.gif" << QSize(64, 48) << QColor(128, 128, 128);
    QTest::newRow("TIFF") << "picture.tif" << QSize(64, 48) << teal;
    QTest::newRow("16-bit TIFF") << "deep.tif" << QSize(64, 48) << teal;
    QTest::newRow("BMP with version 5 header") << "v5.bmp" << QSize(64, 48) << teal;
    QTest::newRow("width at the limit") << "limit.bmp" << QSize(SourcePicture::MaxSide, 1) << QColor();
}

void TestSourcePicture::loads()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    const SourcePicture::Loaded loaded = SourcePicture::Load(path(name));
    QCOMPARE(loaded.problem, Problem::None);
    QCOMPARE(loaded.picture.size(), size);
    QVERIFY(!loaded.picture.hasAlphaChannel());
    if (colour.isValid()) {
        const QColor c = loaded.picture.pixelColor(size.width() / 2, size.height() / 2);
        QVERIFY2(qAbs(c.red() - colour.red()) <= 3 && qAbs(c.green() - colour.green()) <= 3
                     && qAbs(c.blue() - colour.blue()) <= 3,
                 qPrintable(c.name()));
    }
}

void TestSourcePicture::refuses_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Problem>("problem");
    QTest::newRow("zero bytes") << "empty.jpg" << Problem::UnknownType;
    QTest::newRow("not a picture") << "noise.jpg" << Problem::UnknownType;
    QTest::newRow("missing file") << "nowhere.jpg" << Problem::UnknownType;
    QTest::newRow("JPEG cut short") << "cut.jpg" << Problem::Unreadable;
    QTest::newRow("BMP cut short") << "cut.bmp" << Problem::Unreadable;
    QTest::newRow("wider than the editors hold") << "wide.bmp" << Problem::TooLarge;
    QTest::newRow("taller than the editors hold") << "tall.bmp" << Problem::TooLarge;
    // Never opened: an open would wait for a writer.
    QTest::newRow("a FIFO") << "fifo.jpg" << Problem::UnknownType;
}

void TestSourcePicture::refuses()
{
    QFETCH(QString, name);
    QFETCH(Problem, problem);
    const SourcePicture::Loaded loaded = SourcePicture::Load(path(name));
    QCOMPARE(loaded.problem, problem);
    QVERIFY(loaded.picture.isNull());
}

void TestSourcePicture::exifOrientationTurnsUpright()
{
    FIBITMAP* halves = HalvesBitmap(80, 40);
    const QByteArray jpeg = EncodeJpeg(halves);
    FreeImage_Unload(halves);
    QVERIFY(TestPictures::WriteBytes(path("turned.jpg"), TestPictures::WithExifOrientation(jpeg, 6)));

    const SourcePicture::Loaded loaded = SourcePicture::Load(path("turned.jpg"));
    QCOMPARE(loaded.problem, Problem::None);
    // Turned a quarter to the right: the left half (red) is now on top.
    QCOMPARE(loaded.picture.size(), QSize(40, 80));
    QVERIFY(IsRed(loaded.picture.pixelColor(20, 10)));
    QVERIFY(IsBlue(loaded.picture.pixelColor(20, 70)));
}

void TestSourcePicture::checkSize_data()
{
    QTest::addColumn<qlonglong>("width");
    QTest::addColumn<qlonglong>("height");
    QTest::addColumn<int>("bpp");
    QTest::addColumn<qlonglong>("available"); // -1: unknown
    QTest::addColumn<Problem>("problem");
    QTest::newRow("A4 at 600 DPI with room") << 4960LL << 7016LL << 24 << (4LL << 30) << Problem::None;
    QTest::newRow("A4 at 600 DPI without room") << 4960LL << 7016LL << 24 << (100LL << 20)
                                               << Problem::OutOfMemory;
    QTest::newRow("memory unknown") << 4960LL << 7016LL << 24 << -1LL << Problem::None;
    QTest::newRow("largest side allowed") << 32767LL << 10LL << 8 << -1LL << Problem::None;
    QTest::newRow("one pixel too wide") << 32768LL << 10LL << 8 << -1LL << Problem::TooLarge;
    QTest::newRow("one pixel too tall") << 10LL << 32768LL << 8 << (1LL << 40) << Problem::TooLarge;
    QTest::newRow("empty") << 0LL << 10LL << 8 << -1LL << Problem::Unreadable;
}

void TestSourcePicture::checkSize()
{
    QFETCH(qlonglong, width);
    QFETCH(qlonglong, height);
    QFETCH(int, bpp);
    QFETCH(qlonglong, available);
    QFETCH(Problem, problem);
    const std::optional<long long> bytes = available < 0 ? std::nullopt : std::optional<long long>(available);
    QCOMPARE(SourcePicture::CheckSize(width, height, bpp, bytes), problem);
}

void TestSourcePicture::messagesAreItalian()
{
    QCOMPARE(SourcePicture::MessageFor(Problem::UnknownType), QStringLiteral("Formato immagine non riconosciuto"));
    QCOMPARE(SourcePicture::MessageFor(Problem::Unreadable), QStringLiteral("Impossibile leggere l'immagine"));
    QVERIFY(SourcePicture::MessageFor(Problem::TooLarge).contains(QStringLiteral("32767")));
    QVERIFY(SourcePicture::MessageFor(Problem::None).isEmpty());
}

RITRAX_TEST(TestSourcePicture)
#include "tst_sourcepicture.moc"
