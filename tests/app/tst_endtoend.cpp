// The whole road of one applicant, through the real windows: intake, the
// photo editor with a drag and a save, the signature editor with the
// black-and-white variant, the card preview; from a file and from the SANE
// test scanner. Every file and setting is checked where it ended up.

#include "AnalizzaFirma.h"
#include "AnalizzaFoto.h"
#include "FormMain.h"
#include "ImageControl.h"
#include "ModalScript.h"
#include "OnePassWindow.h"
#include "OutputChecks.h"
#include "PictureView.h"
#include "SaneScanner.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"

#include <QDir>
#include <QLineEdit>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fromAFile();
    void fromTheScanner();
    void onePassInThreeActions();

private:
    // Photo, signature and preview on whatever source form_ holds now.
    void travelTheRoad(const QString& outFolder);
    void checkSettings(const QString& source, const QString& outFolder);

    QTemporaryDir saneConfig_;
    QString startDir_;
    std::unique_ptr<TestEnvironment> env_;
    std::unique_ptr<FormMain> form_;
};

void TestEndToEnd::initTestCase()
{
    startDir_ = QDir::currentPath();
    // The SANE test device through a configuration folder of our own.
    QVERIFY(TestPictures::WriteBytes(saneConfig_.filePath(QStringLiteral("dll.conf")), "test\n"));
    QVERIFY(QFile::copy(QStringLiteral("/etc/sane.d/test.conf"), saneConfig_.filePath(QStringLiteral("test.conf"))));
    qputenv("SANE_CONFIG_DIR", QFile::encodeName(saneConfig_.path()));
}

void TestEndToEnd::init()
{
    env_ = std::make_unique<TestEnvironment>();
    // The sample form's row of starting scroll positions beside the program.
    QVERIFY(QFile::copy(QStringLiteral(RITRAX_SOURCE_DIR "/samples/formati.txt"),
                        env_->file(QStringLiteral("formati.txt"))));
}

void TestEndToEnd::cleanup()
{
    form_.reset();
    env_.reset();
    QDir::setCurrent(startDir_);
}

void TestEndToEnd::travelTheRoad(const QString& outFolder)
{
    QVERIFY(QDir().mkpath(outFolder + QStringLiteral("/firme")));
    const QString photo = outFolder + QStringLiteral("/rossi");
    const QString signature = outFolder + QStringLiteral("/firme/rossi.jbn");

    // Photo: drag the frame a little to the right and down, then save.
    QRect cropBefore, cropAfter;
    {
        ModalScript script("AnalizzaFoto", [&](QWidget* window) {
            auto* editor = static_cast<AnalizzaFoto*>(window);
            cropBefore = QRect(editor->SelLeft, editor->SelTop, editor->SelWidth, editor->SelHeight);
            const QPoint inside(editor->SelLeft + editor->Sh->value() + editor->SelWidth / 2,
                                editor->SelTop + editor->Sv->value() + editor->SelHeight / 2);
            QTest::mousePress(editor->Pbi, Qt::LeftButton, {}, inside);
            QTest::mouseMove(editor->Pbi, inside + QPoint(6, 4));
            QTest::mouseRelease(editor->Pbi, Qt::LeftButton, {}, inside + QPoint(6, 4));
            cropAfter = QRect(editor->SelLeft, editor->SelTop, editor->SelWidth, editor->SelHeight);
            env_->dialogs().queueSave(photo);
            QTest::mouseClick(editor->SalvaP, Qt::LeftButton);
        });
        form_->FotoP_Click();
        QVERIFY(script.acted());
    }
    QCOMPARE(cropAfter.topLeft() - cropBefore.topLeft(), QPoint(6, 4));
    QVERIFY(form_->FotoI->isShownFlag());
    QCOMPARE(form_->FotoI->picture().size(), QSize(265, 320));

    // Signature: the dialog proposes the photo's name; ".jbn" asks for both files.
    {
        ModalScript script("AnalizzaFirma", [&](QWidget* window) {
            auto* editor = static_cast<AnalizzaFirma*>(window);
            env_->dialogs().queueSave(signature);
            QTest::mouseClick(editor->SalvaP, Qt::LeftButton);
        });
        form_->FirmaP_Click();
        QVERIFY(script.acted());
    }
    QCOMPARE(env_->dialogs().fileDialogs.last().request.fileName, QStringLiteral("rossi"));
    QVERIFY(form_->FirmaI->isShownFlag());
    QVERIFY(env_->dialogs().messages.isEmpty());
    QVERIFY(env_->dialogs().questions.isEmpty());

    // Every file as the authority wants it.
    const WrittenPicture p = ReadBack(photo + QStringLiteral(".JPG"));
    QCOMPARE(p.format, FIF_JPEG);
    QCOMPARE(QSize(p.width, p.height), QSize(265, 320));
    QCOMPARE(p.bpp, 24);
    const Density pd = JfifDensity(TestPictures::ReadBytes(photo + QStringLiteral(".JPG")));
    QCOMPARE(QPoint(pd.x, pd.y), QPoint(200, 200));
    const QString signatureJpeg = outFolder + QStringLiteral("/firme/rossi.JPG");
    const WrittenPicture s = ReadBack(signatureJpeg);
    QCOMPARE(QSize(s.width, s.height), QSize(710, 142));
    QCOMPARE(s.bpp, 24);
    const Density sd = JfifDensity(TestPictures::ReadBytes(signatureJpeg));
    QCOMPARE(QPoint(sd.x, sd.y), QPoint(600, 600));
    const WrittenPicture b = ReadBack(outFolder + QStringLiteral("/firme/rossi.bmp"));
    QCOMPARE(b.format, FIF_BMP);
    QCOMPARE(QSize(b.width, b.height), QSize(710, 142));
    QCOMPARE(b.bpp, 1);
    QCOMPARE(QPoint(b.dotsPerMetreX, b.dotsPerMetreY), QPoint(23622, 23622));
    QVERIFY(!QFile::exists(signature));

    // The card preview with both, then back.
    form_->AnteprimaP_Click();
    QVERIFY(form_->AnteprimaI->isShownFlag());
    QCOMPARE(form_->AnteprimaI->geometry(), QRect(94, 74, 839, 540));
    QVERIFY(form_->FotoA->isShownFlag() && form_->FirmaA->isShownFlag());
    QVERIFY(!form_->EsciP->Visible());
    QTest::mouseClick(form_->AnteprimaI, Qt::LeftButton, {}, QPoint(420, 30));
    QVERIFY(!form_->AnteprimaI->isShownFlag());
    QVERIFY(form_->Img->isShownFlag() && form_->FirmaI->isShownFlag() && form_->EsciP->Visible());
}

