#include "../output/LoopbackPortal.h"

#include "AnalizzaFoto.h"
#include "ImageControl.h"
#include "PictureView.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "WebPage.h"
#include "chameleonButton.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(MessageIcon)

namespace Portal = LoopbackPortal;

namespace {

const QString CommunicationError = QStringLiteral("Errore di comunicazione con il portale");

bool HoldsPhoto(FIBITMAP* bitmap)
{
    return bitmap && FreeImage_GetWidth(bitmap) == 265 && FreeImage_GetHeight(bitmap) == 320
        && FreeImage_GetDotsPerMeterX(bitmap) == 7874 && FreeImage_GetDotsPerMeterY(bitmap) == 7874;
}

} // namespace

class TestPortalButton : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void outcomes_data();
    void outcomes();
    void everythingElseWaitsForTheCheck();
    void checkFromTheButtonThenCancel();
    void waitForBrowser_data();
    void waitForBrowser();

private:
    // A photo editor loaded on the picture, its portal at base, its waits short.
    void open(const QString& base, const QString& workFolder = QString())
    {
        Services services = env_->services();
        if (!workFolder.isEmpty())
            services.folders.workFolder = workFolder;
        editor_ = std::make_unique<AnalizzaFoto>(services);
        editor_->SourcePath = picture_;
        QVERIFY(editor_->Form_Load());
        // The photo check queued by the load runs now, not inside a wait
        // that a test times.
        QCoreApplication::processEvents();
        editor_->browserWaits = {20, 10, 1000};
        // Written only now: the address is read at each check.
        env_->settings().write(QStringLiteral("Portale"), base);
    }
    bool photoFileExists() const
    {
        return !QDir(env_->services().folders.workFolder).entryList({QStringLiteral("_foto_*.jpg")}).isEmpty();
    }

    QTemporaryDir dir_;
    QString picture_;
    std::unique_ptr<TestEnvironment> env_;
    std::unique_ptr<AnalizzaFoto> editor_;
};

void TestPortalButton::initTestCase()
{
    picture_ = dir_.filePath(QStringLiteral("volto.bmp"));
    FIBITMAP* pattern = TestPictures::MakePatternBitmap(300, 400);
    QVERIFY(FreeImage_Save(FIF_BMP, pattern, QFile::encodeName(picture_).constData(), 0));
    FreeImage_Unload(pattern);
}

void TestPortalButton::init()
{
    env_ = std::make_unique<TestEnvironment>();
}

void TestPortalButton::cleanup()
{
    if (editor_ && editor_->ResultBitmap)
        FreeImage_Unload(editor_->ResultBitmap);
    editor_.reset();
}

void TestPortalButton::outcomes_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("where"); // "server", "refused", or a missing work folder
    QTest::addColumn<QString>("shown");
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<bool>("photo");

    const QByteArray form = Portal::FormPage();
    const QString sentence = QStringLiteral("La foto risulta essere conforme alle direttive ICAO");
    const QByteArray reasons = "Sfondo non uniforme" + Portal::ReasonTail + "Occhi chiusi" + Portal::ReasonTail
        + "Ombre sul volto";
    QTest::newRow("conforming") << form << Portal::Conforming << "server" << sentence << MessageIcon::Information
                                << true;
    QTest::newRow("no-break space is a rejection") << form << Portal::Conforming + "&nbsp;" << "server"
                                                   << sentence + QChar(0xA0) << MessageIcon::Critical << true;
    QTest::newRow("reasons each on a line")
        << form << reasons << "server"
        << QStringLiteral("Sfondo non uniforme.\r\nOcchi chiusi.\r\nOmbre sul volto") << MessageIcon::Critical
        << true;
    QTest::newRow("no form") << QByteArray("<html><body>Manutenzione</body></html>") << Portal::Conforming
                             << "server" << CommunicationError << MessageIcon::Critical << false;
    QTest::newRow("answer never comes") << form << QByteArray() << "server" << CommunicationError
                                        << MessageIcon::Critical << true;
    QTest::newRow("refused connection") << form << Portal::Conforming << "refused" << CommunicationError
                                        << MessageIcon::Critical << false;
    QTest::newRow("work folder missing") << form << Portal::Conforming << "assente"
                                         << QStringLiteral("Impossibile scrivere il file:\r\n%1/assente/_foto_.jpg")
                                         << MessageIcon::Critical << true;
}

