// The window that saves an applicant's photo and signature in one pass: the
// files it writes against those of the editors' saves, what it refuses and
// leaves as it was, and corrections that come back from the editors.

#include "../output/LoopbackPortal.h"

#include "AnalizzaFirma.h"
#include "AnalizzaFoto.h"
#include "ImageControl.h"
#include "ModalScript.h"
#include "OutputChecks.h"
#include "OnePassWindow.h"
#include "OutputSave.h"
#include "SourcePicture.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sample = QStringLiteral(RITRAX_SAMPLES_DIR "/modulo-300dpi.jpg");

QStringList SettingKeys(const QString& file)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Ritrax"));
    QStringList keys = settings.childKeys();
    keys.sort();
    return keys;
}

} // namespace

class TestOnePass : public QObject {
    Q_OBJECT
private slots:
    void init();
    void savesWhatTheEditorsSave_data();
    void savesWhatTheEditorsSave();
    void refusedSavesLeaveEverything_data();
    void refusedSavesLeaveEverything();
    void sameFolderSignatureRenamed();
    void noFaceCannotBeSaved();
    void correctionComesBack();
    void portalGetsThePhotoThatIsSaved();
    void madeAhead_data();
    void madeAhead();
    void names_data();
    void names();

private:
    // The window loaded on the sample, its folders in out_.
    void open(OnePassWindow& window);

    std::unique_ptr<TestEnvironment> env_;
    std::unique_ptr<QTemporaryDir> out_;
};

void TestOnePass::init()
{
    env_ = std::make_unique<TestEnvironment>();
    out_ = std::make_unique<QTemporaryDir>();
    OutputSave::LastPhotoName().clear();
    QVERIFY(QDir().mkpath(out_->filePath(QStringLiteral("foto"))));
    QVERIFY(QDir().mkpath(out_->filePath(QStringLiteral("firme"))));
    env_->settings().write(QStringLiteral("InitDirFoto"), out_->filePath(QStringLiteral("foto/prima.JPG")));
    env_->settings().write(QStringLiteral("InitDirFirma"), out_->filePath(QStringLiteral("firme/prima.JPG")));
}

void TestOnePass::open(OnePassWindow& window)
{
    QVERIFY(window.Load(Sample));
    QCOMPARE(window.photoFolder, out_->filePath(QStringLiteral("foto")));
    QCOMPARE(window.signatureFolder, out_->filePath(QStringLiteral("firme")));
    QVERIFY(!window.photoCrop.isEmpty() && !window.signatureCrop.isEmpty());
}

void TestOnePass::savesWhatTheEditorsSave_data()
{
    QTest::addColumn<bool>("dpi200");
    QTest::addColumn<bool>("blackAndWhite");
    QTest::newRow("600 DPI") << false << false;
    QTest::newRow("600 DPI and BMP") << false << true;
    QTest::newRow("200 DPI and BMP") << true << true;
}

void TestOnePass::savesWhatTheEditorsSave()
{
    QFETCH(bool, dpi200);
    QFETCH(bool, blackAndWhite);
    env_->settings().write(QStringLiteral("F200"), dpi200 ? QStringLiteral("1") : QStringLiteral("0"));
    env_->settings().write(QStringLiteral("bnVal"), QStringLiteral("150"));
    env_->settings().write(QStringLiteral("LastNome"), blackAndWhite ? QStringLiteral("JBN") : QStringLiteral("JPG"));
    OnePassWindow window(env_->services());
    open(window);
    QCOMPARE(window.blackAndWhiteBox->isChecked(), blackAndWhite);
    QCOMPARE(window.signature->picture().width(), dpi200 ? 237 : 710);
    QCOMPARE(!window.blackAndWhite->isHidden(), blackAndWhite);
    QTest::keyClicks(window.nameEdit, QStringLiteral(" rossi "));
    QTest::keyClick(window.nameEdit, Qt::Key_Return);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(env_->dialogs().messages.isEmpty() && env_->dialogs().fileDialogs.isEmpty());

    const QString photo = out_->filePath(QStringLiteral("foto/rossi.JPG"));
    const QString signature = out_->filePath(QStringLiteral("firme/rossi.JPG"));
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFoto")), photo);
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFirma")), signature);
    QCOMPARE(env_->settings().read(QStringLiteral("LastNome")), blackAndWhite ? u"JBN" : u"JPG");
    QCOMPARE(OutputSave::LastPhotoName(), QStringLiteral("rossi"));

    // The editors' saves of the same crops, under other names.
    const QImage page = SourcePicture::Load(Sample).picture;
    FIBITMAP* result = nullptr;
    const OutputSave::Context context{env_->settings(), env_->dialogs(), nullptr};
    env_->dialogs().queueSave(out_->filePath(QStringLiteral("foto/editore")));
    QVERIFY(OutputSave::SavePhoto(context, page.copy(window.photoCrop), result));
    FreeImage_Unload(std::exchange(result, nullptr));
    env_->dialogs().queueSave(out_->filePath(blackAndWhite ? QStringLiteral("firme/editore.jbn") : QStringLiteral("firme/editore")));
    qint16 w = qint16(window.signatureCrop.width()), h = qint16(window.signatureCrop.height());
    QVERIFY(OutputSave::SaveSignature(context, page.copy(window.signatureCrop), w, h, result));
    FreeImage_Unload(result);
    QCOMPARE(TestPictures::ReadBytes(photo), TestPictures::ReadBytes(out_->filePath(QStringLiteral("foto/editore.JPG"))));
    QCOMPARE(TestPictures::ReadBytes(signature), TestPictures::ReadBytes(out_->filePath(QStringLiteral("firme/editore.JPG"))));
    QCOMPARE(QFile::exists(out_->filePath(QStringLiteral("firme/rossi.bmp"))), blackAndWhite);
    if (blackAndWhite)
        QCOMPARE(TestPictures::ReadBytes(out_->filePath(QStringLiteral("firme/rossi.bmp"))),
                 TestPictures::ReadBytes(out_->filePath(QStringLiteral("firme/editore.bmp"))));
}

