#include "OutputChecks.h"
#include "OutputSave.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using OutputSave::Context;

namespace {

// A dark 400 x 200 "signature" crop with a light band, on nothing.
QImage SignatureCrop(int width = 400, int height = 200)
{
    QImage crop(width, height, QImage::Format_RGB32);
    crop.fill(QColor(20, 20, 60));
    for (int y = height / 3; y < height / 2; ++y)
        for (int x = 0; x < width; ++x)
            crop.setPixelColor(x, y, QColor(250, 250, 250));
    return crop;
}

QImage PhotoCrop()
{
    QImage crop(472, 570, QImage::Format_RGB32);
    crop.fill(QColor(180, 120, 90));
    return crop;
}

} // namespace

class TestSave : public QObject {
    Q_OBJECT
private slots:
    void init();
    void photoWritten();
    void photoCancelled();
    void photoOverwriteRefusedKeepsTheOldFile();
    void photoOverwriteAccepted();
    void photoWriteFailure_data();
    void photoWriteFailure();
    void photoReplacesAnEarlierResult();
    void diskFullKeepsTheOldFiles();
    void signature600();
    void signature200();
    void signatureBlackAndWhite_data();
    void signatureBlackAndWhite();
    void signatureFiltersAndProposal();
    void signatureCancelGivesTheSelectionBack();
    void signatureAsksAboutTheJpegOnly();

private:
    Context context() { return {env_->settings(), env_->dialogs(), nullptr}; }
    QString out(const QString& name) const { return outDir_->filePath(name); }
    std::unique_ptr<TestEnvironment> env_;
    std::unique_ptr<QTemporaryDir> outDir_;
};

void TestSave::init()
{
    env_ = std::make_unique<TestEnvironment>();
    outDir_ = std::make_unique<QTemporaryDir>();
    OutputSave::LastPhotoName().clear();
}

void TestSave::photoWritten()
{
    env_->settings().write(QStringLiteral("InitDirFoto"), QStringLiteral("D:\\Archivio\\rossi.JPG"));
    env_->dialogs().queueSave(QStringLiteral("  ") + out(QStringLiteral("bianchi")) + QStringLiteral(" "));
    FIBITMAP* result = nullptr;
    QVERIFY(OutputSave::SavePhoto(context(), PhotoCrop(), result));
    const RecordedFileDialog& d = env_->dialogs().fileDialogs.first();
    QCOMPARE(d.request.startFolder, QStringLiteral("D:\\Archivio"));
    QCOMPARE(d.request.filter, QStringLiteral("File immagine JPG|*.JPG|Tutti i file|*.*"));
    QCOMPARE(d.request.fileName, QString());

    const QString written = out(QStringLiteral("bianchi.JPG"));
    const WrittenPicture w = ReadBack(written);
    QCOMPARE(w.format, FIF_JPEG);
    QCOMPARE(QSize(w.width, w.height), QSize(265, 320));
    QCOMPARE(w.bpp, 24);
    const Density density = JfifDensity(TestPictures::ReadBytes(written));
    QCOMPARE(density.units, 1);
    QCOMPARE(density.x, 200);
    QCOMPARE(density.y, 200);
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFoto")), written);
    QCOMPARE(OutputSave::LastPhotoName(), QStringLiteral("bianchi"));
    QVERIFY(result);
    QCOMPARE(FreeImage_GetWidth(result), 265u);
    QCOMPARE(FreeImage_GetDotsPerMeterX(result), 7874u);
    FreeImage_Unload(result);
    // Nothing left beside the photo.
    QCOMPARE(QDir(outDir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"bianchi.JPG"});
}

void TestSave::photoCancelled()
{
    env_->dialogs().queueSave(std::nullopt);
    FIBITMAP* result = nullptr;
    QVERIFY(!OutputSave::SavePhoto(context(), PhotoCrop(), result));
    QVERIFY(result == nullptr);
    QCOMPARE(env_->dialogs().fileDialogs.first().request.startFolder, QStringLiteral("C:\\"));
    QVERIFY(env_->dialogs().messages.isEmpty());
    QVERIFY(!QFile::exists(env_->settingsFile()));
    QVERIFY(OutputSave::LastPhotoName().isEmpty());
}

