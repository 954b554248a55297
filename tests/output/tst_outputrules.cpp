#include "OutputNames.h"
#include "OutputChecks.h"
#include "OutputPipeline.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QTest>


using namespace OutputPipeline;

class TestOutputRules : public QObject {
    Q_OBJECT
private slots:
    void photoNames_data();
    void photoNames();
    void signatureNames_data();
    void signatureNames();
    void bareName_data();
    void bareName();
    void startFolder_data();
    void startFolder();
    void fitSignature_data();
    void fitSignature();
    void canvasAsTheLibraryPastes_data();
    void canvasAsTheLibraryPastes();
};

void TestOutputRules::photoNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no ending") << "foto" << "foto.JPG";
    QTest::newRow("lower-case ending kept") << "foto.jpg" << "foto.jpg";
    QTest::newRow("mixed case kept") << "foto.JpG" << "foto.JpG";
    QTest::newRow(".jpeg is not .JPG") << "foto.jpeg" << "foto.jpeg.JPG";
    QTest::newRow("short name") << "ab" << "ab.JPG";
}

void TestOutputRules::photoNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QCOMPARE(OutputNames::WithJpgEnding(typed), written);
}

void TestOutputRules::signatureNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("jpeg");
    QTest::addColumn<bool>("blackAndWhite");
    QTest::addColumn<QString>("bmp");
    QTest::newRow(".jbn: both files, never .jbn") << "/a/rossi.jbn" << "/a/rossi.JPG" << true << "/a/rossi.bmp";
    QTest::newRow(".JBN in capitals") << "rossi.JBN" << "rossi.JPG" << true << "rossi.bmp";
    QTest::newRow(".bmp typed: a JPEG only") << "rossi.bmp" << "rossi.bmp.JPG" << false << "rossi.bmp.bmp";
    QTest::newRow("plain") << "rossi" << "rossi.JPG" << false << "rossi.bmp";
    QTest::newRow(".jpg kept") << "rossi.jpg" << "rossi.jpg" << false << "rossi.bmp";
}

void TestOutputRules::signatureNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, jpeg);
    QFETCH(bool, blackAndWhite);
    QFETCH(QString, bmp);
    const OutputNames::SignatureFiles files = OutputNames::ForSignature(typed);
    QCOMPARE(files.jpeg, jpeg);
    QCOMPARE(files.blackAndWhite, blackAndWhite);
    QCOMPARE(files.bmp, bmp);
}

void TestOutputRules::bareName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("bare");
    QTest::newRow("windows path") << "D:\\Archivio\\rossi.JPG" << "rossi";
    QTest::newRow("linux path") << "/home/op/Archivio/rossi.jpg" << "rossi";
    QTest::newRow("no folder") << "rossi.JPG" << "rossi";
    QTest::newRow("dots in the name") << "/a/m.rossi.jpeg.JPG" << "m.rossi.jpeg";
}

void TestOutputRules::bareName()
{
    QFETCH(QString, file);
    QFETCH(QString, bare);
    QCOMPARE(OutputNames::BareName(file), bare);
}

void TestOutputRules::startFolder_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("folder");
    QTest::newRow("nothing stored") << "" << "C:\\";
    QTest::newRow("windows path") << "D:\\Archivio\\rossi.JPG" << "D:\\Archivio";
    QTest::newRow("linux path") << "/home/op/rossi.JPG" << "/home/op";
    QTest::newRow("no separator") << "rossi.JPG" << "rossi.JPG";
}

void TestOutputRules::startFolder()
{
    QFETCH(QString, stored);
    QFETCH(QString, folder);
    QCOMPARE(OutputNames::StartFolder(stored), folder);
}

void TestOutputRules::fitSignature_data()
{
    QTest::addColumn<bool>("dpi200");
    QTest::addColumn<QSize>("crop");
    QTest::addColumn<QSize>("fitted");
    QTest::addColumn<QPoint>("at");
    // 400 / (200 / 138 in single precision) comes out just below 276; 217.5 to even.
    QTest::newRow("600 DPI, limited by the height") << false << QSize(400, 200) << QSize(275, 138) << QPoint(218, 2);
    // 70.5 to even.
    QTest::newRow("200 DPI, limited by the height") << true << QSize(400, 200) << QSize(96, 48) << QPoint(70, 0);
    QTest::newRow("proportion of the box: second branch") << false << QSize(706, 138) << QSize(706, 138)
                                                          << QPoint(2, 2);
    QTest::newRow("wide, limited by the width") << false << QSize(1000, 100) << QSize(706, 70) << QPoint(2, 36);
    QTest::newRow("twice the box") << false << QSize(1412, 276) << QSize(706, 138) << QPoint(2, 2);
}

void TestOutputRules::fitSignature()
{
    QFETCH(bool, dpi200);
    QFETCH(QSize, crop);
    QFETCH(QSize, fitted);
    QFETCH(QPoint, at);
    const SignatureGeometry g = SignatureGeometryFor(dpi200);
    const QSize size = FitSignature(crop.width(), crop.height(), g);
    QCOMPARE(size, fitted);
    QCOMPARE(SignaturePosition(size, g), at);
}

void TestOutputRules::canvasAsTheLibraryPastes_data()
{
    QTest::addColumn<bool>("dpi200");
    QTest::addColumn<QSize>("crop");
    QTest::newRow("600 DPI, limited by the height") << false << QSize(400, 200);
    QTest::newRow("600 DPI, limited by the width") << false << QSize(1000, 97);
    QTest::newRow("600 DPI, the box's own size") << false << QSize(706, 138);
    QTest::newRow("200 DPI, odd margin to even") << true << QSize(400, 200);
    QTest::newRow("200 DPI, the whole canvas") << true << QSize(711, 144);
    QTest::newRow("one pixel high") << false << QSize(3000, 5);
}

// The canvas is the library's own steps: rescale, a white canvas, the
// signature pasted at full strength where its position says.
void TestOutputRules::canvasAsTheLibraryPastes()
{
    QFETCH(bool, dpi200);
    QFETCH(QSize, crop);
    const SignatureGeometry g = SignatureGeometryFor(dpi200);
    // Noise over the whole byte range, so that the rescaled signature holds
    // black, white and everything between.
    FIBITMAP* source =
        TestPictures::MakeNoiseBitmap(crop.width(), crop.height(), quint32(crop.width() * 7 + crop.height()));
    QSize fitted;
    FIBITMAP* canvas = MakeSignatureBitmap(source, crop.width(), crop.height(), g, &fitted);
    QVERIFY(canvas);
    QCOMPARE(fitted, FitSignature(crop.width(), crop.height(), g));

    FIBITMAP* scaled = FreeImage_Rescale(source, fitted.width(), fitted.height(), FILTER_BICUBIC);
    RGBQUAD white{255, 255, 255, 0};
    FIBITMAP* expected = FreeImage_AllocateEx(g.canvasWidth, g.canvasHeight, 24, &white, 0, nullptr, 0, 0, 0);
    const QPoint at = SignaturePosition(fitted, g);
    QVERIFY(FreeImage_Paste(expected, scaled, at.x(), at.y(), 255));
    FreeImage_SetDotsPerMeterX(expected, unsigned(g.dotsPerMetre));
    FreeImage_SetDotsPerMeterY(expected, unsigned(g.dotsPerMetre));
    const QString difference = BitmapDifference(canvas, expected);
    for (FIBITMAP* b : {source, canvas, scaled, expected})
        FreeImage_Unload(b);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

RITRAX_TEST(TestOutputRules)
#include "tst_outputrules.moc"
