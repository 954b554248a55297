#include "AnalizzaFoto.h"
#include "FormMain.h"
#include "FramingEditor.h"
#include "ImageControl.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

class TestEditorLaunch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void closingWithoutSavingPutsEverythingBack_data();
    void closingWithoutSavingPutsEverythingBack();
    void vanishedSourceIsReported_data();
    void vanishedSourceIsReported();
    void changedSourceIsShownBeforeTheEditor_data();
    void changedSourceIsShownBeforeTheEditor();
    void savesBecomeThumbnails();
    void busyPhotoEditorDoesNotSave();

private:
    std::unique_ptr<TestEnvironment> env_;
    std::unique_ptr<FormMain> form_;
    QString startDir_;
};

void TestEditorLaunch::init()
{
    startDir_ = QDir::currentPath();
    env_ = std::make_unique<TestEnvironment>();
    const QString source = env_->file(QStringLiteral("source.jpg"));
    QVERIFY(TestPictures::SavePicture(source, FIF_JPEG, 900, 1200, Qt::darkCyan));
    form_ = std::make_unique<FormMain>(env_->services());
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    env_->dialogs().queueOpen(source);
    form_->ScannerP_Click(1);
    QCOMPARE(form_->SourceFile, source);
}

void TestEditorLaunch::cleanup()
{
    form_.reset();
    env_.reset();
    QDir::setCurrent(startDir_);
}

void TestEditorLaunch::closingWithoutSavingPutsEverythingBack_data()
{
    QTest::addColumn<bool>("photo");
    QTest::newRow("photo") << true;
    QTest::newRow("signature") << false;
}

void TestEditorLaunch::closingWithoutSavingPutsEverythingBack()
{
    QFETCH(bool, photo);
    form_->move(123, 45);
    const QPoint where = form_->pos();
    form_->FotoI->setPicture(QImage(265, 320, QImage::Format_RGB32));
    form_->FotoI->show();
    const QImage thumbnail = form_->FotoI->picture();

    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<FramingEditor*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        QCOMPARE(editor->kind().which, photo ? EditorKind::Which::Photo : EditorKind::Which::Signature);
        QVERIFY(form_->MsgL->Visible());
        QCOMPARE(form_->MsgL->Caption(), QStringLiteral("Attendi..."));
        QVERIFY(!form_->CfgP->Enabled() && !form_->FotoP->Enabled());
        QVERIFY(form_->pos().x() > form_->screen()->virtualGeometry().right());
        checked = true;
        QTest::mouseClick(editor->EsciP, Qt::LeftButton);
    });
    if (photo)
        form_->FotoP_Click();
    else
        form_->FirmaP_Click();
    QVERIFY(checked);
    QVERIFY(env_->dialogs().messages.isEmpty()); // the source is as it was taken in
    QCOMPARE(form_->pos(), where);
    QVERIFY(!form_->MsgL->Visible());
    QVERIFY(form_->CfgP->Enabled() && form_->FotoP->Enabled() && form_->FirmaP->Enabled());
    QVERIFY(form_->FotoI->isShownFlag());
    QCOMPARE(form_->FotoI->picture(), thumbnail);
    QVERIFY(!form_->FirmaI->isShownFlag());
}

void TestEditorLaunch::vanishedSourceIsReported_data()
{
    QTest::addColumn<bool>("folderInItsPlace");
    QTest::newRow("deleted") << false;
    QTest::newRow("a folder in its place") << true;
}

void TestEditorLaunch::vanishedSourceIsReported()
{
    QFETCH(bool, folderInItsPlace);
    const QPoint where = form_->pos();
    QVERIFY(QFile::remove(form_->SourceFile));
    if (folderInItsPlace)
        QVERIFY(QDir().mkdir(form_->SourceFile));
    form_->FotoP_Click();
    QCOMPARE(env_->dialogs().messages.size(), 1);
    QCOMPARE(env_->dialogs().messages.first().icon, MessageIcon::Critical);
    QCOMPARE(env_->dialogs().messages.first().text,
             "Il file dell'immagine non esiste più o non si può leggere:\r\n" + form_->SourceFile
                 + "\r\nAcquisire di nuovo l'immagine.");
    QCOMPARE(form_->pos(), where);
    QVERIFY(form_->FotoP->Enabled() && form_->ScannerP[1]->Enabled());
    QVERIFY(!form_->MsgL->Visible());
}

namespace {
// The colour in the middle of the main window's picture of the source.
QColor ShownColour(const FormMain& form)
{
    const QImage& shown = form.Img->picture();
    return shown.pixelColor(shown.width() / 2, shown.height() / 2);
}

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 24;
}
} // namespace

