#include "CliCommands.h"
#include "FastPath.h"
#include "OutputPipeline.h"
#include "SourceCrop.h"
#include "SourcePicture.h"
#include "TestJpegs.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>


using SourceCrop::Route;
Q_DECLARE_METATYPE(SourceCrop::Route)
Q_DECLARE_METATYPE(SourcePicture::Problem)

namespace {

constexpr int Width = 517;
constexpr int Height = 389;

// One file the command line writes, and how the editors' save makes it.
struct Output {
    const char* name;
    QStringList options;
    bool photo;
    bool dpi200;
    int threshold; // negative: no black-and-white file
};
const Output Outputs[] = {
    {"photo", {}, true, false, -1},
    {"signature 600 DPI", {}, false, false, -1},
    {"signature 200 DPI, black and white", {"--200dpi", "--bn", "--soglia", "120"}, false, true, 120},
    {"signature, black and white by default", {"--bn"}, false, false, 170},
};

QString CropText(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The same colours at the same places, whatever the two formats.
bool SamePixels(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

// What the editor writes for the crop: the same calls its save button makes.
bool EditorWrites(const QImage& crop, const Output& o, const QString& jpeg, const QString& bmp)
{
    FIBITMAP* bitmap = o.photo ? OutputPipeline::MakePhoto(crop)
                               : OutputPipeline::MakeSignature(crop, crop.width(), crop.height(),
                                                               OutputPipeline::SignatureGeometryFor(o.dpi200));
    if (!bitmap)
        return false;
    QList<OutputPipeline::FileToWrite> files{{FIF_JPEG, bitmap, jpeg}};
    FIBITMAP* blackAndWhite = o.threshold >= 0 ? OutputPipeline::BlackAndWhite(bitmap, o.threshold) : nullptr;
    if (blackAndWhite)
        files.append({FIF_BMP, blackAndWhite, bmp});
    const bool written = OutputPipeline::WriteFiles(files);
    FreeImage_Unload(bitmap);
    if (blackAndWhite)
        FreeImage_Unload(blackAndWhite);
    return written;
}

bool SaveBitmapFile(const QString& path, const QImage& picture, bool grey)
{
    QImage source = grey ? picture.convertToFormat(QImage::Format_Grayscale8) : picture;
    FIBITMAP* bitmap = FreeImage_Allocate(source.width(), source.height(), grey ? 8 : 24);
    if (grey) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap);
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    }
    for (int y = 0; y < source.height(); ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, source.height() - 1 - y);
        for (int x = 0; x < source.width(); ++x) {
            const QRgb c = source.pixel(x, y);
            if (grey) {
                row[x] = BYTE(qRed(c));
                continue;
            }
            row[3 * x + FI_RGBA_RED] = BYTE(qRed(c));
            row[3 * x + FI_RGBA_GREEN] = BYTE(qGreen(c));
            row[3 * x + FI_RGBA_BLUE] = BYTE(qBlue(c));
        }
    }
    const bool saved = FreeImage_Save(FIF_BMP, bitmap, QFile::encodeName(path).constData(), 0);
    FreeImage_Unload(bitmap);
    return saved;
}

} // namespace

class TestSameBytes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sameFilesAsTheEditor_data();
    void sameFilesAsTheEditor();
    void refusedLikeTheEditor_data();
    void refusedLikeTheEditor();
    void decodedAheadOnlyWhenItFits_data();
    void decodedAheadOnlyWhenItFits();
    void quickRoadLeavesTheRest_data();
    void quickRoadLeavesTheRest();

