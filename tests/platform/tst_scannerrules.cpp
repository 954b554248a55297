// The scanner layer's rules without a device: option values and
// constraints, the resolutions offered, row conversion, page assembly and
// the bitmap file.

#include "TestRegistry.h"
#include "SaneChoices.h"
#include "SaneFrameAssembler.h"
#include "ScannerPage.h"

#include <FreeImage.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <cstring>

using SaneChoices::NumericConstraint;

Q_DECLARE_METATYPE(NumericConstraint)

class TestScannerRules : public QObject {
    Q_OBJECT
private slots:
    void wordsAndNumbers();
    void readConstraint();
    void nearestAllowed_data();
    void nearestAllowed();
    void resolutionChoices_data();
    void resolutionChoices();
    void modeCaptions();
    void dotsPerMetre_data();
    void dotsPerMetre();
    void convertRow_data();
    void convertRow();
    void assembleSplitPaddedRows();
    void assembleThreePassAnyOrder();
    void assembleUnknownHeight();
    void assembleRefusesFrames_data();
    void assembleRefusesFrames();
    void bitmapColourRowsAndResolution();
    void bitmapGreyPalette();
    void bitmapWholeOrNothing();
};

namespace {

NumericConstraint Range(double min, double max, double quant)
{
    NumericConstraint c;
    c.kind = NumericConstraint::Range;
    c.min = min;
    c.max = max;
    c.quant = quant;
    return c;
}

NumericConstraint List(QList<double> values)
{
    NumericConstraint c;
    c.kind = NumericConstraint::List;
    c.values = std::move(values);
    return c;
}

SANE_Parameters Frame(SANE_Frame format, int pixels, int lines, int depth, int bytesPerLine,
                      bool last = true)
{
    SANE_Parameters p{};
    p.format = format;
    p.last_frame = last ? SANE_TRUE : SANE_FALSE;
    p.pixels_per_line = pixels;
    p.lines = lines;
    p.depth = depth;
    p.bytes_per_line = bytesPerLine;
    return p;
}

void Feed(SaneFrameAssembler& assembler, const QByteArray& bytes)
{
    assembler.append(reinterpret_cast<const unsigned char*>(bytes.constData()),
                     static_cast<std::size_t>(bytes.size()));
}

QByteArray Pixels(const ScannerPage& page)
{
    return QByteArray(reinterpret_cast<const char*>(page.pixels.data()),
                      static_cast<qsizetype>(page.pixels.size()));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestScannerRules::wordsAndNumbers()
{
    // SANE_Fixed is 16.16 fixed point.
    QCOMPARE(SaneChoices::NumberToWord(300.0, SANE_TYPE_FIXED), 300 << 16);
    QCOMPARE(SaneChoices::WordToNumber(300 << 16, SANE_TYPE_FIXED), 300.0);
    QVERIFY(qAbs(SaneChoices::WordToNumber(SANE_FIX(215.9), SANE_TYPE_FIXED) - 215.9) < 1.0 / 65536);
    QCOMPARE(SaneChoices::NumberToWord(300.0, SANE_TYPE_INT), 300);
    // Whole-number options round half to even.
    QCOMPARE(SaneChoices::NumberToWord(2.5, SANE_TYPE_INT), 2);
    QCOMPARE(SaneChoices::NumberToWord(3.5, SANE_TYPE_INT), 4);
    QCOMPARE(SaneChoices::NumberToWord(-0.5, SANE_TYPE_INT), 0);
}

void TestScannerRules::readConstraint()
{
    SANE_Option_Descriptor d{};
    d.type = SANE_TYPE_FIXED;
    const SANE_Range range{SANE_FIX(1.0), SANE_FIX(1200.0), SANE_FIX(0.5)};
    d.constraint_type = SANE_CONSTRAINT_RANGE;
    d.constraint.range = &range;
    NumericConstraint c = SaneChoices::ReadConstraint(d);
    QCOMPARE(c.kind, NumericConstraint::Range);
    QCOMPARE(c.min, 1.0);
    QCOMPARE(c.max, 1200.0);
    QCOMPARE(c.quant, 0.5);

    // A word list starts with the number of words that follow.
    const SANE_Word words[] = {3, 75, 150, 600};
    d.type = SANE_TYPE_INT;
    d.constraint_type = SANE_CONSTRAINT_WORD_LIST;
    d.constraint.word_list = words;
    c = SaneChoices::ReadConstraint(d);
    QCOMPARE(c.kind, NumericConstraint::List);
    QCOMPARE(c.values, (QList<double>{75, 150, 600}));

    const SANE_String_Const modes[] = {"Lineart", "Gray", "Color", nullptr};
    d.type = SANE_TYPE_STRING;
    d.constraint_type = SANE_CONSTRAINT_STRING_LIST;
    d.constraint.string_list = modes;
    QCOMPARE(SaneChoices::StringChoices(d), (QStringList{"Lineart", "Gray", "Color"}));
    QCOMPARE(SaneChoices::ReadConstraint(d).kind, NumericConstraint::Unconstrained);
}

void TestScannerRules::nearestAllowed_data()
{
    QTest::addColumn<NumericConstraint>("constraint");
    QTest::addColumn<double>("wanted");
    QTest::addColumn<double>("nearest");
    QTest::newRow("test device range") << Range(1, 1200, 1) << 300.0 << 300.0;
    QTest::newRow("continuous range") << Range(50, 2400, 0) << 300.0 << 300.0;
    QTest::newRow("steps of 75") << Range(75, 1200, 75) << 300.0 << 300.0;
    QTest::newRow("grid misses 300, tie goes up") << Range(50, 600, 100) << 300.0 << 350.0;
    QTest::newRow("grid misses 300") << Range(0, 1200, 280) << 300.0 << 280.0;
    QTest::newRow("range above") << Range(400, 1200, 0) << 300.0 << 400.0;
    QTest::newRow("range below") << Range(25, 150, 1) << 300.0 << 150.0;
    QTest::newRow("grid top below max") << Range(0, 250, 100) << 300.0 << 200.0;
    QTest::newRow("list with 300") << List({100, 300, 1200}) << 300.0 << 300.0;
    QTest::newRow("list nearest below") << List({75, 150, 600}) << 300.0 << 150.0;
    QTest::newRow("list tie goes up") << List({400, 200}) << 300.0 << 400.0;
    QTest::newRow("unconstrained") << NumericConstraint() << 300.0 << 300.0;
}

void TestScannerRules::nearestAllowed()
{
    QFETCH(NumericConstraint, constraint);
    QFETCH(double, wanted);
    QFETCH(double, nearest);
    QCOMPARE(SaneChoices::NearestAllowed(constraint, wanted), nearest);
    QVERIFY(SaneChoices::Allows(constraint, nearest));
}

void TestScannerRules::resolutionChoices_data()
{
    QTest::addColumn<NumericConstraint>("constraint");
    QTest::addColumn<QList<double>>("choices");
    QTest::newRow("wide range") << Range(1, 1200, 1)
                                << QList<double>{75, 100, 150, 200, 240, 300, 400, 600, 1200};
    QTest::newRow("grid without 300") << Range(50, 600, 100) << QList<double>{150, 350};
    QTest::newRow("narrow range") << Range(100, 200, 0) << QList<double>{100, 150, 200};
    QTest::newRow("no usual value") << Range(10, 40, 1) << QList<double>{10, 40};
    QTest::newRow("list sorted, repeats dropped") << List({600, 150, 300, 150}) << QList<double>{150, 300, 600};
    QTest::newRow("unconstrained")
        << NumericConstraint() << QList<double>{75, 100, 150, 200, 240, 300, 400, 600, 1200};
}

void TestScannerRules::resolutionChoices()
{
    QFETCH(NumericConstraint, constraint);
    QFETCH(QList<double>, choices);
    QCOMPARE(SaneChoices::ResolutionChoices(constraint), choices);
}

void TestScannerRules::modeCaptions()
{
    QCOMPARE(SaneChoices::ModeCaption(QStringLiteral("Color")), QStringLiteral("Colore"));
    QCOMPARE(SaneChoices::ModeCaption(QStringLiteral("Gray")), QStringLiteral("Scala di grigi"));
    QCOMPARE(SaneChoices::ModeCaption(QStringLiteral("Lineart")), QStringLiteral("Bianco e nero"));
    QCOMPARE(SaneChoices::ModeCaption(QStringLiteral("True Gray")), QStringLiteral("True Gray"));
    QCOMPARE(SaneChoices::PreferredMode({"Lineart", "Gray", "Color"}, "Gray"), QStringLiteral("Color"));
    QCOMPARE(SaneChoices::PreferredMode({"Lineart", "Gray"}, "Gray"), QStringLiteral("Gray"));
    QCOMPARE(SaneChoices::ResolutionCaption(127.5), QStringLiteral("127,5 DPI"));
}

void TestScannerRules::dotsPerMetre_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<unsigned>("dotsPerMetre");
    QTest::newRow("300") << 300.0 << 11811u;
    QTest::newRow("200") << 200.0 << 7874u;
    QTest::newRow("600") << 600.0 << 23622u;
    QTest::newRow("72 rounds up") << 72.0 << 2835u;
    QTest::newRow("unknown") << 0.0 << 0u;
}

void TestScannerRules::dotsPerMetre()
{
    QFETCH(double, dpi);
    QFETCH(unsigned, dotsPerMetre);
    QCOMPARE(SaneChoices::DotsPerMetre(dpi), dotsPerMetre);
}

void TestScannerRules::convertRow_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("samplesPerPixel");
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("lineart");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("8-bit colour") << QByteArray("\x10\x20\x30\x40\x50\x60", 6) << 2 << 3 << 8 << false
                                  << QByteArray("\x10\x20\x30\x40\x50\x60", 6);
    const std::uint16_t wide[] = {0x1234, 0xff00, 0x00ff};
    QTest::newRow("16-bit keeps the high byte")
        << QByteArray(reinterpret_cast<const char*>(wide), sizeof wide) << 3 << 1 << 16 << false
        << QByteArray("\x12\xff\x00", 3);
    QTest::newRow("lineart: set bit is black") << QByteArray("\xa0", 1) << 3 << 1 << 1 << true
                                               << QByteArray("\x00\xff\x00", 3);
    QTest::newRow("lineart across bytes") << QByteArray("\xff\x40", 2) << 10 << 1 << 1 << true
                                          << QByteArray(8, '\0') + QByteArray("\xff\x00", 2);
    // R0 G0 B0 R1 G1 B1 = 1 0 1 0 1 1: colour bits are intensities.
    QTest::newRow("1-bit colour") << QByteArray("\xac", 1) << 2 << 3 << 1 << false
                                  << QByteArray("\xff\x00\xff\x00\xff\xff", 6);
}

