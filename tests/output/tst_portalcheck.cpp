#include "LoopbackPortal.h"
#include "MFreeImage.h"
#include "OutputChecks.h"
#include "PortalCheck.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "WebPage.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTest>

using PortalCheck::Outcome;
using Kind = PortalCheck::Outcome::Kind;
using Failure = PortalCheck::Outcome::Failure;
namespace Portal = LoopbackPortal;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(PortalCheck::Outcome::Kind)
Q_DECLARE_METATYPE(PortalCheck::Outcome::Failure)
Q_DECLARE_METATYPE(LoopbackResponse)
Q_DECLARE_METATYPE(MessageIcon)

namespace {

// Short seconds for the waits: the page gets 750 ms, the answer 1.5 s.
constexpr int MsPerSecond = 50;

QImage Crop()
{
    QImage crop(472, 570, QImage::Format_RGB32);
    crop.fill(QColor(190, 140, 110));
    for (int y = 100; y < 300; ++y)
        for (int x = 150; x < 320; ++x)
            crop.setPixelColor(x, y, QColor(60, 40, 30));
    return crop;
}

// Every byte value, the boundary and CR LF among them: the photo part must
// come out exactly as it went in.
QByteArray AwkwardBytes(int size)
{
    const QByteArray seed = "\r\n--QuenvAaBbCcXxYyZz--\r\n" + QByteArray(1, '\0');
    QByteArray bytes;
    for (int i = 0; bytes.size() < size; ++i)
        bytes.append(i % 300 < 256 ? char(i % 300) : seed[i % seed.size()]);
    return bytes;
}

QByteArray PhotoPart(const QByteArray& body)
{
    if (!body.startsWith(Portal::BodyBefore) || !body.endsWith(Portal::BodyAfter))
        return {};
    return body.mid(Portal::BodyBefore.size(), body.size() - Portal::BodyBefore.size() - Portal::BodyAfter.size());
}

QByteArray JpegOf(FIBITMAP* photo)
{
    QByteArray bytes;
    MFreeImage::SaveBitmapToBytes(FIF_JPEG, photo, bytes, 0, false);
    return bytes;
}

} // namespace

class TestPortalCheck : public QObject {
    Q_OBJECT
private slots:
    void init();
    void body_data();
    void body();
    void verdict_data();
    void verdict();
    void base_data();
    void base();
    void exactRequest();
    void portalVariants_data();
    void portalVariants();
    void boundedPages_data();
    void boundedPages();
    void unreachablePortal_data();
    void unreachablePortal();
    void photoThatCannotBeWritten();

private:
    Outcome run(const QString& base, FIBITMAP*& result, int msPerSecond = MsPerSecond)
    {
        return PortalCheck::Run(context(base, work_->path(), msPerSecond), Crop(), result);
    }
    PortalCheck::Context context(const QString& base, const QString& workFolder, int msPerSecond = MsPerSecond)
    {
        return {*page_, base, workFolder, PortalCheck::EventLoopWait(*page_, msPerSecond)};
    }
    QStringList workFiles() const { return QDir(work_->path()).entryList(QDir::Files | QDir::Hidden); }

    // Fresh for every test: no file and no cookie carried over.
    std::unique_ptr<QTemporaryDir> work_;
    std::unique_ptr<WebPage> page_;
};

void TestPortalCheck::init()
{
    work_ = std::make_unique<QTemporaryDir>();
    page_ = std::make_unique<WebPage>();
}

void TestPortalCheck::body_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty photo") << 0;
    QTest::newRow("one byte") << 1;
    QTest::newRow("20,000-byte JPEG") << 20000;
}

void TestPortalCheck::body()
{
    QFETCH(int, size);
    QCOMPARE(Portal::BodyBefore.size(), 226);
    QCOMPARE(Portal::BodyAfter.size(), 25);
    const QByteArray photo = AwkwardBytes(size);
    const QByteArray body = PortalCheck::MultipartBody(photo);
    QCOMPARE(body.size(), 251 + size);
    QVERIFY(body.startsWith("--QuenvAaBbCcXxYyZz\r\n"));
    QVERIFY(body.endsWith("--\r\n"));
    QCOMPARE(body, Portal::BodyBefore + photo + Portal::BodyAfter);
}