private:
    QString source(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

void TestSameBytes::initTestCase()
{
    const QImage picture = DetailedPicture(Width, Height, 11);
    const QByteArray plain = EncodeJpeg(picture, JpegKind{});
    QVERIFY(TestPictures::WriteBytes(source("plain420.jpg"), plain));
    QVERIFY(WriteJpeg(source("plain444.jpg"), picture, JpegKind{1, 1}));
    QVERIFY(WriteJpeg(source("grey.jpg"), picture, JpegKind{1, 1, true}));
    QVERIFY(WriteJpeg(source("progressive.jpg"), picture, JpegKind{2, 2, false, true}));
    QVERIFY(WriteJpeg(source("cmyk.jpg"), picture, JpegKind{1, 1, false, false, false, 0, false, true}));
    for (int orientation = 1; orientation <= 9; ++orientation)
        QVERIFY(TestPictures::WriteBytes(source(QStringLiteral("exif%1.jpg").arg(orientation)),
                                         TestPictures::WithExifOrientation(plain, orientation)));
    QVERIFY(TestPictures::WriteBytes(source("trailing.jpg"), plain + QByteArray("trailing bytes")));
    QVERIFY(SaveBitmapFile(source("colour.bmp"), picture, false));
    QVERIFY(SaveBitmapFile(source("grey.bmp"), picture, true));
}

void TestSameBytes::sameFilesAsTheEditor_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QRect>("crop");
    QTest::addColumn<Route>("route");
    const struct {
        const char* file;
        Route route;
    } sources[] = {
        {"plain420.jpg", Route::PartialJpeg},  {"plain444.jpg", Route::PartialJpeg},
        {"grey.jpg", Route::PartialJpeg},      {"progressive.jpg", Route::PartialJpeg},
        {"exif1.jpg", Route::PartialJpeg},     {"exif2.jpg", Route::PartialJpeg},
        {"exif3.jpg", Route::PartialJpeg},     {"exif4.jpg", Route::PartialJpeg},
        {"exif5.jpg", Route::PartialJpeg},     {"exif6.jpg", Route::PartialJpeg},
        {"exif7.jpg", Route::PartialJpeg},     {"exif8.jpg", Route::PartialJpeg},
        {"exif9.jpg", Route::PartialJpeg},     {"cmyk.jpg", Route::WholePicture},
        {"trailing.jpg", Route::WholePicture}, {"colour.bmp", Route::WholePicture},
        {"grey.bmp", Route::WholePicture},
    };
    for (const auto& s : sources) {
        const QString file = QString::fromLatin1(s.file);
        // Quarter turns swap the sides of the picture the editor shows.
        const bool turned = file == u"exif5.jpg" || file == u"exif6.jpg" || file == u"exif7.jpg" || file == u"exif8.jpg";
        const int w = turned ? Height : Width;
        const int h = turned ? Width : Height;
        const struct {
            const char* where;
            QRect crop;
        } crops[] = {
            {"inside", {37, 41, 200, 240}},
            {"top left corner", {0, 0, 150, 181}},
            {"bottom right corner", {w - 150, h - 181, 150, 181}},
            {"whole picture", {0, 0, w, h}},
            {"strip along the right edge", {w - 12, 0, 12, h}},
        };
        for (const auto& c : crops)
            QTest::addRow("%s, %s", s.file, c.where) << file << c.crop << s.route;
    }
}

