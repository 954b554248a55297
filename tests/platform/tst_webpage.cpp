#include "LoopbackHttpServer.h"
#include "WebPage.h"

#include "TestRegistry.h"

#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTest>

class TestWebPage : public QObject {
    Q_OBJECT
private slots:
    void portalRoundTrip_data();
    void portalRoundTrip();
    void postHeaderText_data();
    void postHeaderText();
    void newPageReplacesTheOldDocument();
    void baseElementGuidesResolution();
    void answerThatNeverComes();
    void answerThatStopsHalfWay();
    void slowPageCompletesLater();
    void navigatingAgainAbandonsTheRunningLoad();
    void httpErrors_data();
    void httpErrors();
    void refusedConnection();
    void untrustedCertificate();
    void trustedCertificateAndNoDowngrade();
    void pageInWindows1252_data();
    void pageInWindows1252();
    void aboutBlank();
};

namespace {

const QByteArray PagePath = "/web/portale-automobilista/verifica-foto-patente-professionista";
const QByteArray AnswerPath = "/web/portale-automobilista/esito";
const QByteArray Boundary = "QuenvAaBbCcXxYyZz";
const QByteArray SessionCookie = "JSESSIONID=4f1c2a9e";

const QByteArray FormPage
    = "<!DOCTYPE html><html><head><title>Verifica foto</title></head><body>\n"
      "<form id=\"VerificaImmagineIcao\" method=\"post\" enctype=\"multipart/form-data\"\n"
      "  action=\"" + PagePath + "?p_p_id=verifica&amp;p_p_lifecycle=1\">\n"
      "<input type=\"file\" name=\"upload\"><input type=\"submit\" value=\"Verifica Foto\"></form>\n"
      "</body></html>";

const QByteArray Verdict = "La foto risulta essere conforme alle direttive ICAO";

const QByteArray AnswerPage = "<html><body><h2>Esito della verifica</h2>\n<div id=\"elenco-1\">\n  <p>  "
    + Verdict + "\n  </p>\n  <p>secondo</p>\n</div></body></html>";

// A body with every byte value, CR LF and NUL included, so that any
// conversion on the way shows.
QByteArray BinaryBody()
{
    QByteArray photo;
    for (int round = 0; round < 40; ++round) {
        for (int byte = 0; byte < 256; ++byte)
            photo.append(char(byte));
    }
    return "--" + Boundary + "\r\nContent-Disposition: form-data; name=\"upload\"; filename=\"foto.jpg\"\r\n"
               "Content-Type: image/jpeg\r\n\r\n"
        + photo + "\r\n--" + Boundary + "--\r\n";
}

// The loopback portal: the page with the form sets a session cookie; the
// form's target wants it and sends the browser on to the answer page.
void PlayPortal(LoopbackHttpServer& server, int redirectStatus)
{
    server.on("GET", PagePath,
              LoopbackResponse::Html(FormPage).withHeader("Set-Cookie", SessionCookie + "; Path=/; HttpOnly"));
    server.on("POST", PagePath, [redirectStatus](const LoopbackRequest& request) {
        if (!request.header("Cookie").contains(SessionCookie))
            return LoopbackResponse::Status(403);
        return LoopbackResponse::Redirect(redirectStatus, AnswerPath);
    });
    const auto answer = [](const LoopbackRequest& request) {
        return request.header("Cookie").contains(SessionCookie) ? LoopbackResponse::Html(AnswerPage)
                                                                : LoopbackResponse::Status(403);
    };
    server.on("GET", AnswerPath, answer);
    server.on("POST", AnswerPath, answer);
}

bool Complete(const WebPage& page)
{
    return page.ReadyState() == WebPage::Complete && !page.Busy();
}

QString FirstParagraphOf(const WebDocument& document, QStringView id)
{
    return document.GetElementById(id).GetElementsByTagName(u"P").value(0).InnerText();
}

// A port of 127.0.0.1 on which nothing listens.
quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

void TestWebPage::portalRoundTrip_data()
{
    QTest::addColumn<int>("redirectStatus");
    QTest::addColumn<QByteArray>("answerMethod");
    QTest::newRow("303") << 303 << QByteArray("GET");
    QTest::newRow("302") << 302 << QByteArray("GET");
    QTest::newRow("301") << 301 << QByteArray("GET");
    QTest::newRow("307 posts again") << 307 << QByteArray("POST");
}

void TestWebPage::portalRoundTrip()
{
    QFETCH(int, redirectStatus);
    QFETCH(QByteArray, answerMethod);
    LoopbackHttpServer server;
    QVERIFY(server.isListening());
    PlayPortal(server, redirectStatus);
    WebPage page;
    QSignalSpy finished(&page, &WebPage::loadFinished);
    QCOMPARE(page.ReadyState(), int(WebPage::Uninitialized));

    page.Navigate(server.url(QString::fromLatin1(PagePath)));
    QCOMPARE(page.ReadyState(), int(WebPage::Loading));
    QVERIFY(page.Busy());
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::None);
    QCOMPARE(page.httpStatus(), 200);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), true);

    const std::optional<QString> action = page.Document().GetElementById(u"VerificaImmagineIcao").GetAttribute(u"action");
    QVERIFY(action.has_value());
    const QUrl target = page.resolve(*action);
    QCOMPARE(target, server.url(QString::fromLatin1(PagePath + "?p_p_id=verifica&p_p_lifecycle=1")));

    const QByteArray body = BinaryBody();
    page.Navigate(target, body, QStringLiteral("Content-Type: multipart/form-data; boundary=") + QString::fromLatin1(Boundary));
    QVERIFY(page.Busy());
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::None);
    QCOMPARE(finished.count(), 2);
    QCOMPARE(page.url(), server.url(QString::fromLatin1(AnswerPath)));
    QCOMPARE(FirstParagraphOf(page.Document(), u"elenco-1"), QString::fromLatin1(Verdict));

    const QList<LoopbackRequest> posts = server.requestsTo("POST", PagePath);
    QCOMPARE(posts.size(), 1);
    const LoopbackRequest& post = posts[0];
    QCOMPARE(post.target, PagePath + "?p_p_id=verifica&p_p_lifecycle=1");
    QCOMPARE(post.body.size(), body.size());
    QCOMPARE(post.body, body);
    QCOMPARE(post.header("Content-Length"), QByteArray::number(body.size()));
    QCOMPARE(post.headerCount("Content-Type"), 1);
    QCOMPARE(post.header("Content-Type"), "multipart/form-data; boundary=" + Boundary);
    QCOMPARE(post.header("Cookie"), SessionCookie);

    const QList<LoopbackRequest> answers = server.requestsTo(answerMethod, AnswerPath);
    QCOMPARE(answers.size(), 1);
    QCOMPARE(answers[0].header("Cookie"), SessionCookie);
    if (answerMethod == "GET") {
        // The redirected request is a plain GET: no body and nothing that
        // describes one.
        QVERIFY(answers[0].body.isEmpty());
        QVERIFY(answers[0].header("Content-Type").isNull());
        QVERIFY(answers[0].header("Content-Length").isNull() || answers[0].header("Content-Length") == "0");
    } else {
        QCOMPARE(answers[0].body, body);
        QCOMPARE(answers[0].header("Content-Type"), "multipart/form-data; boundary=" + Boundary);
    }
    QCOMPARE(server.requests().size(), 3);
}

