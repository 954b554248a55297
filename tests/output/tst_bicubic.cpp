#include "BicubicRescale.h"
#include "OutputChecks.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QRandomGenerator>
#include <QSize>
#include <QTest>

#include <cstring>
#include <memory>

namespace {

using Bitmap = std::unique_ptr<FIBITMAP, decltype(&FreeImage_Unload)>;

Bitmap Noise(QSize size, quint32 seed, bool smooth)
{
    Bitmap bitmap(TestPictures::MakeNoiseBitmap(size.width(), size.height(), seed, smooth), FreeImage_Unload);
    FreeImage_SetDotsPerMeterX(bitmap.get(), 11811);
    FreeImage_SetDotsPerMeterY(bitmap.get(), 11811);
    return bitmap;
}

} // namespace

class TestBicubic : public QObject {
    Q_OBJECT
private slots:
    void sameAsTheLibrary_data();
    void sameAsTheLibrary();
    void otherDepthsGoToTheLibrary();
};

void TestBicubic::sameAsTheLibrary_data()
{
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::addColumn<bool>("smooth");
    const struct {
        const char* name;
        QSize from, to;
    } rows[] = {
        {"signature across an A4 page", {1000, 300}, {706, 211}},
        {"photo from a 300 DPI scan", {472, 570}, {265, 320}},
        {"photo from a webcam still, enlarged", {120, 145}, {265, 320}},
        {"narrower, taller", {300, 100}, {200, 260}},
        {"wider, shorter", {100, 300}, {260, 200}},
        {"width only", {400, 50}, {237, 50}},
        {"height only", {50, 400}, {50, 48}},
        {"width only, enlarged", {50, 30}, {137, 30}},
        {"height only, enlarged", {30, 50}, {30, 137}},
        {"same size", {64, 48}, {64, 48}},
        {"one pixel to many", {1, 1}, {9, 7}},
        {"many to one pixel", {97, 13}, {1, 1}},
        {"a line", {3000, 5}, {706, 1}},
        {"a column", {2, 900}, {1, 138}},
        {"a large reduction", {4960, 40}, {9, 4}},
    };
    for (const auto& r : rows)
        for (const bool smooth : {false, true})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(r.name, smooth ? "smooth" : "noise")))
                << r.from << r.to << smooth;
    QRandomGenerator random(2026);
    for (int i = 0; i < 60; ++i) {
        const QSize from(1 + int(random.bounded(400)), 1 + int(random.bounded(400)));
        const QSize to(1 + int(random.bounded(400)), 1 + int(random.bounded(400)));
        QTest::newRow(qPrintable(QStringLiteral("random %1: %2x%3 to %4x%5")
                                     .arg(i)
                                     .arg(from.width())
                                     .arg(from.height())
                                     .arg(to.width())
                                     .arg(to.height())))
            << from << to << bool(i % 2);
    }
}

// Byte for byte what FreeImage_Rescale with the bicubic filter gives, in
// every order of passes, enlarging and reducing, down to single pixels,
// whichever instructions take the sums.
void TestBicubic::sameAsTheLibrary()
{
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    QFETCH(bool, smooth);
    const Bitmap source = Noise(from, quint32(from.width() * 1009 + from.height()), smooth);
    const Bitmap library(FreeImage_Rescale(source.get(), to.width(), to.height(), FILTER_BICUBIC), FreeImage_Unload);
    using BicubicRescale::Instructions;
    for (const Instructions instructions : {Instructions::Best, Instructions::Sse2, Instructions::Plain}) {
        const Bitmap ours(BicubicRescale::Rescale(source.get(), to.width(), to.height(), instructions),
                          FreeImage_Unload);
        const QString difference = BitmapDifference(ours.get(), library.get());
        QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("instructions %1: %2").arg(int(instructions)).arg(difference)));
    }
}

// A grey bitmap is the library's to rescale; an empty size gives nothing.
void TestBicubic::otherDepthsGoToTheLibrary()
{
    const Bitmap grey(FreeImage_Allocate(40, 30, 8), FreeImage_Unload);
    for (int y = 0; y < 30; ++y)
        std::memset(FreeImage_GetScanLine(grey.get(), y), y * 8, 40);
    const Bitmap library(FreeImage_Rescale(grey.get(), 17, 61, FILTER_BICUBIC), FreeImage_Unload);
    const Bitmap ours(BicubicRescale::Rescale(grey.get(), 17, 61), FreeImage_Unload);
    QCOMPARE(FreeImage_GetBPP(ours.get()), 8u);
    QVERIFY(std::memcmp(FreeImage_GetBits(ours.get()), FreeImage_GetBits(library.get()),
                        FreeImage_GetPitch(library.get()) * 61)
            == 0);
    QVERIFY(!BicubicRescale::Rescale(grey.get(), 0, 10));
}

RITRAX_TEST(TestBicubic)
#include "tst_bicubic.moc"
