#include "CliCommands.h"
#include "LoopbackHttpServer.h"
#include "PortalCommand.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "../output/LoopbackPortal.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

class TestVerifica : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void verdicts_data();
    void verdicts();
    void noPortal();
    void badAddress_data();
    void badAddress();
    void badCrop();
    void parallelChecks();

private:
    int run(const QStringList& arguments, Cli::Streams& streams);
    QTemporaryDir dir_;
    QString source_;
};

void TestVerifica::initTestCase()
{
    source_ = dir_.filePath(QStringLiteral("page.jpg"));
    QVERIFY(TestPictures::SavePicture(source_, FIF_JPEG, 1200, 1600, QColor(200, 180, 160)));
}

int TestVerifica::run(const QStringList& arguments, Cli::Streams& streams)
{
    return Cli::Run(arguments, streams);
}

void TestVerifica::verdicts_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("printed");
    QTest::newRow("conforming") << LoopbackPortal::Conforming << 0
                                << "La foto risulta essere conforme alle direttive ICAO\n";
    QTest::newRow("rejected, one reason a line")
        << QByteArray("Sfondo non uniforme") + LoopbackPortal::ReasonTail + "Occhi chiusi" + LoopbackPortal::ReasonTail
        // The page's text ends trimmed, so the last reason keeps its tail.
        << int(PortalCommand::Rejected) << QString::fromUtf8("Sfondo non uniforme.\nOcchi chiusi \u2013 acquisire una nuova foto (riferimento "
                                  "circolare 23176/8.3 del 20/10/2016).\n");
}

void TestVerifica::verdicts()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, code);
    QFETCH(QString, printed);
    LoopbackHttpServer server;
    LoopbackPortal::Play(server, LoopbackResponse::Html(LoopbackPortal::FormPage()),
                         LoopbackResponse::Html(LoopbackPortal::AnswerPage(LoopbackPortal::Paragraph(answer))));
    Cli::Streams streams;
    QCOMPARE(run({QStringLiteral("verifica"), source_, QStringLiteral("--ritaglio"), QStringLiteral("100,100,472,570"),
                  QStringLiteral("--portale"), server.base()},
                 streams),
             code);
    QCOMPARE(streams.out, printed);
    QVERIFY(streams.err.isEmpty());
    // The photo went to the portal: 265 x 320 JPEG inside the form's body.
    const auto posts = server.requestsTo("POST", LoopbackPortal::PagePath);
    QCOMPARE(posts.size(), 1);
    QVERIFY(posts.first().body.startsWith(LoopbackPortal::BodyBefore));
}

void TestVerifica::noPortal()
{
    Cli::Streams streams;
    // A port nobody listens on.
    QCOMPARE(run({QStringLiteral("verifica"), source_, QStringLiteral("--ritaglio"), QStringLiteral("0,0,100,120"),
                  QStringLiteral("--portale"), QStringLiteral("http://127.0.0.1:1")},
                 streams),
             int(PortalCommand::CommunicationError));
    // The operator's message, then why, both on standard error.
    QVERIFY(streams.out.isEmpty());
    QCOMPARE(streams.err, QStringLiteral("ritrax-cli: Errore di comunicazione con il portale\n"
                                         "ritrax-cli: il portale non risponde o risponde con un errore\n"));
}

void TestVerifica::badAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("host and port") << "127.0.0.1:8080";
    QTest::newRow("name and port") << "localhost:8080";
    QTest::newRow("other scheme") << "ftp://127.0.0.1";
}

void TestVerifica::badAddress()
{
    QFETCH(QString, address);
    Cli::Streams streams;
    QCOMPARE(run({QStringLiteral("verifica"), source_, QStringLiteral("--ritaglio"), QStringLiteral("0,0,100,120"),
                  QStringLiteral("--portale"), address},
                 streams),
             int(Cli::BadUsage));
    QVERIFY(streams.out.isEmpty());
    QVERIFY(streams.err.contains(address));
}

void TestVerifica::badCrop()
{
    Cli::Streams streams;
    QCOMPARE(run({QStringLiteral("verifica"), source_, QStringLiteral("--ritaglio"), QStringLiteral("1100,0,472,570"),
                  QStringLiteral("--portale"), QStringLiteral("http://127.0.0.1:1")},
                 streams),
             int(Cli::CropOutside));
    QVERIFY(streams.out.isEmpty());
    QVERIFY(!streams.err.isEmpty());
}

// Eight command lines at once, as a batch script runs them: each check has
// its working file to itself, so none fails for another's.
void TestVerifica::parallelChecks()
{
    LoopbackHttpServer server;
    LoopbackPortal::PlayConforming(server);
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < 8; ++i) {
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(QStringLiteral(RITRAX_CLI_PATH),
                           {QStringLiteral("verifica"), source_, QStringLiteral("--ritaglio"),
                            QStringLiteral("100,100,472,570"), QStringLiteral("--portale"), server.base()});
    }
    // The server answers from this thread's event loop.
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(runs.begin(), runs.end(),
                                         [](const auto& p) { return p->state() == QProcess::NotRunning; }),
                             120000);
    for (const auto& p : runs) {
        QCOMPARE(QString::fromUtf8(p->readAllStandardError()), QString());
        QCOMPARE(p->exitCode(), int(PortalCommand::Conforms));
    }
    QCOMPARE(server.requestsTo("POST", LoopbackPortal::PagePath).size(), 8);
}

RITRAX_TEST(TestVerifica)
#include "tst_verifica.moc"