void TestScannerRules::convertRow()
{
    QFETCH(QByteArray, row);
    QFETCH(int, pixels);
    QFETCH(int, samplesPerPixel);
    QFETCH(int, depth);
    QFETCH(bool, lineart);
    QFETCH(QByteArray, expected);
    QByteArray out(pixels * samplesPerPixel, '\x5a');
    ConvertSaneRow(reinterpret_cast<const unsigned char*>(row.constData()), pixels, samplesPerPixel,
                   depth, lineart, reinterpret_cast<unsigned char*>(out.data()));
    QCOMPARE(out.toHex(' '), expected.toHex(' '));
}

void TestScannerRules::assembleSplitPaddedRows()
{
    // Two RGB pixels a row, padded to 8 bytes; the bytes arrive in pieces
    // that cut through rows and pixels.
    SaneFrameAssembler assembler;
    QVERIFY(assembler.beginFrame(Frame(SANE_FRAME_RGB, 2, 3, 8, 8)));
    QCOMPARE(assembler.expectedBytes(), 24);
    const QByteArray data("abcdefXXghijklYYmnopqrZZ", 24);
    Feed(assembler, data.left(1));
    Feed(assembler, data.mid(1, 10));
    Feed(assembler, data.mid(11));
    Feed(assembler, QByteArray("beyond the last line"));
    assembler.endFrame();
    QVERIFY(assembler.isComplete());
    const ScannerPage page = assembler.takePage(300.0);
    QCOMPARE(page.width, 2);
    QCOMPARE(page.height, 3);
    QCOMPARE(page.channels, 3);
    QCOMPARE(page.dpi, 300.0);
    QCOMPARE(Pixels(page), QByteArray("abcdefghijklmnopqr"));
}