void TestEndToEnd::checkSettings(const QString& source, const QString& outFolder)
{
    // Read back from the file itself, as the next start of the program would.
    QSettings file(env_->settingsFile(), QSettings::IniFormat);
    file.beginGroup(QStringLiteral("Ritrax"));
    if (source.isEmpty())
        QVERIFY(!file.contains(QStringLiteral("InitDirFile")));
    else
        QCOMPARE(file.value(QStringLiteral("InitDirFile")).toString(), source);
    QCOMPARE(file.value(QStringLiteral("InitDirFoto")).toString(), outFolder + QStringLiteral("/rossi.JPG"));
    QCOMPARE(file.value(QStringLiteral("InitDirFirma")).toString(), outFolder + QStringLiteral("/firme/rossi.JPG"));
    QCOMPARE(file.value(QStringLiteral("LastNome")).toString(), QStringLiteral("JBN"));
    QStringList expected{"InitDirFirma", "InitDirFoto", "LastNome"};
    if (!source.isEmpty())
        expected << "InitDirFile";
    expected.sort();
    QStringList written = file.childKeys();
    written.sort();
    QCOMPARE(written, expected);
}

void TestEndToEnd::fromAFile()
{
    form_ = std::make_unique<FormMain>(env_->services());
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    const QString sample = QStringLiteral(RITRAX_SOURCE_DIR "/samples/modulo-300dpi.jpg");
    env_->dialogs().queueOpen(sample);
    form_->ScannerP_Click(1);
    QCOMPARE(form_->SourceFile, sample);
    QTemporaryDir out;
    travelTheRoad(out.path());
    checkSettings(sample, out.path());
}

void TestEndToEnd::fromTheScanner()
{
    SaneScanner scanner(env_->settings(), env_->dialogs());
    Services services = env_->services();
    Services withScanner{services.settings, services.dialogs, scanner, services.camera, services.folders};
    form_ = std::make_unique<FormMain>(withScanner);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    {
        ModalScript script("SaneScanDialog", [](QWidget* dialog) {
            dialog->findChild<QPushButton*>(QStringLiteral("scan"))->click();
        });
        form_->ScannerP_Click(0);
        QVERIFY(script.acted());
    }
    const QString scanned = env_->file(QStringLiteral("FILE.BMP"));
    QCOMPARE(form_->SourceFile, scanned);
    const WrittenPicture page = ReadBack(scanned);
    QCOMPARE(page.format, FIF_BMP);
    QCOMPARE(page.dotsPerMetreX, 11811); // the preselected 300 DPI
    QTemporaryDir out;
    travelTheRoad(out.path());
    checkSettings(QString(), out.path());
}

void TestEndToEnd::onePassInThreeActions()
{
    form_ = std::make_unique<FormMain>(env_->services());
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QVERIFY(!form_->OnePassP->Enabled());
    const QString sample = QStringLiteral(RITRAX_SOURCE_DIR "/samples/modulo-300dpi.jpg");
    env_->dialogs().queueOpen(sample);
    form_->ScannerP_Click(1);
    QVERIFY(form_->OnePassP->Enabled());
    QTemporaryDir out;
    env_->settings().write(QStringLiteral("InitDirFoto"), out.filePath(QStringLiteral("a.JPG")));
    QVERIFY(QDir().mkpath(out.filePath(QStringLiteral("firme"))));
    env_->settings().write(QStringLiteral("InitDirFirma"), out.filePath(QStringLiteral("firme/a.JPG")));

    // Alt+R, the name, Enter.
    form_->activateWindow();
    ModalScript script("OnePassWindow", [](QWidget* window) {
        auto* onePass = static_cast<OnePassWindow*>(window);
        QTRY_VERIFY(onePass->nameEdit->hasFocus() || !onePass->isVisible());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("rossi"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QTest::keyClick(form_.get(), Qt::Key_R, Qt::AltModifier);
    QTRY_VERIFY(script.acted());
    QVERIFY(env_->dialogs().messages.isEmpty() && env_->dialogs().fileDialogs.size() == 1);
    QCOMPARE(ReadBack(out.filePath(QStringLiteral("rossi.JPG"))).width, 265);
    QCOMPARE(ReadBack(out.filePath(QStringLiteral("firme/rossi.JPG"))).width, 710);
    QVERIFY(form_->FotoI->isShownFlag() && form_->FirmaI->isShownFlag());
    QCOMPARE(form_->FotoI->picture().size(), QSize(265, 320));
    QVERIFY(form_->FotoP->Enabled() && form_->OnePassP->Enabled());
}

RITRAX_TEST(TestEndToEnd)
#include "tst_endtoend.moc"
