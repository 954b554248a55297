#include "WebPage.h"

#include <QMetaObject>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>

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

void WebPage::onReplyFinished()
{
    QNetworkReply* reply = reply_;
    if (reply == nullptr || sender() != reply)
        return;
    reply_ = nullptr;
    reply->deleteLater();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    url_ = reply->url();
    httpStatus_ = status;
    loadError_ = ErrorKind(error, status);
    if (loadError_ == LoadError::None) {
        errorText_.clear();
        document_ = WebDocument::FromBytes(reply->readAll(), reply->rawHeader("Content-Type"));
    } else {
        errorText_ = loadError_ == LoadError::Http
            ? QStringLiteral("HTTP %1 %2")
                  .arg(status)
                  .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
            : reply->errorString();
        document_ = WebDocument();
    }
    readyState_ = Complete;
    emit loadFinished(loadError_ == LoadError::None);
}

void WebPage::abandonReply()
{
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