void TestOnePass::refusedSavesLeaveEverything_data()
{
    QTest::addColumn<QString>("signatureFolder"); // under out_
    QTest::addColumn<bool>("photoThere");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("message");
    QTest::newRow("same folder, other name refused")
        << QStringLiteral("foto") << false << QStringLiteral("La foto e la firma andrebbero") << QString();
    QTest::newRow("overwrite refused") << QStringLiteral("firme") << true << OutputSave::OverwriteQuestion << QString();
    QTest::newRow("folder gone") << QStringLiteral("sparita") << false << QString()
                                 << QStringLiteral("Impossibile scrivere i file:");
}

void TestOnePass::refusedSavesLeaveEverything()
{
    QFETCH(QString, signatureFolder);
    QFETCH(bool, photoThere);
    QFETCH(QString, question);
    QFETCH(QString, message);
    const QString photo = out_->filePath(QStringLiteral("foto/rossi.JPG"));
    if (photoThere)
        QVERIFY(TestPictures::WriteBytes(photo, "prima"));
    const QStringList keys = SettingKeys(env_->settingsFile());
    const QString storedPhoto = env_->settings().read(QStringLiteral("InitDirFoto"));
    OnePassWindow window(env_->services());
    open(window);
    window.signatureFolder = out_->filePath(signatureFolder);
    env_->dialogs().queueYesNo(false);
    window.nameEdit->setText(QStringLiteral("rossi"));
    window.SalvaP_Click();

    QVERIFY(window.result() != QDialog::Accepted);
    QCOMPARE(env_->dialogs().questions.size(), question.isEmpty() ? 0 : 1);
    if (!question.isEmpty())
        QVERIFY(env_->dialogs().questions[0].text.startsWith(question));
    if (message.isEmpty())
        QVERIFY(env_->dialogs().messages.isEmpty());
    else
        QVERIFY(env_->dialogs().messages.value(0).text.startsWith(message));
    QCOMPARE(QFile::exists(photo), photoThere);
    if (photoThere)
        QCOMPARE(TestPictures::ReadBytes(photo), QByteArray("prima"));
    QCOMPARE(QDir(out_->filePath(QStringLiteral("firme"))).entryList(QDir::Files), QStringList());
    QCOMPARE(SettingKeys(env_->settingsFile()), keys);
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFoto")), storedPhoto);
    QVERIFY(OutputSave::LastPhotoName().isEmpty());
}

void TestOnePass::sameFolderSignatureRenamed()
{
    OnePassWindow window(env_->services());
    open(window);
    window.signatureFolder = window.photoFolder;
    env_->dialogs().queueYesNo(true);
    window.nameEdit->setText(QStringLiteral("rossi"));
    window.SalvaP_Click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(env_->dialogs().questions.value(0).text.contains(QStringLiteral("Salvare la firma come rossi-firma.JPG?")));
    QCOMPARE(QDir(window.photoFolder).entryList(QDir::Files), (QStringList{"rossi-firma.JPG", "rossi.JPG"}));
    QCOMPARE(ReadBack(out_->filePath(QStringLiteral("foto/rossi.JPG"))).width, 265);
    QCOMPARE(env_->settings().read(QStringLiteral("InitDirFirma")), out_->filePath(QStringLiteral("foto/rossi-firma.JPG")));
}

void TestOnePass::noFaceCannotBeSaved()
{
    const QString blank = out_->filePath(QStringLiteral("pagina.bmp"));
    FIBITMAP* page = TestPictures::MakePatternBitmap(600, 400);
    QVERIFY(FreeImage_Save(FIF_BMP, page, QFile::encodeName(blank).constData(), 0));
    FreeImage_Unload(page);
    OnePassWindow window(env_->services());
    QVERIFY(window.Load(blank));
    QVERIFY(window.photoCrop.isEmpty());
    window.nameEdit->setText(QStringLiteral("rossi"));
    window.SalvaP_Click();
    QCOMPARE(env_->dialogs().messages.size(), 1);
    QVERIFY(env_->dialogs().messages[0].text.startsWith(QStringLiteral("Manca la foto")));
    QVERIFY(QDir(out_->filePath(QStringLiteral("foto"))).isEmpty());
}