void TestPortalCheck::verdict_data()
{
    const QString tail = QString::fromUtf8(Portal::ReasonTail);
    const QString conforming = PortalCheck::ConformitySentence;
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<MessageIcon>("icon");
    QTest::newRow("conforming") << conforming << conforming << MessageIcon::Information;
    QTest::newRow("trailing no-break space") << conforming + QChar(0xA0) << conforming + QChar(0xA0)
                                            << MessageIcon::Critical;
    QTest::newRow("trailing space") << conforming + u' ' << conforming + u' ' << MessageIcon::Critical;
    QTest::newRow("other case") << conforming.toLower() << conforming.toLower() << MessageIcon::Critical;
    QTest::newRow("reasons each on a line")
        << u"Il volto non è centrato"_s + tail + u"Sfondo non uniforme"_s + tail + u"Occhi chiusi"_s
        << u"Il volto non è centrato.\r\nSfondo non uniforme.\r\nOcchi chiusi"_s << MessageIcon::Critical;
    // The page's text is trimmed, so the last reason keeps its tail.
    QTest::newRow("last reason at the end")
        << u"Occhi chiusi"_s + tail + u"Ombre sul volto"_s + tail.chopped(1)
        << u"Occhi chiusi.\r\nOmbre sul volto"_s + tail.chopped(1) << MessageIcon::Critical;
    const QString hyphen = QString(tail).replace(QChar(0x2013), u'-');
    QTest::newRow("hyphen, not en dash") << u"Occhi chiusi"_s + hyphen << u"Occhi chiusi"_s + hyphen
                                         << MessageIcon::Critical;
}

void TestPortalCheck::verdict()
{
    QFETCH(QString, verdict);
    QFETCH(QString, shown);
    QFETCH(MessageIcon, icon);
    const PortalCheck::VerdictMessage message = PortalCheck::TreatVerdict(verdict);
    QCOMPARE(message.text, shown);
    QCOMPARE(message.icon, icon);
    QCOMPARE(message.conforms, icon == MessageIcon::Information);
}

void TestPortalCheck::base_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("page");
    const QString path = PortalCheck::PagePath;
    QTest::newRow("not set") << QString() << u"https://www.ilportaledellautomobilista.it"_s + path;
    QTest::newRow("blank") << u"  "_s << u"https://www.ilportaledellautomobilista.it"_s + path;
    QTest::newRow("with port") << u"http://127.0.0.1:8080"_s << u"http://127.0.0.1:8080"_s + path;
    QTest::newRow("trailing slash, blanks") << u" http://127.0.0.1:8080/ "_s << u"http://127.0.0.1:8080"_s + path;
}

void TestPortalCheck::base()
{
    QFETCH(QString, setting);
    QFETCH(QString, page);
    QCOMPARE(PortalCheck::PageAddress(PortalCheck::PortalBase(setting)), QUrl(page));
}