void TestScannerRules::assembleThreePassAnyOrder()
{
    SaneFrameAssembler assembler;
    QVERIFY(assembler.beginFrame(Frame(SANE_FRAME_BLUE, 2, 2, 8, 2, false)));
    QCOMPARE(assembler.expectedBytes(), 12);
    Feed(assembler, "bBcC");
    assembler.endFrame();
    QVERIFY(!assembler.isComplete());
    QVERIFY(assembler.beginFrame(Frame(SANE_FRAME_RED, 2, 2, 8, 2, false)));
    Feed(assembler, "rRsS");
    assembler.endFrame();
    QVERIFY(assembler.beginFrame(Frame(SANE_FRAME_GREEN, 2, 2, 8, 2, true)));
    Feed(assembler, "gGhH");
    assembler.endFrame();
    QVERIFY(assembler.isComplete());
    QCOMPARE(Pixels(assembler.takePage(0)), QByteArray("rgbRGBshcSHC"));
}

void TestScannerRules::assembleUnknownHeight()
{
    SaneFrameAssembler assembler;
    QVERIFY(assembler.beginFrame(Frame(SANE_FRAME_GRAY, 3, -1, 8, 3)));
    QCOMPARE(assembler.expectedBytes(), -1);
    Feed(assembler, "aaabbbcccdddeeeff"); // five rows and part of a sixth
    QCOMPARE(assembler.rowsInFrame(), 5);
    assembler.endFrame();
    const ScannerPage page = assembler.takePage(0);
    QCOMPARE(page.height, 5);
    QCOMPARE(page.channels, 1);
    QCOMPARE(Pixels(page), QByteArray("aaabbbcccdddeee"));
}

