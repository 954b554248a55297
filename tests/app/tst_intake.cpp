#include "FormMain.h"
#include "ImageControl.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Filter = QStringLiteral(
    "File immagine JPG|*.JPG|File immagine BMP|*.BMP|File immagine GIF|*.GIF|Tutti i file|*.*");
constexpr int FileWay = 1;
constexpr int ScannerWay = 0;
} // namespace

class TestIntake : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstStartOpensInDriveRoot();
    void dialogOpenWhileCommandsDisabled();
    void cancelChangesNothing();
    void acceptedFiles_data();
    void acceptedFiles();
    void refusedFiles_data();
    void refusedFiles();
    void nextDialogStartsInLastFolder();
    void thumbnailsHiddenAfterIntake();
    void scannerPage();
    void scannerGivesNothing();

private:
    void takeFile(const QString& path);
    QString picture(const QString& name) const { return pictures_.filePath(name); }

    QTemporaryDir pictures_;
    std::unique_ptr<TestEnvironment> env_;
    std::unique_ptr<FormMain> form_;
    QString startDir_;
};

void TestIntake::initTestCase()
{
    using namespace TestPictures;
    startDir_ = QDir::currentPath();
    QVERIFY(SavePicture(picture("wide.jpg"), FIF_JPEG, 1000, 500, Qt::red));
    QVERIFY(SavePicture(picture("jpeg.bmp"), FIF_JPEG, 866, 1170, Qt::blue));
    QVERIFY(SavePicture(picture("grey.gif"), FIF_GIF, 50, 100, Qt::gray, 8));
    QVERIFY(SavePicture(picture("scan.bmp"), FIF_BMP, 1240, 1754, Qt::white));
    QVERIFY(SavePicture(picture("photo.png"), FIF_PNG, 100, 100, Qt::green));
    QVERIFY(SavePicture(picture("huge.bmp"), FIF_BMP, 40000, 2, Qt::white, 8));
    QVERIFY(WriteBytes(picture("empty.jpg"), QByteArray()));
    const QByteArray jpeg = ReadBytes(picture("wide.jpg"));
    QVERIFY(WriteBytes(picture("cut.jpg"), jpeg.left(jpeg.size() / 3)));
}

void TestIntake::init()
{
    env_ = std::make_unique<TestEnvironment>();
    form_ = std::make_unique<FormMain>(env_->services());
}

void TestIntake::cleanup()
{
    form_.reset();
    env_.reset();
    QDir::setCurrent(startDir_);
}

void TestIntake::takeFile(const QString& path)
{
    env_->dialogs().queueOpen(path);
    form_->ScannerP_Click(FileWay);
}

void TestIntake::firstStartOpensInDriveRoot()
{
    env_->dialogs().queueOpen(std::nullopt);
    form_->ScannerP_Click(FileWay);
    QCOMPARE(env_->dialogs().fileDialogs.size(), 1);
    const RecordedFileDialog& d = env_->dialogs().fileDialogs.first();
    QCOMPARE(d.kind, RecordedFileDialog::Open);
    QCOMPARE(d.request.startFolder, QStringLiteral("C:\\"));
    QCOMPARE(d.request.filter, Filter);
    QCOMPARE(d.request.fileName, QString());
}

void TestIntake::dialogOpenWhileCommandsDisabled()
{
    bool checked = false;
    env_->dialogs().onPrompt = [&] {
        checked = true;
        QVERIFY(form_->MsgL->Visible());
        QCOMPARE(form_->MsgL->Caption(), QStringLiteral("Seleziona il file"));
        for (chameleonButton* b : {form_->ScannerP[0], form_->ScannerP[1], form_->ScannerP[2], form_->CfgP,
                                   form_->EsciP, form_->FotoP, form_->FirmaP})
            QVERIFY(!b->Enabled());
        QVERIFY(form_->AnteprimaP->Enabled());
    };
    takeFile(picture("wide.jpg"));
    QVERIFY(checked);
}

void TestIntake::cancelChangesNothing()
{
    takeFile(picture("wide.jpg"));
    const QRect shown = form_->Img->geometry();
    env_->dialogs().queueOpen(std::nullopt);
    form_->ScannerP_Click(FileWay);
    QCOMPARE(form_->SourceFile, picture("wide.jpg"));
    QCOMPARE(form_->Img->geometry(), shown);
    QVERIFY(form_->Img->isShownFlag());
    QVERIFY(!form_->MsgL->Visible());
    QVERIFY(form_->CfgP->Enabled() && form_->FotoP->Enabled());
    QVERIFY(env_->dialogs().messages.isEmpty());

    // Before any intake a cancel leaves the editors unavailable and stores nothing.
    TestEnvironment fresh;
    FormMain form(fresh.services());
    fresh.dialogs().queueOpen(std::nullopt);
    form.ScannerP_Click(FileWay);
    QVERIFY(!form.FotoP->Enabled() && !form.FirmaP->Enabled());
    QVERIFY(form.ScannerP[1]->Enabled());
    QVERIFY(form.SourceFile.isEmpty());
    QVERIFY(!QFile::exists(fresh.settingsFile()));
}

