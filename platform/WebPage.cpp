#include "WebPage.h"

#include <QMetaObject>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPromise>
#include <QThreadPool>

namespace {

// The most redirects a browser follows before giving up.
constexpr int MaximumRedirects = 20;

bool IsTokenCharacter(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool IsToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (!IsTokenCharacter(c))
            return false;
    }
    return true;
}

bool IsBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

bool IsAboutBlank(const QUrl& url)
{
    return url.scheme().compare(u"about", Qt::CaseInsensitive) == 0 && url.path() == u"blank";
}

WebPage::LoadError ErrorKind(QNetworkReply::NetworkError error, int status)
{
    if (status >= 400)
        return WebPage::LoadError::Http;

    if (error == QNetworkReply::SslHandshakeFailedError)
        return WebPage::LoadError::Tls;
    if (error != QNetworkReply::NoError)
        return WebPage::LoadError::Network;
    return WebPage::LoadError::None;
}

} // namespace

QList<std::pair<QByteArray, QByteArray>> ParseHeaderLines(QStringView headers)
{
    QList<std::pair<QByteArray, QByteArray>> parsed;
    for (QStringView line : headers.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            continue;
        const QByteArray name = line.first(colon).trimmed().toLatin1();
        if (!IsToken(name))
            continue;
        parsed.append({name, line.sliced(colon + 1).trimmed().toLatin1()});
    }
    return parsed;
}

QUrl ResolveUrl(const QUrl& base, QStringView reference)
{
    qsizetype begin = 0;
    qsizetype end = reference.size();
    while (begin < end && IsBlankOrControl(reference[begin]))
        ++begin;
    while (end > begin && IsBlankOrControl(reference[end - 1]))
        --end;
    QString cleaned = reference.sliced(begin, end - begin).toString();
    cleaned.remove(u'\t');
    cleaned.remove(u'\n');
    cleaned.remove(u'\r');
    const QUrl relative(cleaned);
    return base.isEmpty() ? relative : base.resolved(relative);
}

WebPage::WebPage(QObject* parent)
    : QObject(parent)
{
    manager_.setCookieJar(new QNetworkCookieJar(&manager_));
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

WebPage::~WebPage()
{
    abandonReply();
}

void WebPage::Navigate(const QUrl& url)
{
    if (IsAboutBlank(url)) {
        abandonReply();
        ++navigation_;
        url_ = url;
        finishBlank();
        return;
    }
    start(QNetworkRequest(url), nullptr);
}

void WebPage::Navigate(const QUrl& url, const QByteArray& postData, const QString& headers)
{
    QNetworkRequest request(url);
    for (const auto& [name, value] : ParseHeaderLines(headers))
        request.setRawHeader(name, value);
    if (!request.hasRawHeader("Content-Type"))
        request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    start(request, &postData);
}

void WebPage::start(const QNetworkRequest& original, const QByteArray* postData)
{
    abandonReply();
    ++navigation_;
    readyState_ = Loading;
    url_ = original.url();

    QNetworkRequest request(original);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaximumRedirects);
    if (!request.hasRawHeader("Accept"))
        request.setRawHeader("Accept", "text/html,application/xhtml+xml,*/*;q=0.8");
    if (!request.hasRawHeader("Accept-Language"))
        request.setRawHeader("Accept-Language", "it-IT,it;q=0.9");

    reply_ = postData ? manager_.post(request, *postData) : manager_.get(request);
    // No handler for sslErrors: a certificate that does not verify ends the
    // load, which is what we want.
    connect(reply_, &QNetworkReply::metaDataChanged, this, &WebPage::onReplyData);
    connect(reply_, &QNetworkReply::readyRead, this, &WebPage::onReplyData);
    // What a redirect's own answer carried is no part of the page.
    connect(reply_, &QNetworkReply::redirected, this, [this] { received_.clear(); });
    connect(reply_, &QNetworkReply::finished, this, &WebPage::onReplyFinished);
}