void TestWebPage::postHeaderText_data()
{
    QTest::addColumn<QString>("headers");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("extra");
    QTest::newRow("multipart") << "Content-Type: multipart/form-data; boundary=QuenvAaBbCcXxYyZz"
                               << QByteArray("multipart/form-data; boundary=QuenvAaBbCcXxYyZz") << QByteArray();
    QTest::newRow("none: a form, as browsers send it") << QString() << QByteArray("application/x-www-form-urlencoded")
                                                       << QByteArray();
    QTest::newRow("two lines") << "Content-Type: text/plain\r\nX-Prova: uno" << QByteArray("text/plain")
                               << QByteArray("uno");
}

void TestWebPage::postHeaderText()
{
    QFETCH(QString, headers);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, extra);
    LoopbackHttpServer server;
    server.on("POST", "/invio", LoopbackResponse::Html("<p>ok</p>"));
    WebPage page;
    page.Navigate(server.url(QStringLiteral("/invio")), "a=1&b=2", headers);
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::None);
    QCOMPARE(server.requests().size(), 1);
    const LoopbackRequest& request = server.requests()[0];
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.body, QByteArray("a=1&b=2"));
    QCOMPARE(request.headerCount("Content-Type"), 1);
    QCOMPARE(request.header("Content-Type"), contentType);
    QCOMPARE(request.header("X-Prova"), extra);
}