void TestIntake::acceptedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("shown");
    QTest::newRow("JPEG, wide") << "wide.jpg" << QRect(8, 264, 433, 217);
    QTest::newRow("JPEG named .bmp") << "jpeg.bmp" << QRect(8, 80, 433, 585);
    QTest::newRow("GIF, small, enlarged") << "grey.gif" << QRect(78, 80, 293, 585);
}

void TestIntake::acceptedFiles()
{
    QFETCH(QString, name);
    QFETCH(QRect, shown);
    takeFile(picture(name));
    QVERIFY(env_->dialogs().messages.isEmpty());
    QCOMPARE(form_->SourceFile, picture(name));
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFile")), picture(name));
    QVERIFY(form_->Img->isShownFlag());
    QCOMPARE(form_->Img->geometry(), shown);
    QVERIFY(form_->FotoP->Enabled() && form_->FirmaP->Enabled());
    QVERIFY(form_->ScannerP[0]->Enabled() && form_->EsciP->Enabled());
    QVERIFY(!form_->MsgL->Visible());
    QCOMPARE(QDir::currentPath(), QDir(env_->programFolder()).canonicalPath());
}

void TestIntake::refusedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("PNG") << "photo.png" << "Formato immagine non riconosciuto";
    QTest::newRow("zero bytes") << "empty.jpg" << "Formato immagine non riconosciuto";
    QTest::newRow("JPEG cut short") << "cut.jpg" << "Impossibile leggere l'immagine";
    QTest::newRow("too wide for the editors")
        << "huge.bmp" << "Immagine troppo grande: larghezza e altezza non possono superare 32767 pixel";
}

void TestIntake::refusedFiles()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    takeFile(picture("wide.jpg"));
    const QRect shown = form_->Img->geometry();
    const QImage before = form_->Img->picture();

    takeFile(picture(name));
    QCOMPARE(env_->dialogs().messages.size(), 1);
    QCOMPARE(env_->dialogs().messages.first().text, message);
    QCOMPARE(env_->dialogs().messages.first().icon, MessageIcon::Critical);
    // The last good source stays, with its picture, its setting and the editors.
    QCOMPARE(form_->SourceFile, picture("wide.jpg"));
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFile")), picture("wide.jpg"));
    QVERIFY(form_->Img->isShownFlag());
    QCOMPARE(form_->Img->geometry(), shown);
    QCOMPARE(form_->Img->picture(), before);
    QVERIFY(form_->FotoP->Enabled() && form_->CfgP->Enabled());
    QVERIFY(!form_->MsgL->Visible());
}

void TestIntake::nextDialogStartsInLastFolder()
{
    takeFile(picture("wide.jpg"));
    env_->dialogs().queueOpen(std::nullopt);
    form_->ScannerP_Click(FileWay);
    QCOMPARE(env_->dialogs().fileDialogs.last().request.startFolder, QDir::cleanPath(pictures_.path()));
}

void TestIntake::thumbnailsHiddenAfterIntake()
{
    form_->FotoI->show();
    form_->FirmaI->show();
    takeFile(picture("grey.gif"));
    QVERIFY(!form_->FotoI->isShownFlag());
    QVERIFY(!form_->FirmaI->isShownFlag());
}

void TestIntake::scannerPage()
{
    env_->scanner().queuePicture(picture("scan.bmp"));
    bool checked = false;
    env_->dialogs().onPrompt = [&] { checked = true; };
    form_->ScannerP_Click(ScannerWay);
    QVERIFY(!checked);
    const QString workFile = QDir(env_->programFolder()).filePath(QStringLiteral("FILE.BMP"));
    QCOMPARE(env_->scanner().acquiredPaths, QStringList{workFile});
    QCOMPARE(form_->SourceFile, workFile);
    QVERIFY(form_->Img->isShownFlag());
    QCOMPARE(form_->Img->geometry(), QRect(17, 80, 414, 585));
    QVERIFY(form_->FotoP->Enabled());
    // The scanner way leaves the file intake's folder alone.
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFile"), QStringLiteral("none")), QStringLiteral("none"));
}

void TestIntake::scannerGivesNothing()
{
    takeFile(picture("wide.jpg"));
    env_->scanner().queueFailure();
    form_->ScannerP_Click(ScannerWay);
    QCOMPARE(env_->dialogs().messages.size(), 1);
    QCOMPARE(env_->dialogs().messages.first().text, QStringLiteral("Immagine non acquisita"));
    QCOMPARE(env_->dialogs().messages.first().icon, MessageIcon::Warning);
    QCOMPARE(form_->SourceFile, picture("wide.jpg"));
    QVERIFY(form_->Img->isShownFlag());
    QVERIFY(!form_->MsgL->Visible());
    QVERIFY(form_->ScannerP[0]->Enabled() && form_->FotoP->Enabled());
}

RITRAX_TEST(TestIntake)
#include "tst_intake.moc"