void TestSave::photoOverwriteRefusedKeepsTheOldFile()
{
    const QString existing = out(QStringLiteral("rossi.jpg"));
    QVERIFY(TestPictures::WriteBytes(existing, "old photo"));
    env_->dialogs().queueSave(existing);
    env_->dialogs().queueYesNo(false);
    FIBITMAP* result = nullptr;
    QVERIFY(!OutputSave::SavePhoto(context(), PhotoCrop(), result));
    QVERIFY(result == nullptr);
    QCOMPARE(env_->dialogs().questions.size(), 1);
    QCOMPARE(env_->dialogs().questions.first().text, QStringLiteral("File già presente.\rDevo sovrascriverlo ?"));
    QCOMPARE(env_->dialogs().questions.first().title, QStringLiteral("Ritrax"));
    QCOMPARE(TestPictures::ReadBytes(existing), QByteArray("old photo"));
    QVERIFY(env_->settings().read(QStringLiteral("InitDirFoto")).isEmpty());
}

void TestSave::photoOverwriteAccepted()
{
    const QString existing = out(QStringLiteral("rossi.JPG"));
    QVERIFY(TestPictures::WriteBytes(existing, "old photo"));
    env_->dialogs().queueSave(out(QStringLiteral("rossi")));
    env_->dialogs().queueYesNo(true);
    FIBITMAP* result = nullptr;
    QVERIFY(OutputSave::SavePhoto(context(), PhotoCrop(), result));
    QCOMPARE(ReadBack(existing).width, 265);
    FreeImage_Unload(result);
}

void TestSave::photoWriteFailure_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("folder is a plain file") << "plainfile/foto";
    QTest::newRow("name too long") << QString(300, u'x');
    QTest::newRow("an existing folder of that name") << "folder.JPG";
}

void TestSave::photoWriteFailure()
{
    QFETCH(QString, target);
    QVERIFY(TestPictures::WriteBytes(out(QStringLiteral("plainfile")), "not a folder"));
    QVERIFY(QDir(outDir_->path()).mkdir(QStringLiteral("folder.JPG")));
    env_->settings().write(QStringLiteral("InitDirFoto"), QStringLiteral("/before/a.JPG"));
    OutputSave::LastPhotoName() = QStringLiteral("before");
    env_->dialogs().queueSave(out(target));
    env_->dialogs().queueYesNo(true);
    FIBITMAP* result = nullptr;
    QVERIFY(!OutputSave::SavePhoto(context(), PhotoCrop(), result));
    QVERIFY(result == nullptr);
    QCOMPARE(env_->dialogs().messages.size(), 1);
    const RecordedMessage& m = env_->dialogs().messages.first();
    QCOMPARE(m.icon, MessageIcon::Critical);
    QVERIFY(m.text.startsWith(QStringLiteral("Impossibile scrivere il file:\r\n")));
    QVERIFY(m.text.endsWith(QStringLiteral(".JPG")));
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFoto")), QStringLiteral("/before/a.JPG"));
    QCOMPARE(OutputSave::LastPhotoName(), QStringLiteral("before"));
    QCOMPARE(TestPictures::ReadBytes(out(QStringLiteral("plainfile"))), QByteArray("not a folder"));
    QVERIFY(QFileInfo(out(QStringLiteral("folder.JPG"))).isDir());
}

void TestSave::photoReplacesAnEarlierResult()
{
    // A portal check leaves its photo in the result; a save replaces it.
    FIBITMAP* result = FreeImage_Allocate(10, 10, 24);
    env_->dialogs().queueSave(std::nullopt);
    QVERIFY(!OutputSave::SavePhoto(context(), PhotoCrop(), result));
    QVERIFY(result == nullptr);
}