void TestEditorLaunch::changedSourceIsShownBeforeTheEditor_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("laterBySeconds");
    QTest::newRow("another picture, another size") << QSize(1000, 1300) << QColor(Qt::darkRed) << 0;
    QTest::newRow("same size, later") << QSize(900, 1200) << QColor(Qt::darkYellow) << 5;
    // Same length, the time alone tells: noticed all the same.
    QTest::newRow("same picture, touched") << QSize(900, 1200) << QColor(Qt::darkCyan) << 5;
}

void TestEditorLaunch::changedSourceIsShownBeforeTheEditor()
{
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    QFETCH(int, laterBySeconds);
    const QString source = form_->SourceFile;
    form_->FotoI->setPicture(QImage(265, 320, QImage::Format_RGB32));
    form_->FotoI->show();
    const QDateTime taken = QFileInfo(source).lastModified();
    QVERIFY(TestPictures::SavePicture(source, FIF_JPEG, size.width(), size.height(), colour));
    if (laterBySeconds != 0) {
        QFile file(source);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(taken.addSecs(laterBySeconds), QFileDevice::FileModificationTime));
    }

    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<FramingEditor*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        // Told, and shown the new picture, before the editor came up.
        QCOMPARE(env_->dialogs().messages.size(), 1);
        QCOMPARE(env_->dialogs().messages.first().icon, MessageIcon::Warning);
        QCOMPARE(env_->dialogs().messages.first().text,
                 "Il file dell'immagine è cambiato dopo l'acquisizione:\r\n" + source
                     + "\r\nOra è mostrata la nuova immagine: controllare che sia quella giusta.");
        QVERIFY(Near(ShownColour(*form_), colour));
        QVERIFY(!form_->FotoI->isShownFlag()); // made from the old picture
        checked = true;
        QTest::mouseClick(editor->EsciP, Qt::LeftButton);
    });
    form_->FotoP_Click();
    QVERIFY(checked);
}

void TestEditorLaunch::savesBecomeThumbnails()
{
    const QString photo = env_->file(QStringLiteral("rossi"));
    const auto saveIn = [&](const QString& name) {
        QTimer::singleShot(0, [&, name] {
            auto* editor = qobject_cast<FramingEditor*>(QApplication::activeModalWidget());
            QVERIFY(editor);
            env_->dialogs().queueSave(name);
            env_->dialogs().queueYesNo(true);
            QTest::mouseClick(editor->SalvaP, Qt::LeftButton);
        });
    };
    saveIn(photo);
    form_->FotoP_Click();
    QVERIFY(QFile::exists(photo + QStringLiteral(".JPG")));
    QVERIFY(form_->FotoI->isShownFlag());
    // The thumbnail keeps the whole photo and shows it at its own size.
    QCOMPARE(form_->FotoI->picture().size(), QSize(265, 320));
    QCOMPARE(form_->FotoI->size(), QSize(169, 205));

    // The signature save proposes the photo's bare name.
    saveIn(env_->file(QStringLiteral("rossi.jbn")));
    form_->FirmaP_Click();
    QCOMPARE(env_->dialogs().fileDialogs.last().request.fileName, QStringLiteral("rossi"));
    QVERIFY(form_->FirmaI->isShownFlag());
    QCOMPARE(form_->FirmaI->picture().size(), QSize(710, 142));
    QVERIFY(QFile::exists(env_->file(QStringLiteral("rossi.bmp"))));

    // The same folder and name: the signature's JPEG asked before replacing the photo.
    QCOMPARE(env_->dialogs().questions.size(), 1);

    // A second photo, of another part of the picture, replaces the thumbnail.
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<FramingEditor*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        editor->Sh->setValue(editor->Sh->maximum());
        env_->dialogs().queueSave(env_->file(QStringLiteral("verdi")));
        QTest::mouseClick(editor->SalvaP, Qt::LeftButton);
    });
    form_->FotoP_Click();
    QVERIFY(form_->FotoI->isShownFlag());
    QCOMPARE(form_->FotoI->picture().size(), QSize(265, 320));
    QVERIFY(QFile::exists(env_->file(QStringLiteral("verdi.JPG"))));
}

void TestEditorLaunch::busyPhotoEditorDoesNotSave()
{
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<AnalizzaFoto*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        editor->Busy = true;
        editor->SalvaP_Click();
        QVERIFY(env_->dialogs().fileDialogs.size() == 1); // only the intake's
        editor->Busy = false;
        editor->EsciP_Click();
    });
    form_->FotoP_Click();
    QVERIFY(!form_->FotoI->isShownFlag());
}

RITRAX_TEST(TestEditorLaunch)
#include "tst_editorlaunch.moc"
