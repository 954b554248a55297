#include "DesktopOpen.h"
#include "FormMain.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(MessageIcon)

class TestDesktopOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fileFromArguments_data();
    void fileFromArguments();
    void droppedFiles_data();
    void droppedFiles();
    void noDropDuringPreview();

private:
    // Drags and drops the data on the window and lets the intake that follows run.
    static void Drop(FormMain& form, QMimeData& data, TestEnvironment& env);
    QTemporaryDir pictures_;
};

void TestDesktopOpen::initTestCase()
{
    QVERIFY(TestPictures::SavePicture(pictures_.filePath("form.jpg"), FIF_JPEG, 866, 1170, Qt::blue));
    QVERIFY(TestPictures::SavePicture(pictures_.filePath("photo.png"), FIF_PNG, 100, 100, Qt::green));
}

void TestDesktopOpen::fileFromArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file"); // empty: none
    QTest::newRow("nothing") << QStringList{} << "";
    QTest::newRow("relative to the start folder") << QStringList{"../x/./a.jpg"} << "/home/x/a.jpg";
    QTest::newRow("options and empty skipped") << QStringList{"--verbose", "", "-x", "a.jpg"} << "/home/op/a.jpg";
    QTest::newRow("only options") << QStringList{"--help", "-"} << "";
    QTest::newRow("first of several") << QStringList{"/srv/a.jpg", "b.jpg"} << "/srv/a.jpg";
    QTest::newRow("dash name after --") << QStringList{"--", "-a.jpg"} << "/home/op/-a.jpg";
    QTest::newRow("file URL") << QStringList{"file:///srv/la%20foto.jpg"} << "/srv/la foto.jpg";
    QTest::newRow("file URL of localhost") << QStringList{"file://localhost/srv/a.jpg"} << "/srv/a.jpg";
    QTest::newRow("file URL of another machine") << QStringList{"file://server/a.jpg"} << "";
}

void TestDesktopOpen::fileFromArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QCOMPARE(DesktopOpen::FileFromArguments(arguments, QStringLiteral("/home/op")).value_or(QString()), file);
}

void TestDesktopOpen::Drop(FormMain& form, QMimeData& data, TestEnvironment& env)
{
    const QString before = form.SourceFile;
    QDragEnterEvent enter(QPoint(200, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    QDropEvent drop(QPointF(200, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    QCOMPARE(drop.isAccepted(), enter.isAccepted() && data.hasUrls());
    // The file manager waits for the drop: the intake and its messages come after it.
    QCOMPARE(form.SourceFile, before);
    QVERIFY(env.dialogs().messages.isEmpty());
    QCoreApplication::sendPostedEvents();
}

void TestDesktopOpen::droppedFiles_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("taken"); // the source afterwards
    QTest::addColumn<QString>("message");
    QTest::addColumn<MessageIcon>("icon");
    const auto file = [this](const char* name) { return QUrl::fromLocalFile(pictures_.filePath(name)); };
    const QString unknown = QStringLiteral("Formato immagine non riconosciuto");
    QTest::newRow("one JPEG") << QList{file("form.jpg")} << "form.jpg" << "" << MessageIcon::None;
    QTest::newRow("PNG") << QList{file("photo.png")} << "" << unknown << MessageIcon::Critical;
    QTest::newRow("gone meanwhile") << QList{file("gone.jpg")} << "" << unknown << MessageIcon::Critical;
    QTest::newRow("web address") << QList{QUrl("https://example.org/form.jpg")} << ""
                                 << DesktopOpen::NotLocal << MessageIcon::Warning;
    QTest::newRow("two files") << QList{file("form.jpg"), file("photo.png")} << ""
                               << DesktopOpen::SeveralFiles << MessageIcon::Warning;
    QTest::newRow("text only") << QList<QUrl>{} << "" << "" << MessageIcon::None;
}

void TestDesktopOpen::droppedFiles()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, taken);
    QFETCH(QString, message);
    QFETCH(MessageIcon, icon);
    TestEnvironment env;
    FormMain form(env.services());
    QMimeData data;
    data.setText(QStringLiteral("form.jpg"));
    if (!urls.isEmpty())
        data.setUrls(urls);
    Drop(form, data, env);

    // Taken in as by the File button: the source, the editors, the folder of the next File dialog.
    QCOMPARE(form.SourceFile, taken.isEmpty() ? QString() : pictures_.filePath(taken));
    QCOMPARE(form.FotoP->Enabled(), !taken.isEmpty());
    QCOMPARE(env.settings().read(QStringLiteral("InitDirFile")), form.SourceFile);
    QVERIFY(form.ScannerP[1]->Enabled() && form.EsciP->Enabled());
    QCOMPARE(env.dialogs().messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(env.dialogs().messages.first().text, message);
        QCOMPARE(env.dialogs().messages.first().icon, icon);
    }
}

void TestDesktopOpen::noDropDuringPreview()
{
    TestEnvironment env;
    FormMain form(env.services());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(pictures_.filePath("form.jpg"))});
    form.AnteprimaP_Click();
    Drop(form, data, env);
    QVERIFY(form.SourceFile.isEmpty());
    // Back from the preview, the same drop is taken in.
    form.Background_Click();
    Drop(form, data, env);
    QCOMPARE(form.SourceFile, pictures_.filePath("form.jpg"));
}

RITRAX_TEST(TestDesktopOpen)
#include "tst_desktopopen.moc"
