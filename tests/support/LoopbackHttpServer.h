#pragma once
// A small HTTP/1.1 server on 127.0.0.1 inside the test process, playing a
// web site: canned answers registered per method and path (or computed from
// the request), answers that come late, stop half way or never come, and a
// record of every request exactly as it arrived. Optionally over TLS with a
// self-signed certificate that no client trusts unless told to.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

#include <functional>
#include <map>
#include <memory>
#include <utility>

class QTcpServer;
class QTcpSocket;

using HttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

struct LoopbackRequest {
    QByteArray method;
    QByteArray target; // as in the request line: path and query
    HttpHeaders headers; // in the order received, names as sent
    QByteArray body;
    // The client went away before it had the whole answer (it aborted, or
    // the answer never came and it gave up).
    bool abandoned = false;

    QByteArray path() const; // target without the query
    // The first value of the header, the name compared without regard to
    // case; a null array when there is no such header.
    QByteArray header(QByteArrayView name) const;
    int headerCount(QByteArrayView name) const;
};

struct LoopbackResponse {
    int status = 200;
    HttpHeaders headers; // Content-Length is added unless present
    QByteArray body;
    int delayMs = 0; // the answer starts this long after the request arrived
    bool never = false; // no answer at all; the connection stays open
    // Only so many bytes of the answer (status line and headers included)
    // are sent, then nothing more; -1 sends it all.
    int stallAfterBytes = -1;
    // The body is sent again and again for as long as the client reads,
    // with no length announced: an answer that never ends.
    bool endless = false;

    static LoopbackResponse Html(const QByteArray& body,
                                 const QByteArray& contentType = "text/html; charset=utf-8");
    static LoopbackResponse Redirect(int status, const QByteArray& location);
    static LoopbackResponse Status(int status);
    LoopbackResponse& withHeader(const QByteArray& name, const QByteArray& value);
};

class LoopbackHttpServer : public QObject {
    Q_OBJECT
public:
    enum class Transport { Plain, Tls };
    using Handler = std::function<LoopbackResponse(const LoopbackRequest&)>;

    // Listens at once on a free port of 127.0.0.1.
    explicit LoopbackHttpServer(Transport transport = Transport::Plain, QObject* parent = nullptr);
    ~LoopbackHttpServer() override;

    bool isListening() const;
    quint16 port() const;
    // "http://127.0.0.1:<port>" (https for TLS): what a client is given as
    // the site's base address.
    QString base() const;
    QUrl url(const QString& target = QStringLiteral("/")) const;

    // The answer to requests with the method and the path (query ignored);
    // a later registration replaces an earlier one. Requests nobody
    // registered get 404.
    void on(const QByteArray& method, const QByteArray& path, const LoopbackResponse& response);
    void on(const QByteArray& method, const QByteArray& path, Handler handler);

    const QList<LoopbackRequest>& requests() const { return requests_; }
    // The requests with the method and path, in the order they came.
    QList<LoopbackRequest> requestsTo(const QByteArray& method, const QByteArray& path) const;

    // The certificate a TLS server presents (self-signed, for 127.0.0.1).
    static QSslCertificate Certificate();

signals:
    void requestReceived(int index);

private:
    struct Connection {
        QByteArray buffer;
        bool answering = false; // an answer is pending or being sent
        bool stalled = false;   // it will never be answered again
        int pendingRequest = -1;
    };

    void accept();
    void readFrom(QTcpSocket* socket);
    void answer(QTcpSocket* socket, int requestIndex, const LoopbackResponse& response);
    void dropped(QTcpSocket* socket);
    LoopbackResponse responseFor(const LoopbackRequest& request) const;

    std::unique_ptr<QTcpServer> server_;
    Transport transport_;
    std::map<std::pair<QByteArray, QByteArray>, Handler> handlers_;
    std::map<QTcpSocket*, Connection> connections_;
    QList<LoopbackRequest> requests_;
};