void TestPortalButton::outcomes()
{
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, answer);
    QFETCH(QString, where);
    QFETCH(QString, shown);
    QFETCH(MessageIcon, icon);
    QFETCH(bool, photo);

    LoopbackHttpServer server;
    LoopbackResponse answerPage = LoopbackResponse::Html(Portal::AnswerPage(Portal::Paragraph(answer)));
    answerPage.never = answer.isEmpty();
    Portal::Play(server, LoopbackResponse::Html(page), answerPage);
    const QString missingFolder = dir_.filePath(where);
    if (where == u"refused")
        open(QStringLiteral("http://127.0.0.1:%1").arg(Portal::ClosedPort()));
    else if (where == u"server")
        open(server.base());
    else
        open(server.base(), missingFolder);
    if (answerPage.never)
        editor_->browserWaits.msPerSecond = 20; // 30 "seconds": 600 ms
    QCOMPARE(editor_->wb->url(), QUrl(QStringLiteral("about:blank")));

    bool busyAtMessage = false, panelHiddenAtMessage = false;
    env_->dialogs().onPrompt = [&] {
        busyAtMessage = editor_->Busy;
        panelHiddenAtMessage = editor_->MsgL->isHidden();
    };
    editor_->TestP_Click();

    QCOMPARE(env_->dialogs().messages.size(), 1);
    const RecordedMessage& message = env_->dialogs().messages.first();
    QCOMPARE(message.text, shown.contains(u"%1") ? shown.arg(dir_.path()) : shown);
    QCOMPARE(message.icon, icon);
    QCOMPARE(message.title, QStringLiteral("Ritrax"));
    QVERIFY(busyAtMessage);
    QVERIFY(panelHiddenAtMessage);
    QVERIFY(!editor_->Busy);
    QVERIFY(editor_->MsgL->isHidden());
    QCOMPARE(HoldsPhoto(editor_->ResultBitmap), photo);
    QVERIFY(!photoFileExists());
    QVERIFY(!QFile::exists(QDir(missingFolder).filePath(QStringLiteral("_foto_.jpg"))));
}

void TestPortalButton::everythingElseWaitsForTheCheck()
{
    LoopbackHttpServer server;
    Portal::PlayConforming(server);
    open(server.base());
    FIBITMAP* earlier = TestPictures::MakeBitmap(8, 8, 24, Qt::white);
    editor_->ResultBitmap = earlier;
    env_->dialogs().queueSave(dir_.filePath(QStringLiteral("salvata.jpg")));
    QSignalSpy closed(editor_.get(), &QDialog::finished);
    const QImage crop = editor_->Imgd->picture();
    const QPoint pan = editor_->Pbi->pos();

    // While the portal handles the requests the editor is waiting for.
    QList<bool> busy, panel;
    bool closable = true;
    const auto pressEverything = [&] {
        busy << editor_->Busy;
        panel << !editor_->MsgL->isHidden();
        editor_->TestP_Click();
        editor_->SalvaP_Click();
        editor_->EsciP_Click();
        closable = closable && editor_->close();
        editor_->Pbi_MouseDown(1, 0, editor_->SelLeft + 20, editor_->SelTop + 20);
        editor_->Sh->setValue(3);
        editor_->Sv->setValue(4);
    };
    const LoopbackResponse form = LoopbackResponse::Html(Portal::FormPage()).withHeader(
        "Set-Cookie", Portal::SessionCookie + "; Path=/");
    server.on("GET", Portal::PagePath, [&](const LoopbackRequest&) {
        pressEverything();
        return form;
    });
    server.on("POST", Portal::PagePath, [&](const LoopbackRequest& request) {
        pressEverything();
        return Portal::WithCookie(Portal::SessionCookie, request, LoopbackResponse::Redirect(303, Portal::AnswerPath));
    });

    editor_->TestP_Click();

    QCOMPARE(busy, QList<bool>({true, true}));
    QCOMPARE(panel, QList<bool>({true, true}));
    QVERIFY(!closable);
    QCOMPARE(server.requestsTo("GET", Portal::PagePath).size(), 1);
    QCOMPARE(server.requestsTo("POST", Portal::PagePath).size(), 1);
    QVERIFY(env_->dialogs().fileDialogs.isEmpty());
    QCOMPARE(closed.count(), 0);
    QCOMPARE(int(editor_->DragMode), 0);
    QCOMPARE(editor_->Pbi->pos(), pan);
    QCOMPARE(editor_->Imgd->picture(), crop);
    QCOMPARE(env_->dialogs().messages.size(), 1);
    QCOMPARE(env_->dialogs().messages.first().icon, MessageIcon::Information);
    QVERIFY(editor_->ResultBitmap != earlier); // released and replaced by the photo
    QVERIFY(HoldsPhoto(editor_->ResultBitmap));
    QVERIFY(!photoFileExists());
}