// The command line writes, byte for byte, the files the editors' save
// writes for the same crop, and takes the partial route wherever it can.
void TestSameBytes::sameFilesAsTheEditor()
{
    QFETCH(QString, file);
    QFETCH(QRect, crop);
    QFETCH(Route, route);
    const QString path = source(file);
    const SourcePicture::Loaded loaded = SourcePicture::Load(path);
    QCOMPARE(loaded.problem, SourcePicture::Problem::None);
    const QImage editorCrop = loaded.picture.copy(crop);

    const SourceCrop::Result ours = SourceCrop::Crop(path, {crop.x(), crop.y(), crop.width(), crop.height()});
    QCOMPARE(int(ours.outcome), int(SourceCrop::Outcome::Cropped));
    QCOMPARE(ours.route, route);
    QVERIFY(SamePixels(ours.crop, editorCrop));

    // Orientations 2 to 8 turn or mirror the stored picture; 9 is no
    // orientation at all.
    const bool turnedOrMirrored = file.startsWith(u"exif") && file != u"exif1.jpg" && file != u"exif9.jpg";
    QTemporaryDir out;
    for (const Output& o : Outputs) {
        const QString editorJpeg = out.filePath(QStringLiteral("editor.jpg"));
        const QString cliJpeg = out.filePath(QStringLiteral("cli.jpg"));
        QVERIFY2(EditorWrites(editorCrop, o, editorJpeg, out.filePath(QStringLiteral("editor.bmp"))), o.name);
        Cli::Streams streams;
        const QStringList arguments = QStringList{o.photo ? "foto" : "firma", path, "--ritaglio", CropText(crop), "-o",
                                                  cliJpeg}
            + o.options;
        QVERIFY2(Cli::Run(arguments, streams) == Cli::Done, qPrintable(streams.err));
        QVERIFY2(TestPictures::ReadBytes(cliJpeg) == TestPictures::ReadBytes(editorJpeg), o.name);
        if (o.threshold >= 0) {
            const QByteArray bmp = TestPictures::ReadBytes(out.filePath(QStringLiteral("cli.bmp")));
            QVERIFY2(!bmp.isEmpty() && bmp == TestPictures::ReadBytes(out.filePath(QStringLiteral("editor.bmp"))),
                     o.name);
        }

        // The quick road takes the partial route's upright pictures and
        // writes the same bytes, with the crop decoded ahead as the launcher
        // does it or decoded by itself; it leaves every other one alone.
        const bool quickRoad = route == Route::PartialJpeg && !turnedOrMirrored;
        std::vector<std::string> words;
        for (const QString& a : arguments)
            words.push_back(QFile::encodeName(a).toStdString());
        const std::optional<FastPrefetch::Guess> guess = FastPrefetch::GuessCrop(words);
        QVERIFY(guess);
        const std::unique_ptr<FastPrefetch::Region> fetched = FastPrefetch::Fetch(*guess);
        const FastPrefetch::Region* const aheads[] = {nullptr, fetched.get()};
        for (const FastPrefetch::Region* ahead : aheads) {
            QFile::remove(cliJpeg);
            QFile::remove(out.filePath(QStringLiteral("cli.bmp")));
            const std::optional<int> quick = FastPath::Run(arguments, ahead);
            QCOMPARE(quick.has_value(), quickRoad);
            if (!quick) {
                QVERIFY(!QFile::exists(cliJpeg));
                continue;
            }
            QCOMPARE(*quick, int(Cli::Done));
            QVERIFY2(TestPictures::ReadBytes(cliJpeg) == TestPictures::ReadBytes(editorJpeg), o.name);
            if (o.threshold >= 0)
                QVERIFY2(TestPictures::ReadBytes(out.filePath(QStringLiteral("cli.bmp")))
                             == TestPictures::ReadBytes(out.filePath(QStringLiteral("editor.bmp"))),
                         o.name);
        }
        // The quick road takes what the launcher decoded wherever it runs
        // itself, and nowhere else.
        QCOMPARE(fetched && fetched->taken, quickRoad);
    }
}

void TestSameBytes::decodedAheadOnlyWhenItFits_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("taken");
    QTest::newRow("same file, same crop") << "" << true;
    QTest::newRow("file replaced after the decoding") << "replaced" << false;
    QTest::newRow("another crop") << "crop" << false;
    QTest::newRow("the same bytes under another name") << "name" << false;
}

// Pixels decoded ahead are taken only for the file and the crop the quick
// road reads itself: the files it writes are always those of the crop the
// command line names, from the file as it is.
void TestSameBytes::decodedAheadOnlyWhenItFits()
{
    QFETCH(QString, change);
    QFETCH(bool, taken);
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("source.jpg"));
    const QString other = out.filePath(QStringLiteral("other.jpg"));
    QVERIFY(QFile::copy(source("plain420.jpg"), path));
    QVERIFY(QFile::copy(source("plain420.jpg"), other));
    const QRect crop(37, 41, 200, 240);
    const std::unique_ptr<FastPrefetch::Region> ahead =
        FastPrefetch::Fetch({QFile::encodeName(change == u"name" ? other : path).toStdString(),
                             {change == u"crop" ? 38 : 37, 41, 200, 240}});
    QVERIFY(ahead);
    if (change == u"replaced") {
        const QString next = out.filePath(QStringLiteral("next.jpg"));
        QVERIFY(TestPictures::WriteBytes(next, EncodeJpeg(DetailedPicture(Width, Height, 12), JpegKind{})));
        QVERIFY(std::rename(QFile::encodeName(next).constData(), QFile::encodeName(path).constData()) == 0);
    }

    const QString cliJpeg = out.filePath(QStringLiteral("cli.jpg"));
    const QString editorJpeg = out.filePath(QStringLiteral("editor.jpg"));
    const QStringList arguments{"firma", path, "--ritaglio", CropText(crop), "-o", cliJpeg};
    QCOMPARE(FastPath::Run(arguments, ahead.get()), std::optional<int>(int(Cli::Done)));
    QCOMPARE(ahead->taken, taken);
    const SourcePicture::Loaded loaded = SourcePicture::Load(path);
    QVERIFY(EditorWrites(loaded.picture.copy(crop), Outputs[1], editorJpeg, QString()));
    QCOMPARE(TestPictures::ReadBytes(cliJpeg), TestPictures::ReadBytes(editorJpeg));
}