void WebPage::finishBlank()
{
    document_ = WebDocument();
    loadError_ = LoadError::None;
    httpStatus_ = 0;
    errorText_.clear();
    readyState_ = Complete;
    // The page is complete at once; the signal comes from the event loop so
    // that a caller can connect to it after navigating.
    const quint64 navigation = navigation_;
    QMetaObject::invokeMethod(
        this,
        [this, navigation] {
            if (navigation == navigation_)
                emit loadFinished(true);
        },
        Qt::QueuedConnection);
}

void WebPage::onReplyData()
{
    QNetworkReply* reply = reply_;
    if (reply == nullptr || sender() != reply)
        return;
    // A length announced past the bound is refused before the page comes;
    // an answer that never ends, or that inflates, once it passes the bound.
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    const bool tooLong = announced.isValid() && announced.toLongLong() > MaximumPageBytes;
    if (!tooLong)
        received_ += reply->read(MaximumPageBytes + 1 - received_.size());
    if (tooLong || received_.size() > MaximumPageBytes) {
        httpStatus_ = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        url_ = reply->url();
        abandonReply();
        document_ = WebDocument();
        errorText_ = QStringLiteral("page larger than %1 bytes").arg(MaximumPageBytes);
        complete(LoadError::TooLarge);
    }
}

void WebPage::onReplyFinished()
{
    QNetworkReply* reply = reply_;
    if (reply == nullptr || sender() != reply)
        return;
    onReplyData();
    if (reply_ == nullptr)
        return; // refused as too large
    reply_ = nullptr;
    reply->deleteLater();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    url_ = reply->url();
    httpStatus_ = status;
    document_ = WebDocument();
    const LoadError kind = ErrorKind(error, status);
    if (kind != LoadError::None) {
        received_.clear();
        errorText_ = kind == LoadError::Http
            ? QStringLiteral("HTTP %1 %2")
                  .arg(status)
                  .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
            : reply->errorString();
        complete(kind);
        return;
    }
    errorText_.clear();

    // The parse runs apart so that the event loop, and with it a caller's
    // deadline, goes on; the load stays Loading until it is done.
    auto promise = std::make_shared<QPromise<WebDocument>>();
    stopParse_ = std::make_shared<std::atomic_bool>(false);
    parse_ = std::make_unique<QFutureWatcher<WebDocument>>();
    const quint64 navigation = navigation_;
    connect(parse_.get(), &QFutureWatcherBase::finished, this, [this, navigation] { onParsed(navigation); });
    parse_->setFuture(promise->future());
    QThreadPool::globalInstance()->start(
        [promise, stop = stopParse_, page = std::exchange(received_, {}), type = reply->rawHeader("Content-Type")] {
            promise->start();
            promise->addResult(WebDocument::FromBytes(page, type, *stop).value_or(WebDocument()));
            promise->finish();
        });
}

void WebPage::onParsed(quint64 navigation)
{
    if (navigation != navigation_ || !parse_)
        return;
    std::unique_ptr<QFutureWatcher<WebDocument>> parse = std::move(parse_);
    stopParse_.reset();
    document_ = parse->result();
    // The watcher is the sender of the signal being handled.
    parse.release()->deleteLater();
    complete(LoadError::None);
}

void WebPage::complete(LoadError error)
{
    loadError_ = error;
    readyState_ = Complete;
    emit loadFinished(error == LoadError::None);
}

void WebPage::abandonReply()
{
    // An abandoned parse stops at its next allocation, unseen.
    if (stopParse_)
        stopParse_->store(true);
    stopParse_.reset();
    parse_.reset();
    received_.clear();
    if (!reply_)
        return;
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    // Disconnect first: abort() reports the cancellation through finished().
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

QUrl WebPage::resolve(QStringView reference) const
{
    QUrl base = url_;
    if (const auto href = document_.baseHref())
        base = ResolveUrl(url_, *href);
    return ResolveUrl(base, reference);
}

QNetworkCookieJar* WebPage::cookieJar() const
{
    return manager_.cookieJar();
}