void TestPortalButton::checkFromTheButtonThenCancel()
{
    LoopbackHttpServer server;
    Portal::PlayConforming(server);
    env_->settings().write(QStringLiteral("Portale"), server.base());
    AnalizzaFoto editor(env_->services());
    editor.browserWaits = {20, 10, 1000};
    bool openAfterCheck = false;
    // The operator presses Annulla and Escape while the page loads.
    const LoopbackResponse form = LoopbackResponse::Html(Portal::FormPage()).withHeader(
        "Set-Cookie", Portal::SessionCookie + "; Path=/");
    server.on("GET", Portal::PagePath, [&](const LoopbackRequest&) {
        QTest::mouseClick(editor.EsciP, Qt::LeftButton);
        QTest::keyClick(&editor, Qt::Key_Escape);
        return form;
    });
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(editor.TestP, Qt::LeftButton);
        openAfterCheck = editor.isVisible();
        QTest::mouseClick(editor.EsciP, Qt::LeftButton);
    });
    FIBITMAP* returned = editor.Go(picture_, nullptr);
    const auto release = qScopeGuard([returned] { FreeImage_Unload(returned); });
    QVERIFY(openAfterCheck);
    QCOMPARE(env_->dialogs().messages.size(), 1);
    QCOMPARE(env_->dialogs().messages.first().text, QStringLiteral("La foto risulta essere conforme alle direttive ICAO"));
    // Leaving without saving hands back the photo the check made.
    QVERIFY(HoldsPhoto(returned));
}

void TestPortalButton::waitForBrowser_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("pageDelay"); // -1: the page never comes; -2: the empty page, already there
    QTest::addColumn<bool>("complete");
    QTest::addColumn<int>("atLeast"); // milliseconds
    QTest::newRow("page already complete") << 3.0 << -2 << true << 100;
    QTest::newRow("page within the deadline") << 2.0 << 300 << true << 300;
    QTest::newRow("0.4 s: no time after the pause") << 0.4 << -1 << false << 100;
    QTest::newRow("0.6 s: one second") << 0.6 << -1 << false << 100 + 400;
    QTest::newRow("2.5 s: two seconds") << 2.5 << -1 << false << 100 + 800;
}

void TestPortalButton::waitForBrowser()
{
    QFETCH(double, seconds);
    QFETCH(int, pageDelay);
    QFETCH(bool, complete);
    QFETCH(int, atLeast);
    LoopbackHttpServer server;
    LoopbackResponse page = LoopbackResponse::Html("<p>pagina</p>");
    page.never = pageDelay == -1;
    page.delayMs = qMax(0, pageDelay);
    server.on("GET", "/pagina", page);
    open(server.base());
    // A second lasts 400 ms here; the settling pause 100 ms.
    editor_->browserWaits = {100, 50, 400};
    if (pageDelay != -2)
        editor_->wb->Navigate(server.url(QStringLiteral("/pagina")));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(editor_->WaitForBrowser(seconds), complete);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= atLeast, qPrintable(QString::number(elapsed)));
    // Rounded as whole seconds, not cut short or stretched to the next one.
    QVERIFY2(elapsed < atLeast + 350, qPrintable(QString::number(elapsed)));
}

RITRAX_TEST(TestPortalButton)
#include "tst_portalbutton.moc"
