#pragma once
// One web page loaded the way a browser loads it, for the portal check: a
// GET, or a POST of a byte array with extra request headers; cookies kept
// from one request to the next; redirects followed (never from HTTPS to
// HTTP, a 301/302/303 after a POST continuing as a GET); certificates always
// verified. ReadyState and Busy follow the load as a browser control's do,
// so that a caller can poll them while letting events run, and Document is
// the page last loaded. A page is read up to MaximumPageBytes and parsed on
// a worker thread: the load is complete only once it is parsed, so a caller's
// deadline covers the parsing too.

#include "WebDocument.h"

#include <QByteArray>
#include <QFutureWatcher>
#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <atomic>
#include <memory>
#include <utility>

class QNetworkCookieJar;
class QNetworkReply;
class QNetworkRequest;

// Request headers written as text, "Name: value" a line, the lines separated
// by CR LF or LF (one header needs no line end). The value is taken without
// the blanks around it; lines without a colon or with a name that is not a
// plain token are left out. Characters become bytes one to one (Latin-1).
QList<std::pair<QByteArray, QByteArray>> ParseHeaderLines(QStringView headers);

// The address a link or form written as reference leads to from a page at
// base, as a browser works it out: blanks around it ignored, tabs and line
// breaks in it dropped, an empty reference meaning the page itself.
QUrl ResolveUrl(const QUrl& base, QStringView reference);

class WebPage : public QObject {
    Q_OBJECT
public:
    // The values of ReadyState, those of a browser control.
    enum : int { Uninitialized = 0, Loading = 1, Complete = 4 };

    enum class LoadError {
        None,
        Network, // no connection, refused, reset, bad address, redirect refused
        Tls,     // the handshake failed: certificate not trusted, wrong host, ...
        Http,    // the server answered with a status of 400 or more
        TooLarge, // the page went on past MaximumPageBytes
    };

    // The most a page may weigh once decoded from its transfer encoding:
    // far above any page of the portal, far below what would strain memory.
    static constexpr qint64 MaximumPageBytes = 4 * 1024 * 1024;

    explicit WebPage(QObject* parent = nullptr);
    ~WebPage() override;

    // Loads the page; a load still running is abandoned. "about:blank" is the
    // empty page, complete at once.
    void Navigate(const QUrl& url);
    // Posts postData with the headers (see ParseHeaderLines), for example
    // "Content-Type: multipart/form-data; boundary=XyZ". Without a
    // Content-Type among them the data goes as a URL-encoded form, as a
    // browser sends it.
    void Navigate(const QUrl& url, const QByteArray& postData, const QString& headers);

    // Uninitialized before the first navigation, Loading while a load runs
    // (also when it never ends: there is no deadline here), Complete once it
    // ended, successfully or not.
    int ReadyState() const { return readyState_; }
    bool Busy() const { return readyState_ == Loading; }

    // The page last completed. After a failed load it is the empty page, so
    // that nothing of an error page or of an older page is read as an answer.
    WebDocument Document() const { return document_; }

    // The address of the page: after a completed load the one reached at the
    // end of the redirects, during a load the one asked for.
    QUrl url() const { return url_; }

    // How the last completed load failed, if it did.
    LoadError loadError() const { return loadError_; }
    // The HTTP status of the last completed load, 0 when there was none.
    int httpStatus() const { return httpStatus_; }
    // A description of the failure for a log or a developer, in English as
    // the network layer gives it; the operator is shown a message of ours.
    QString errorText() const { return errorText_; }

    // reference resolved against the page's base: its <base href> if it has
    // one, otherwise its address.
    QUrl resolve(QStringView reference) const;

    // The cookies kept between requests; owned by the page.
    QNetworkCookieJar* cookieJar() const;

signals:
    // A navigation ended: ok is false when loadError() says why.
    void loadFinished(bool ok);

private:
    void start(const QNetworkRequest& request, const QByteArray* postData);
    void finishBlank();
    void onReplyData();
    void onReplyFinished();
    void onParsed(quint64 navigation);
    void complete(LoadError error);
    void abandonReply();

    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QByteArray received_; // the page so far, within MaximumPageBytes
    // The parse of the last page received; replaced, never waited for, when
    // the load is abandoned.
    std::unique_ptr<QFutureWatcher<WebDocument>> parse_;
    std::shared_ptr<std::atomic_bool> stopParse_; // tells that parse to give up
    int readyState_ = Uninitialized;
    quint64 navigation_ = 0; // counts navigations, so a stale completion is recognised
    WebDocument document_;
    QUrl url_;
    LoadError loadError_ = LoadError::None;
    int httpStatus_ = 0;
    QString errorText_;
};