void TestSave::diskFullKeepsTheOldFiles()
{
    // Tests run as root, so permissions stop nothing: a file-size limit
    // makes every write beyond it fail as on a full disk.
    const QString photo = out(QStringLiteral("rossi.JPG"));
    const QString signatureBmp = out(QStringLiteral("firma.bmp"));
    QVERIFY(TestPictures::WriteBytes(photo, "the photo saved yesterday"));
    QVERIFY(TestPictures::WriteBytes(signatureBmp, "yesterday's bmp"));
    struct rlimit before {};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &before) == 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = before;
    tight.rlim_cur = 200;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &tight) == 0);

    env_->dialogs().queueSave(photo);
    env_->dialogs().queueYesNo(true);
    FIBITMAP* result = nullptr;
    const bool photoSaved = OutputSave::SavePhoto(context(), PhotoCrop(), result);
    env_->dialogs().queueSave(out(QStringLiteral("firma.jbn")));
    qint16 w = 400, h = 200;
    FIBITMAP* canvas = nullptr;
    const bool signatureSaved = OutputSave::SaveSignature(context(), SignatureCrop(), w, h, canvas);

    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, oldHandler);
    QVERIFY(!photoSaved && !signatureSaved);
    QVERIFY(result == nullptr && canvas == nullptr);
    QCOMPARE(env_->dialogs().messages.size(), 2);
    for (const RecordedMessage& m : env_->dialogs().messages)
        QCOMPARE(m.icon, MessageIcon::Critical);
    QCOMPARE(env_->dialogs().messages[0].text, QStringLiteral("Impossibile scrivere il file:\r\n") + photo);
    // Both signature files failed: both named, in the plural.
    QCOMPARE(env_->dialogs().messages[1].text, QStringLiteral("Impossibile scrivere i file:\r\n%1\r\n%2")
                                                   .arg(out(QStringLiteral("firma.JPG")), signatureBmp));
    QCOMPARE(TestPictures::ReadBytes(photo), QByteArray("the photo saved yesterday"));
    QCOMPARE(TestPictures::ReadBytes(signatureBmp), QByteArray("yesterday's bmp"));
    QVERIFY(!QFile::exists(out(QStringLiteral("firma.JPG"))));
    // No half-written file left behind, and no setting changed.
    QCOMPARE(QDir(outDir_->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    QVERIFY(!QFile::exists(env_->settingsFile()));
    QCOMPARE(QSize(w, h), QSize(400, 200));
}

void TestSave::signature600()
{
    env_->dialogs().queueSave(out(QStringLiteral("firma")));
    qint16 w = 400, h = 200;
    FIBITMAP* result = nullptr;
    QVERIFY(OutputSave::SaveSignature(context(), SignatureCrop(), w, h, result));
    QCOMPARE(QSize(w, h), QSize(275, 138));
    const QString jpeg = out(QStringLiteral("firma.JPG"));
    const WrittenPicture p = ReadBack(jpeg);
    QCOMPARE(QSize(p.width, p.height), QSize(710, 142));
    QCOMPARE(p.bpp, 24);
    const Density d = JfifDensity(TestPictures::ReadBytes(jpeg));
    QCOMPARE(QPoint(d.x, d.y), QPoint(600, 600));
    QVERIFY(!QFile::exists(out(QStringLiteral("firma.bmp"))));
    // The result holds the canvas exactly: white margins, the dark crop at 218, 2, 275 x 138.
    QCOMPARE(FreeImage_GetWidth(result), 710u);
    QCOMPARE(FreeImage_GetDotsPerMeterX(result), 23622u);
    const auto pixel = [&](int x, int y) {
        RGBQUAD q{};
        FreeImage_GetPixelColor(result, unsigned(x), 141u - unsigned(y), &q);
        return QColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
    };
    QCOMPARE(pixel(217, 70), QColor(Qt::white));
    QCOMPARE(pixel(493, 70), QColor(Qt::white));
    QCOMPARE(pixel(300, 1), QColor(Qt::white));
    QCOMPARE(pixel(300, 140), QColor(Qt::white));
    QVERIFY(pixel(220, 10).blue() < 120 && pixel(490, 135).red() < 100);
    FreeImage_Unload(result);
    QCOMPARE(env_->settings().read(QStringLiteral("LastNome")), QStringLiteral("JPG"));
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFirma")), jpeg);
}

void TestSave::signature200()
{
    env_->settings().write(QStringLiteral("F200"), QStringLiteral("1x"));
    env_->dialogs().queueSave(out(QStringLiteral("firma.jpg")));
    qint16 w = 400, h = 200;
    FIBITMAP* result = nullptr;
    QVERIFY(OutputSave::SaveSignature(context(), SignatureCrop(), w, h, result));
    QCOMPARE(QSize(w, h), QSize(96, 48));
    const WrittenPicture p = ReadBack(out(QStringLiteral("firma.jpg")));
    QCOMPARE(QSize(p.width, p.height), QSize(237, 48));
    const Density d = JfifDensity(TestPictures::ReadBytes(out(QStringLiteral("firma.jpg"))));
    QCOMPARE(QPoint(d.x, d.y), QPoint(200, 200));
    FreeImage_Unload(result);
}

void TestSave::signatureBlackAndWhite_data()
{
    QTest::addColumn<QString>("bnVal");
    QTest::addColumn<bool>("bandIsWhite"); // the 250-grey band of the crop
    QTest::addColumn<bool>("inkIsWhite");
    QTest::newRow("default 170") << "" << true << false;
    QTest::newRow("above the byte range, clamped to 255") << "300" << false << false;
    QTest::newRow("below the byte range, clamped to 0") << "-5" << true << true;
}

void TestSave::signatureBlackAndWhite()
{
    QFETCH(QString, bnVal);
    QFETCH(bool, bandIsWhite);
    QFETCH(bool, inkIsWhite);
    if (!bnVal.isEmpty())
        env_->settings().write(QStringLiteral("bnVal"), bnVal);
    env_->dialogs().queueSave(out(QStringLiteral("rossi.jbn")));
    qint16 w = 400, h = 200;
    FIBITMAP* result = nullptr;
    QVERIFY(OutputSave::SaveSignature(context(), SignatureCrop(), w, h, result));
    FreeImage_Unload(result);
    QVERIFY(QFile::exists(out(QStringLiteral("rossi.JPG"))));
    QVERIFY(!QFile::exists(out(QStringLiteral("rossi.jbn"))));
    const QString bmp = out(QStringLiteral("rossi.bmp"));
    const WrittenPicture b = ReadBack(bmp);
    QCOMPARE(b.format, FIF_BMP);
    QCOMPARE(b.bpp, 1);
    QCOMPARE(QSize(b.width, b.height), QSize(710, 142));
    QCOMPARE(b.dotsPerMetreX, 23622);
    QCOMPARE(b.dotsPerMetreY, 23622);
    // Palette black then white; the white margin stays white, the ink is black.
    QCOMPARE(PixelOfFile(bmp, 0, 0), QColor(Qt::white));
    QCOMPARE(PixelOfFile(bmp, 300, 130) == QColor(Qt::white), inkIsWhite);
    QCOMPARE(PixelOfFile(bmp, 300, 2 + 138 * 5 / 12) == QColor(Qt::white), bandIsWhite);
    QCOMPARE(env_->settings().read(QStringLiteral("LastNome")), QStringLiteral("JBN"));
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFirma")), out(QStringLiteral("rossi.JPG")));
}

void TestSave::signatureFiltersAndProposal()
{
    OutputSave::LastPhotoName() = QStringLiteral("rossi");
    env_->dialogs().queueSave(std::nullopt);
    qint16 w = 400, h = 200;
    FIBITMAP* result = nullptr;
    QVERIFY(!OutputSave::SaveSignature(context(), SignatureCrop(), w, h, result));
    env_->settings().write(QStringLiteral("LastNome"), QStringLiteral("JBN"));
    env_->dialogs().queueSave(std::nullopt);
    QVERIFY(!OutputSave::SaveSignature(context(), SignatureCrop(), w, h, result));
    env_->settings().write(QStringLiteral("LastNome"), QStringLiteral("jbn")); // exactly "JBN" only
    env_->dialogs().queueSave(std::nullopt);
    QVERIFY(!OutputSave::SaveSignature(context(), SignatureCrop(), w, h, result));

    const auto& d = env_->dialogs().fileDialogs;
    QCOMPARE(d.size(), 3);
    const QString jpegFirst = QStringLiteral(
        "File immagine JPG|*.JPG|File immagine JPG e BMP b/n|*.jbn;*.jpg;*.bmp;|Tutti i file|*.*");
    QCOMPARE(d[0].request.filter, jpegFirst);
    QCOMPARE(d[1].request.filter, QStringLiteral(
        "File immagine JPG e BMP b/n|*.jbn;*.jpg;*.bmp;|File immagine JPG|*.JPG|Tutti i file|*.*"));
    QCOMPARE(d[2].request.filter, jpegFirst);
    QCOMPARE(d[0].request.fileName, QStringLiteral("rossi"));
    QCOMPARE(d[0].request.startFolder, QStringLiteral("C:\\"));
}

void TestSave::signatureCancelGivesTheSelectionBack()
{
    qint16 w = 400, h = 200;
    FIBITMAP* result = nullptr;
    bool sawFitted = false;
    env_->dialogs().onPrompt = [&] { sawFitted = w == 275 && h == 138; };
    env_->dialogs().queueSave(std::nullopt);
    QVERIFY(!OutputSave::SaveSignature(context(), SignatureCrop(), w, h, result));
    QVERIFY(sawFitted);
    QCOMPARE(QSize(w, h), QSize(400, 200));
    QVERIFY(result == nullptr);
}

void TestSave::signatureAsksAboutTheJpegOnly()
{
    QVERIFY(TestPictures::WriteBytes(out(QStringLiteral("rossi.bmp")), "old bmp"));
    env_->dialogs().queueSave(out(QStringLiteral("rossi.jbn")));
    qint16 w = 400, h = 200;
    FIBITMAP* result = nullptr;
    QVERIFY(OutputSave::SaveSignature(context(), SignatureCrop(), w, h, result));
    FreeImage_Unload(result);
    QVERIFY(env_->dialogs().questions.isEmpty());
    QCOMPARE(ReadBack(out(QStringLiteral("rossi.bmp"))).bpp, 1);
}

RITRAX_TEST(TestSave)
#include "tst_save.moc"