void TestPortalCheck::exactRequest()
{
    LoopbackHttpServer server;
    Portal::PlayConforming(server);
    FIBITMAP* result = nullptr;
    const Outcome outcome = run(server.base(), result);
    const auto release = qScopeGuard([&result] { FreeImage_Unload(result); });
    QCOMPARE(outcome.kind, Kind::Verdict);
    QCOMPARE(outcome.verdict, PortalCheck::ConformitySentence);

    QCOMPARE(server.requests().size(), 3);
    QCOMPARE(server.requests()[0].target, Portal::PagePath);
    const LoopbackRequest& post = server.requests()[1];
    QCOMPARE(post.method, QByteArray("POST"));
    QCOMPARE(post.target, Portal::PostTarget);
    QCOMPARE(post.headerCount("Content-Type"), 1);
    QCOMPARE(post.header("Content-Type"), QByteArray("multipart/form-data; boundary=QuenvAaBbCcXxYyZz"));
    QCOMPARE(post.header("Cookie"), Portal::SessionCookie);
    QCOMPARE(post.header("Content-Length"), QByteArray::number(post.body.size()));
    QCOMPARE(server.requests()[2].header("Cookie"), Portal::SessionCookie);

    // The photo sent is the one left in the result, byte for byte the JPEG
    // the save writes: 265 x 320 at 200 DPI.
    QVERIFY(result);
    QCOMPARE(QSize(int(FreeImage_GetWidth(result)), int(FreeImage_GetHeight(result))), QSize(265, 320));
    QCOMPARE(FreeImage_GetDotsPerMeterX(result), 7874u);
    const QByteArray jpeg = PhotoPart(post.body);
    QCOMPARE(jpeg, JpegOf(result));
    QCOMPARE(post.body.size(), 251 + jpeg.size());
    const Density density = JfifDensity(jpeg);
    QCOMPARE(density.units, 1);
    QCOMPARE(QPoint(density.x, density.y), QPoint(200, 200));
    QVERIFY(workFiles().isEmpty());
}

void TestPortalCheck::portalVariants_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<int>("pageStatus");
    QTest::addColumn<QByteArray>("postPath");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("answerStatus");
    QTest::addColumn<int>("answerDelay"); // -1: never
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<int>("posts");
    QTest::addColumn<Failure>("failure");

    const QByteArray form = Portal::FormPage();
    const QByteArray path = Portal::PagePath;
    const QByteArray conforming = Portal::AnswerPage(Portal::Paragraph(Portal::Conforming));
    const QString sentence = PortalCheck::ConformitySentence;
    QTest::newRow("no-break space kept")
        << form << 200 << path << Portal::AnswerPage(Portal::Paragraph(Portal::Conforming + "&nbsp;")) << 200 << 0
        << Kind::Verdict << sentence + QChar(0xA0) << 1 << Failure::None;
    QTest::newRow("first paragraph only")
        << form << 200 << path
        << Portal::AnswerPage(Portal::Paragraph("Occhi chiusi" + Portal::ReasonTail + "Ombre")
                              + Portal::Paragraph(Portal::Conforming))
        << 200 << 0 << Kind::Verdict << QString::fromUtf8("Occhi chiusi" + Portal::ReasonTail + "Ombre") << 1
        << Failure::None;
    QTest::newRow("relative action") << Portal::FormPage("action=\"esito/invio\"") << 200
                                     << QByteArray("/web/portale-automobilista/esito/invio") << conforming << 200
                                     << 0 << Kind::Verdict << sentence << 1 << Failure::None;
    QTest::newRow("slow answer inside the deadline")
        << form << 200 << path << conforming << 200 << 500 << Kind::Verdict << sentence << 1 << Failure::None;
    QTest::newRow("no form") << QByteArray("<html><body><p>Servizio non disponibile</p></body></html>") << 200
                             << path << conforming << 200 << 0 << Kind::CommunicationError << QString() << 0
        << Failure::NoForm;
    QTest::newRow("no action") << Portal::FormPage("name=\"verifica\"") << 200 << path << conforming << 200 << 0
                               << Kind::CommunicationError << QString() << 0 << Failure::NoForm;
    QTest::newRow("page 500") << form << 500 << path << conforming << 200 << 0 << Kind::CommunicationError
                              << QString() << 0 << Failure::Unreachable;
    QTest::newRow("no elenco-1") << form << 200 << path
                                 << QByteArray("<html><body><p>") + Portal::Conforming + "</p></body></html>" << 200
                                 << 0 << Kind::CommunicationError << QString() << 1 << Failure::NoVerdict;
    QTest::newRow("no P in elenco-1") << form << 200 << path
                                      << Portal::AnswerPage("<span>" + Portal::Conforming + "</span>") << 200 << 0
                                      << Kind::CommunicationError << QString() << 1 << Failure::NoVerdict;
    QTest::newRow("answer 500") << form << 200 << path << conforming << 500 << 0 << Kind::CommunicationError
                                << QString() << 1 << Failure::Unreachable;
    QTest::newRow("answer never comes") << form << 200 << path << conforming << 200 << -1
                                        << Kind::CommunicationError << QString() << 1 << Failure::NoPageInTime;
}