void TestWebPage::newPageReplacesTheOldDocument()
{
    LoopbackHttpServer server;
    PlayPortal(server, 303);
    server.on("GET", "/senza-modulo", LoopbackResponse::Html("<html><body><p>Servizio non disponibile</p></body></html>"));
    WebPage page;
    page.Navigate(server.url(QString::fromLatin1(PagePath)));
    QTRY_VERIFY(Complete(page));
    QVERIFY(!page.Document().GetElementById(u"VerificaImmagineIcao").isNull());

    page.Navigate(server.url(QStringLiteral("/senza-modulo")));
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::None);
    QVERIFY(page.Document().GetElementById(u"VerificaImmagineIcao").isNull());
    QCOMPARE(page.Document().body().InnerText(), QStringLiteral("Servizio non disponibile"));
}

void TestWebPage::baseElementGuidesResolution()
{
    LoopbackHttpServer server;
    server.on("GET", "/a/pagina", LoopbackResponse::Html("<head><base href=\"/b/\"></head><form action=\"invio\">"));
    WebPage page;
    page.Navigate(server.url(QStringLiteral("/a/pagina")));
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.resolve(u"invio"), server.url(QStringLiteral("/b/invio")));
}

void TestWebPage::answerThatNeverComes()
{
    LoopbackHttpServer server;
    LoopbackResponse never;
    never.never = true;
    server.on("POST", "/invio", never);
    WebPage page;
    QSignalSpy finished(&page, &WebPage::loadFinished);
    page.Navigate(server.url(QStringLiteral("/invio")), BinaryBody(), QStringLiteral("Content-Type: image/jpeg"));
    QTRY_COMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests()[0].body, BinaryBody());
    QVERIFY(!finished.wait(1500));
    QCOMPARE(page.ReadyState(), int(WebPage::Loading));
    QVERIFY(page.Busy());
}

void TestWebPage::answerThatStopsHalfWay()
{
    LoopbackHttpServer server;
    LoopbackResponse half = LoopbackResponse::Html(AnswerPage);
    half.stallAfterBytes = 120; // past the headers, inside the body
    server.on("GET", "/esito", half);
    WebPage page;
    QSignalSpy finished(&page, &WebPage::loadFinished);
    page.Navigate(server.url(QStringLiteral("/esito")));
    QTRY_COMPARE(server.requests().size(), 1);
    QVERIFY(!finished.wait(1000));
    QVERIFY(page.Busy());
    QVERIFY(page.Document().GetElementById(u"elenco-1").isNull());
}

void TestWebPage::slowPageCompletesLater()
{
    LoopbackHttpServer server;
    LoopbackResponse slow = LoopbackResponse::Html(AnswerPage);
    slow.delayMs = 800;
    server.on("GET", "/esito", slow);
    WebPage page;
    page.Navigate(server.url(QStringLiteral("/esito")));
    QTRY_COMPARE(server.requests().size(), 1);
    QVERIFY(page.Busy());
    QCOMPARE(page.ReadyState(), int(WebPage::Loading));
    QTRY_VERIFY_WITH_TIMEOUT(Complete(page), 10000);
    QCOMPARE(page.loadError(), WebPage::LoadError::None);
    QCOMPARE(FirstParagraphOf(page.Document(), u"elenco-1"), QString::fromLatin1(Verdict));
}

void TestWebPage::navigatingAgainAbandonsTheRunningLoad()
{
    LoopbackHttpServer server;
    LoopbackResponse never;
    never.never = true;
    server.on("GET", "/mai", never);
    PlayPortal(server, 303);
    WebPage page;
    QSignalSpy finished(&page, &WebPage::loadFinished);
    page.Navigate(server.url(QStringLiteral("/mai")));
    QTRY_COMPARE(server.requests().size(), 1);

    page.Navigate(server.url(QString::fromLatin1(PagePath)));
    // The cancelled load must not pass for the end of the new one.
    QCOMPARE(page.ReadyState(), int(WebPage::Loading));
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::None);
    QVERIFY(!page.Document().GetElementById(u"VerificaImmagineIcao").isNull());
    QCOMPARE(finished.count(), 1);
    QTRY_VERIFY(server.requests()[0].abandoned);
}

void TestWebPage::httpErrors_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("404") << 404;
    QTest::newRow("500") << 500;
    QTest::newRow("503") << 503;
}