void TestOnePass::correctionComesBack()
{
    OnePassWindow window(env_->services());
    open(window);
    const QRect proposed = window.photoCrop;
    const QImage before = window.photo->picture();
    QRect shownInEditor;
    {
        ModalScript script("AnalizzaFoto", [&](QWidget* open) {
            auto* editor = static_cast<AnalizzaFoto*>(open);
            shownInEditor = QRect(editor->SelLeft + editor->Sh->value(), editor->SelTop + editor->Sv->value(),
                                  editor->SelWidth, editor->SelHeight);
            editor->KeyFrame(Qt::Key_Right, Qt::ShiftModifier);
            QTest::mouseClick(editor->SalvaP, Qt::LeftButton);
        });
        window.FotoP_Click();
        QVERIFY(script.acted());
    }
    QCOMPARE(shownInEditor, proposed);
    QCOMPARE(window.photoCrop, proposed.translated(10, 0));
    QVERIFY(window.photo->picture() != before);
    // A correction writes nothing and asks nothing.
    QVERIFY(env_->dialogs().fileDialogs.isEmpty());
    QVERIFY(QDir(out_->filePath(QStringLiteral("foto"))).isEmpty());
    {
        ModalScript script("AnalizzaFirma", [](QWidget* open) {
            QTest::mouseClick(static_cast<AnalizzaFirma*>(open)->EsciP, Qt::LeftButton);
        });
        const QRect signature = window.signatureCrop;
        window.FirmaP_Click();
        QVERIFY(script.acted());
        QCOMPARE(window.signatureCrop, signature);
    }
}

void TestOnePass::portalGetsThePhotoThatIsSaved()
{
    LoopbackHttpServer server;
    LoopbackPortal::Play(server, LoopbackResponse::Html(LoopbackPortal::FormPage()),
                         LoopbackResponse::Html(LoopbackPortal::AnswerPage(LoopbackPortal::Paragraph(LoopbackPortal::Conforming))));
    env_->settings().write(QStringLiteral("Portale"), server.base());
    OnePassWindow window(env_->services());
    open(window);
    window.TestP_Click();
    QCOMPARE(env_->dialogs().messages.size(), 1);
    QCOMPARE(env_->dialogs().messages[0].text, QString::fromUtf8(LoopbackPortal::Conforming));
    QCOMPARE(env_->dialogs().messages[0].icon, MessageIcon::Information);
    const QList<LoopbackRequest> posts = server.requestsTo("POST", LoopbackPortal::PagePath);
    QCOMPARE(posts.size(), 1);

    // The bytes posted are those of the photo the window then saves.
    window.nameEdit->setText(QStringLiteral("rossi"));
    window.SalvaP_Click();
    const QByteArray saved = TestPictures::ReadBytes(out_->filePath(QStringLiteral("foto/rossi.JPG")));
    QVERIFY(!saved.isEmpty());
    QVERIFY(posts[0].body.contains(saved));
}

void TestOnePass::madeAhead_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("taken");
    QTest::newRow("the page it was made for") << Sample << 170 << true;
    QTest::newRow("another threshold") << Sample << 150 << false;
    QTest::newRow("another page") << QStringLiteral("/altro/modulo.jpg") << 170 << false;
}

void TestOnePass::madeAhead()
{
    QFETCH(QString, source);
    QFETCH(int, threshold);
    QFETCH(bool, taken);
    const QImage page = SourcePicture::Load(Sample).picture;
    ProposalAhead ahead;
    ahead.Start(page, Sample, 170);
    std::optional<ProposalAhead::Ready> ready = ahead.Take(source, threshold);
    QCOMPARE(ready.has_value(), taken);
    QVERIFY(!ahead.Take(Sample, 170)); // taken once, or dropped
    if (!taken)
        return;
    OnePassWindow window(env_->services());
    QVERIFY(window.Load(QStringLiteral("/nessun/file.jpg"), std::move(ready)));
    OnePassWindow loaded(env_->services());
    open(loaded);
    QCOMPARE(window.photoCrop, loaded.photoCrop);
    QCOMPARE(window.signatureCrop, loaded.signatureCrop);
    QCOMPARE(window.photo->picture(), loaded.photo->picture());
}

void TestOnePass::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("taken");
    QTest::newRow("plain") << QStringLiteral("Rossi Mario") << true;
    QTest::newRow("blanks around") << QStringLiteral("  rossi ") << true;
    QTest::newRow("empty") << QStringLiteral("   ") << false;
    QTest::newRow("into a folder") << QStringLiteral("../rossi") << false;
    QTest::newRow("backslash") << QStringLiteral("a\\b") << false;
    QTest::newRow("parent") << QStringLiteral("..") << false;
}

void TestOnePass::names()
{
    QFETCH(QString, name);
    QFETCH(bool, taken);
    QCOMPARE(OnePassWindow::NameProblem(name).isEmpty(), taken);
}

RITRAX_TEST(TestOnePass)
#include "tst_onepass.moc"