void TestPortalCheck::portalVariants()
{
    QFETCH(QByteArray, form);
    QFETCH(int, pageStatus);
    QFETCH(QByteArray, postPath);
    QFETCH(QByteArray, answer);
    QFETCH(int, answerStatus);
    QFETCH(int, answerDelay);
    QFETCH(Kind, kind);
    QFETCH(QString, verdict);
    QFETCH(int, posts);
    QFETCH(Failure, failure);

    LoopbackHttpServer server;
    LoopbackResponse page = LoopbackResponse::Html(form);
    page.status = pageStatus;
    LoopbackResponse answerPage = LoopbackResponse::Html(answer);
    answerPage.status = answerStatus;
    answerPage.never = answerDelay < 0;
    answerPage.delayMs = qMax(0, answerDelay);
    Portal::Play(server, page, answerPage, postPath);

    FIBITMAP* earlier = TestPictures::MakeBitmap(8, 8, 24, Qt::white);
    FIBITMAP* result = earlier;
    const Outcome outcome = run(server.base(), result);
    const auto release = qScopeGuard([&result] { FreeImage_Unload(result); });
    QCOMPARE(outcome.kind, kind);
    QCOMPARE(outcome.failure, failure);
    QCOMPARE(outcome.verdict, verdict);
    QCOMPARE(server.requestsTo("POST", postPath).size(), posts);
    // The photo replaces the earlier result once the form is there, not before.
    QVERIFY(result);
    if (posts == 0) {
        QVERIFY(result == earlier);
    } else {
        QCOMPARE(FreeImage_GetWidth(result), 265u);
        QCOMPARE(FreeImage_GetHeight(result), 320u);
    }
    QVERIFY(workFiles().isEmpty());
    if (answerPage.never) // the late answer is no longer waited for
        QTRY_VERIFY(server.requests().last().abandoned);
}

void TestPortalCheck::boundedPages_data()
{
    QTest::addColumn<LoopbackResponse>("page");
    QTest::addColumn<LoopbackResponse>("answer");
    QTest::addColumn<int>("msPerSecond");
    QTest::addColumn<Failure>("failure");
    const LoopbackResponse form = LoopbackResponse::Html(Portal::FormPage());
    const LoopbackResponse conforming
        = LoopbackResponse::Html(Portal::AnswerPage(Portal::Paragraph(Portal::Conforming)));
    // Each level an error for the parser: an end tag with nothing to close.
    const QByteArray errors = QByteArray("<div></p>").repeated(15000);
    // Just inside the size bound, and an hour of parsing.
    const QByteArray deepest = QByteArray("<div>").repeated(int(WebPage::MaximumPageBytes / 5) - 1000);
    LoopbackResponse endless = LoopbackResponse::Html(QByteArray("<div>").repeated(20000));
    endless.endless = true;
    LoopbackResponse announced = LoopbackResponse::Html("<html>").withHeader("Content-Length", "104857600");
    announced.stallAfterBytes = 200;

    QTest::newRow("deep page") << LoopbackResponse::Html(errors + Portal::FormPage()) << conforming << 1000
                               << Failure::None;
    QTest::newRow("parse past the deadline") << LoopbackResponse::Html(deepest + Portal::FormPage()) << conforming
                                             << MsPerSecond << Failure::NoPageInTime;
    QTest::newRow("page without end") << endless << conforming << 1000 << Failure::PageTooLarge;
    QTest::newRow("answer without end") << form << endless << 1000 << Failure::PageTooLarge;
    QTest::newRow("100 MB announced") << announced << conforming << 1000 << Failure::PageTooLarge;
}