void TestWebPage::httpErrors()
{
    QFETCH(int, status);
    LoopbackHttpServer server;
    LoopbackResponse error = LoopbackResponse::Html(AnswerPage);
    error.status = status;
    server.on("GET", "/esito", error);
    WebPage page;
    QSignalSpy finished(&page, &WebPage::loadFinished);
    page.Navigate(server.url(QStringLiteral("/esito")));
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::Http);
    QCOMPARE(page.httpStatus(), status);
    QVERIFY(page.errorText().contains(QString::number(status)));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    // An error page is never read as an answer, whatever it holds.
    QVERIFY(page.Document().GetElementById(u"elenco-1").isNull());
}

void TestWebPage::refusedConnection()
{
    WebPage page;
    page.Navigate(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(ClosedPort())));
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::Network);
    QCOMPARE(page.httpStatus(), 0);
    QVERIFY(!page.errorText().isEmpty());
}

void TestWebPage::untrustedCertificate()
{
    LoopbackHttpServer server(LoopbackHttpServer::Transport::Tls);
    PlayPortal(server, 303);
    WebPage page;
    page.Navigate(server.url(QString::fromLatin1(PagePath)));
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::Tls);
    QVERIFY(server.requests().isEmpty());
    QVERIFY(page.Document().GetElementById(u"VerificaImmagineIcao").isNull());
}

void TestWebPage::trustedCertificateAndNoDowngrade()
{
    const QSslConfiguration saved = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = saved;
    trusting.addCaCertificate(LoopbackHttpServer::Certificate());
    QSslConfiguration::setDefaultConfiguration(trusting);
    const auto restore = qScopeGuard([&saved] { QSslConfiguration::setDefaultConfiguration(saved); });

    LoopbackHttpServer secure(LoopbackHttpServer::Transport::Tls);
    LoopbackHttpServer plain;
    PlayPortal(secure, 303);
    PlayPortal(plain, 303);
    secure.on("GET", "/verso-http", LoopbackResponse::Redirect(302, plain.url(QString::fromLatin1(PagePath)).toEncoded()));
    WebPage page;
    page.Navigate(secure.url(QString::fromLatin1(PagePath)));
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::None);
    QVERIFY(!page.Document().GetElementById(u"VerificaImmagineIcao").isNull());

    // A redirect from HTTPS to plain HTTP is not followed.
    page.Navigate(secure.url(QStringLiteral("/verso-http")));
    QTRY_VERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::Network);
    QVERIFY(plain.requests().isEmpty());
}

void TestWebPage::pageInWindows1252_data()
{
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("head");
    QTest::newRow("charset in the header") << QByteArray("text/html; charset=ISO-8859-1") << QByteArray();
    QTest::newRow("charset in a meta tag") << QByteArray("text/html")
                                           << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
}

void TestWebPage::pageInWindows1252()
{
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, head);
    LoopbackHttpServer server;
    server.on("GET", "/esito",
              LoopbackResponse::Html("<html><head>" + head + "</head><body><div id=\"elenco-1\"><p>Il volto non \xE8 "
                                     "centrato \x96 acquisire una nuova foto. Qualit\xE0 insufficiente</p></div>",
                                     contentType));
    WebPage page;
    page.Navigate(server.url(QStringLiteral("/esito")));
    QTRY_VERIFY(Complete(page));
    QCOMPARE(FirstParagraphOf(page.Document(), u"elenco-1"),
             QString::fromUtf8("Il volto non è centrato – acquisire una nuova foto. Qualità insufficiente"));
}

void TestWebPage::aboutBlank()
{
    LoopbackHttpServer server;
    PlayPortal(server, 303);
    WebPage page;
    page.Navigate(server.url(QString::fromLatin1(PagePath)));
    QTRY_VERIFY(Complete(page));
    QSignalSpy finished(&page, &WebPage::loadFinished);

    page.Navigate(QUrl(QStringLiteral("about:blank")));
    QVERIFY(Complete(page));
    QCOMPARE(page.loadError(), WebPage::LoadError::None);
    QCOMPARE(page.url(), QUrl(QStringLiteral("about:blank")));
    QVERIFY(page.Document().GetElementById(u"VerificaImmagineIcao").isNull());
    QCOMPARE(page.Document().body().InnerText(), QString());
    QVERIFY(finished.wait());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(server.requests().size(), 1);
}

RITRAX_TEST(TestWebPage)
#include "tst_webpage.moc"