void TestScannerRules::assembleRefusesFrames_data()
{
    QTest::addColumn<QList<int>>("frames"); // format, pixels, depth, bytes per line; repeated
    QTest::newRow("depth 4") << QList<int>{SANE_FRAME_GRAY, 4, 4, 2};
    QTest::newRow("rows shorter than pixels") << QList<int>{SANE_FRAME_RGB, 4, 8, 11};
    QTest::newRow("unknown format") << QList<int>{7, 4, 8, 4};
    QTest::newRow("grey after a colour plane")
        << QList<int>{SANE_FRAME_RED, 4, 8, 4, SANE_FRAME_GRAY, 4, 8, 4};
    QTest::newRow("same plane twice")
        << QList<int>{SANE_FRAME_RED, 4, 8, 4, SANE_FRAME_RED, 4, 8, 4};
    QTest::newRow("planes of different widths")
        << QList<int>{SANE_FRAME_RED, 4, 8, 4, SANE_FRAME_GREEN, 5, 8, 5};
}

void TestScannerRules::assembleRefusesFrames()
{
    QFETCH(QList<int>, frames);
    SaneFrameAssembler assembler;
    bool accepted = true;
    for (qsizetype i = 0; i + 3 < frames.size(); i += 4) {
        const bool last = i + 4 >= frames.size();
        accepted = assembler.beginFrame(Frame(static_cast<SANE_Frame>(frames[i]), frames[i + 1], 2,
                                              frames[i + 2], frames[i + 3], false));
        if (!last) {
            QVERIFY(accepted);
            Feed(assembler, QByteArray(frames[i + 3] * 2, 'x'));
            assembler.endFrame();
        }
    }
    QVERIFY(!accepted);
    QVERIFY(!assembler.isComplete());
    QVERIFY(!assembler.takePage(0).isValid());
}