void TestSameBytes::refusedLikeTheEditor_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SourcePicture::Problem>("problem");
    const QByteArray plain = EncodeJpeg(DetailedPicture(Width, Height, 11), JpegKind{});
    // The crop (the top left corner) lies in the part of the file that is still there.
    QTest::newRow("cut short") << plain.left(plain.size() / 2) << SourcePicture::Problem::Unreadable;
    QTest::newRow("wider than the editors take")
        << EncodeJpeg(QImage(SourcePicture::MaxSide + 1, 16, QImage::Format_RGB32), JpegKind{1, 1, true})
        << SourcePicture::Problem::TooLarge;
}

// Pictures the editors refuse are refused, with the same problem, even
// where the crop alone could be decoded.
void TestSameBytes::refusedLikeTheEditor()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SourcePicture::Problem, problem);
    const QString path = source("refused.jpg");
    QVERIFY(TestPictures::WriteBytes(path, bytes));
    QCOMPARE(SourcePicture::Load(path).problem, problem);
    const SourceCrop::Result ours = SourceCrop::Crop(path, {0, 0, 16, 16});
    QCOMPARE(int(ours.outcome), int(SourceCrop::Outcome::Unreadable));
    QCOMPARE(ours.problem, problem);
}

void TestSameBytes::quickRoadLeavesTheRest_data()
{
    QTest::addColumn<QStringList>("arguments");
    const QString jpeg = source("plain420.jpg");
    const QString out = dir_.filePath(QStringLiteral("quick.jpg"));
    // A plain file where the output's folder should be.
    const QString notAFolder = source("plain444.jpg") + QStringLiteral("/quick.jpg");
    const struct {
        const char* name;
        QStringList arguments;
    } rows[] = {
        {"no command", {}},
        {"another command", {"controlla", jpeg}},
        {"help", {"foto", jpeg, "--ritaglio", "0,0,20,20", "-o", out, "--help"}},
        {"crop found by itself", {"foto", jpeg, "--auto", "-o", out}},
        {"unknown option", {"foto", jpeg, "--ritaglio", "0,0,20,20", "-o", out, "--nuova"}},
        {"no output", {"foto", jpeg, "--ritaglio", "0,0,20,20"}},
        {"two sources", {"foto", jpeg, jpeg, "--ritaglio", "0,0,20,20", "-o", out}},
        {"crop not numbers", {"foto", jpeg, "--ritaglio", "a,b,c,d", "-o", out}},
        {"empty crop", {"foto", jpeg, "--ritaglio", "0,0,0,20", "-o", out}},
        {"crop outside", {"foto", jpeg, "--ritaglio", "500,0,20,20", "-o", out}},
        {"source missing", {"foto", dir_.filePath(QStringLiteral("none.jpg")), "--ritaglio", "0,0,20,20", "-o", out}},
        {"source not a JPEG", {"foto", source("colour.bmp"), "--ritaglio", "0,0,20,20", "-o", out}},
        {"output not writable", {"foto", jpeg, "--ritaglio", "0,0,20,20", "-o", notAFolder}},
        {"threshold without --bn", {"firma", jpeg, "--ritaglio", "0,0,20,20", "-o", out, "--soglia", "100"}},
        {"threshold not a number", {"firma", jpeg, "--ritaglio", "0,0,20,20", "-o", out, "--bn", "--soglia", "x"}},
        {"--bn naming the JPEG itself", {"firma", jpeg, "--ritaglio", "0,0,20,20", "-o", dir_.filePath("a.bmp"), "--bn"}},
        {"output a folder", {"foto", jpeg, "--ritaglio", "0,0,20,20", "-o", dir_.path()}},
        {"signature too thin for the canvas", {"firma", jpeg, "--ritaglio", "0,0,1,300", "-o", out}},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << r.arguments;
}

// Every command line the full program has to answer, or that fails, is
// left to it, with nothing written.
void TestSameBytes::quickRoadLeavesTheRest()
{
    QFETCH(QStringList, arguments);
    const QStringList before = QDir(dir_.path()).entryList(QDir::Files);
    QVERIFY(!FastPath::Run(arguments));
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), before);
}

RITRAX_TEST(TestSameBytes)
#include "tst_samebytes.moc"