// Pages that once cost minutes and gigabytes: each check ends with its
// outcome, and no parse goes on after it.
void TestPortalCheck::boundedPages()
{
    QFETCH(LoopbackResponse, page);
    QFETCH(LoopbackResponse, answer);
    QFETCH(int, msPerSecond);
    QFETCH(Failure, failure);
    LoopbackHttpServer server;
    Portal::Play(server, page, answer);
    FIBITMAP* result = nullptr;
    const Outcome outcome = run(server.base(), result, msPerSecond);
    const auto release = qScopeGuard([&result] { FreeImage_Unload(result); });
    QCOMPARE(outcome.failure, failure);
    QCOMPARE(outcome.kind, failure == Failure::None ? Kind::Verdict : Kind::CommunicationError);
    QVERIFY(workFiles().isEmpty());
    QVERIFY(QThreadPool::globalInstance()->waitForDone(120000));
}

void TestPortalCheck::unreachablePortal_data()
{
    QTest::addColumn<bool>("tls");
    QTest::newRow("refused connection") << false;
    QTest::newRow("untrusted certificate") << true;
}

void TestPortalCheck::unreachablePortal()
{
    QFETCH(bool, tls);
    LoopbackHttpServer secure(LoopbackHttpServer::Transport::Tls);
    Portal::PlayConforming(secure);
    const QString base = tls ? secure.base() : QStringLiteral("http://127.0.0.1:%1").arg(Portal::ClosedPort());
    FIBITMAP* result = nullptr;
    const Outcome outcome = run(base, result);
    QCOMPARE(outcome.kind, Kind::CommunicationError);
    QVERIFY(!outcome.detail.isEmpty());
    QVERIFY(result == nullptr);
    QVERIFY(secure.requests().isEmpty());
    QVERIFY(workFiles().isEmpty());
}

void TestPortalCheck::photoThatCannotBeWritten()
{
    LoopbackHttpServer server;
    Portal::PlayConforming(server);
    // A working file left behind by an older run is neither sent nor touched.
    const QString stale = work_->filePath(PortalCheck::TemporaryPhotoName);
    QVERIFY(TestPictures::WriteBytes(stale, "\xFF\xD8 stale photo"));
    Outcome outcome = PortalCheck::Run(context(server.base(), work_->path()), nullptr);
    QCOMPARE(outcome.kind, Kind::PhotoNotWritten);
    QVERIFY(QFileInfo(outcome.photoFile).fileName().startsWith(u"_foto_"_s));
    QVERIFY(outcome.photoFile.endsWith(u".jpg"_s));
    QCOMPARE(QFileInfo(outcome.photoFile).absolutePath(), QDir(work_->path()).absolutePath());
    QVERIFY(outcome.photoFile != stale);
    QCOMPARE(workFiles(), QStringList{PortalCheck::TemporaryPhotoName});
    QVERIFY(QFile::remove(stale));

    FIBITMAP* photo = TestPictures::MakeBitmap(265, 320, 24, Qt::gray);
    const auto release = qScopeGuard([photo] { FreeImage_Unload(photo); });
    const QString missing = work_->filePath(QStringLiteral("assente"));
    outcome = PortalCheck::Run(context(server.base(), missing), photo);
    QCOMPARE(outcome.kind, Kind::PhotoNotWritten);
    QCOMPARE(outcome.photoFile, QDir(missing).filePath(QStringLiteral("_foto_.jpg")));
    QVERIFY(server.requestsTo("POST", Portal::PagePath).isEmpty());

    // The same photo from a folder that takes it goes out unchanged.
    outcome = PortalCheck::Run(context(server.base(), work_->path()), photo);
    QCOMPARE(outcome.kind, Kind::Verdict);
    const QList<LoopbackRequest> posts = server.requestsTo("POST", Portal::PagePath);
    QCOMPARE(posts.size(), 1);
    QCOMPARE(PhotoPart(posts[0].body), JpegOf(photo));
    QVERIFY(workFiles().isEmpty());
}

RITRAX_TEST(TestPortalCheck)
#include "tst_portalcheck.moc"
