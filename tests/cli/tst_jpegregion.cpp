#include "BitmapRows.h"
#include "JpegRegionPictures.h"
#include "TestJpegs.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>


Q_DECLARE_METATYPE(JpegKind)

namespace {

constexpr int Width = 517; // neither side a whole number of MCUs
constexpr int Height = 389;

// The rectangles worth decoding: corners, edges, single pixels and rows,
// the whole picture, then seeded random ones.
QList<QRect> Rects()
{
    QList<QRect> rects{
        {0, 0, Width, Height},      {0, 0, 1, 1},           {Width - 1, Height - 1, 1, 1},
        {0, 0, 40, 30},             {Width - 40, 0, 40, 30}, {0, Height - 30, 40, 30},
        {Width - 40, Height - 30, 40, 30}, {0, 100, Width, 1}, {200, 0, 1, Height},
        {16, 16, 16, 16},           {15, 15, 18, 18},       {17, 31, 100, 97},
    };
    QRandomGenerator random(7);
    for (int i = 0; i < 40; ++i) {
        const int w = 1 + int(random.bounded(Width));
        const int h = 1 + int(random.bounded(Height));
        rects.append({int(random.bounded(Width - w + 1)), int(random.bounded(Height - h + 1)), w, h});
    }
    return rects;
}

// The same colours at the same places, whatever the two formats.
bool SamePixels(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

QString Describe(const QRect& r)
{
    return QStringLiteral("%1,%2 %3 x %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class TestJpegRegion : public QObject {
    Q_OBJECT
private slots:
    void sameAsWholeLoad_data();
    void sameAsWholeLoad();
    void refused_data();
    void refused();

private:
    QTemporaryDir dir_;
};

void TestJpegRegion::sameAsWholeLoad_data()
{
    QTest::addColumn<JpegKind>("kind");
    QTest::newRow("4:2:0") << JpegKind{};
    QTest::newRow("4:2:2") << JpegKind{2, 1};
    QTest::newRow("4:4:0") << JpegKind{1, 2};
    QTest::newRow("4:4:4") << JpegKind{1, 1};
    QTest::newRow("4:1:1") << JpegKind{4, 1};
    QTest::newRow("grey") << JpegKind{1, 1, true};
    QTest::newRow("progressive 4:2:0") << JpegKind{2, 2, false, true};
    QTest::newRow("progressive grey") << JpegKind{1, 1, true, true};
    QTest::newRow("arithmetic") << JpegKind{2, 2, false, false, true};
    QTest::newRow("restart markers") << JpegKind{2, 2, false, false, false, 1};
    QTest::newRow("stored as RGB") << JpegKind{1, 1, false, false, false, 0, true};
}

// The region is what FreeImage's own load of the whole picture holds there.
void TestJpegRegion::sameAsWholeLoad()
{
    QFETCH(JpegKind, kind);
    const QString path = dir_.filePath(QStringLiteral("%1.jpg").arg(QTest::currentDataTag()));
    const QByteArray bytes = EncodeJpeg(DetailedPicture(Width, Height, 3), kind);
    QVERIFY(TestPictures::WriteBytes(path, bytes));
    FIBITMAP* whole = FreeImage_Load(FIF_JPEG, QFile::encodeName(path).constData(), 0);
    QVERIFY(whole);
    const QImage reference = BitmapRows::ToImage(whole);
    FreeImage_Unload(whole);
    QCOMPARE(reference.size(), QSize(Width, Height));

    for (const QRect& rect : Rects()) {
        const std::optional<QImage> region
            = JpegRegion::Decode(reinterpret_cast<const uchar*>(bytes.constData()), std::size_t(bytes.size()), rect);
        QVERIFY2(region, qPrintable(Describe(rect)));
        QVERIFY2(SamePixels(*region, reference.copy(rect)), qPrintable(Describe(rect)));
    }
}

void TestJpegRegion::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QRect>("rect");
    const QImage picture = DetailedPicture(120, 90, 5);
    const QByteArray plain = EncodeJpeg(picture, JpegKind{});
    QTest::newRow("CMYK") << EncodeJpeg(picture, JpegKind{1, 1, false, false, false, 0, false, true})
                          << QRect(0, 0, 10, 10);
    QTest::newRow("cut short, crop in the part that is there") << plain.left(plain.size() * 2 / 3)
                                                                << QRect(0, 0, 10, 10);
    QTest::newRow("cut in the header") << plain.left(100) << QRect(0, 0, 10, 10);
    QTest::newRow("damaged entropy data") << [&] {
        QByteArray damaged = plain;
        for (qsizetype i = plain.size() / 4; i < plain.size() / 4 + 40; ++i)
            damaged[i] = char(0xff);
        return damaged;
    }() << QRect(0, 0, 120, 90);
    QTest::newRow("rect leaves the picture") << plain << QRect(100, 80, 21, 10);
    QTest::newRow("empty rect") << plain << QRect(10, 10, 0, 5);
    QTest::newRow("not a JPEG") << QByteArray("BM\x00\x00 not a picture at all", 26) << QRect(0, 0, 1, 1);
}

// Whatever the partial decoder cannot promise is left to the whole load.
void TestJpegRegion::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QRect, rect);
    QVERIFY(!JpegRegion::Decode(reinterpret_cast<const uchar*>(bytes.constData()), std::size_t(bytes.size()), rect));
}

RITRAX_TEST(TestJpegRegion)
#include "tst_jpegregion.moc"