void TestScannerRules::bitmapColourRowsAndResolution()
{
    QTemporaryDir dir;
    ScannerPage page;
    page.width = 3;
    page.height = 2;
    page.channels = 3;
    page.dpi = 300.0;
    // Top row red, green, blue; bottom row white, black, grey.
    const unsigned char pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128};
    page.pixels.assign(std::begin(pixels), std::end(pixels));
    const QString path = dir.filePath(QStringLiteral("FILE.BMP"));
    QVERIFY(WriteScannerBitmap(page, path));

    const QByteArray encoded = QFile::encodeName(path);
    QCOMPARE(FreeImage_GetFileType(encoded.constData(), 0), FIF_BMP);
    FIBITMAP* bitmap = FreeImage_Load(FIF_BMP, encoded.constData(), 0);
    QVERIFY(bitmap);
    QCOMPARE(FreeImage_GetWidth(bitmap), 3u);
    QCOMPARE(FreeImage_GetHeight(bitmap), 2u);
    QCOMPARE(FreeImage_GetBPP(bitmap), 24u);
    QCOMPARE(FreeImage_GetDotsPerMeterX(bitmap), 11811u);
    QCOMPARE(FreeImage_GetDotsPerMeterY(bitmap), 11811u);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            RGBQUAD c{};
            // FreeImage counts rows from the bottom.
            QVERIFY(FreeImage_GetPixelColor(bitmap, x, 1 - y, &c));
            const unsigned char* expected = pixels + (y * 3 + x) * 3;
            QCOMPARE((QList<int>{c.rgbRed, c.rgbGreen, c.rgbBlue}),
                     (QList<int>{expected[0], expected[1], expected[2]}));
        }
    }
    FreeImage_Unload(bitmap);
}

void TestScannerRules::bitmapGreyPalette()
{
    QTemporaryDir dir;
    ScannerPage page;
    page.width = 2;
    page.height = 2;
    page.channels = 1;
    page.dpi = 200.0;
    page.pixels = {0, 64, 200, 255};
    const QString path = dir.filePath(QStringLiteral("grey.bmp"));
    QVERIFY(WriteScannerBitmap(page, path));
    FIBITMAP* bitmap = FreeImage_Load(FIF_BMP, QFile::encodeName(path).constData(), 0);
    QVERIFY(bitmap);
    QCOMPARE(FreeImage_GetBPP(bitmap), 8u);
    QCOMPARE(FreeImage_GetColorType(bitmap), FIC_MINISBLACK);
    QCOMPARE(FreeImage_GetDotsPerMeterX(bitmap), 7874u);
    BYTE top = 0;
    BYTE bottom = 0;
    QVERIFY(FreeImage_GetPixelIndex(bitmap, 1, 1, &top));
    QVERIFY(FreeImage_GetPixelIndex(bitmap, 0, 0, &bottom));
    QCOMPARE(int(top), 64);
    QCOMPARE(int(bottom), 200);
    FreeImage_Unload(bitmap);
}

void TestScannerRules::bitmapWholeOrNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FILE.BMP"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("the previous scan");
    old.close();

    ScannerPage broken;
    broken.width = 4;
    broken.height = 4;
    broken.channels = 3;
    broken.pixels.resize(10); // fewer bytes than the size says
    QVERIFY(!WriteScannerBitmap(broken, path));
    QVERIFY(!WriteScannerBitmap(ScannerPage(), path));
    QCOMPARE(ReadAll(path), QByteArray("the previous scan"));

    ScannerPage good;
    good.width = 1;
    good.height = 1;
    good.channels = 1;
    good.pixels = {7};
    QVERIFY(!WriteScannerBitmap(good, dir.filePath(QStringLiteral("missing/FILE.BMP"))));
    QVERIFY(WriteScannerBitmap(good, path));
    QVERIFY(ReadAll(path).startsWith("BM"));
    // Nothing but the target is left in the folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"FILE.BMP"});
}

RITRAX_TEST(TestScannerRules)
#include "tst_scannerrules.moc"
