#pragma once
// The motorists' portal played by the loopback server: the verification
// page with its form sets a session cookie; the form's target wants that
// cookie, and answers the post with a redirect to the answer page, which
// wants the cookie too. Used by the output tests and the editor tests.

#include "LoopbackHttpServer.h"

#include <QByteArray>
#include <QTcpServer>

namespace LoopbackPortal {

inline const QByteArray PagePath = "/web/portale-automobilista/verifica-foto-patente-professionista";
inline const QByteArray PostTarget = PagePath + "?p_p_id=verifica&p_p_lifecycle=1";
inline const QByteArray AnswerPath = "/web/portale-automobilista/esito-verifica";
inline const QByteArray SessionCookie = "JSESSIONID=7d3e91b0";

inline const QByteArray Conforming = "La foto risulta essere conforme alle direttive ICAO";
// The portal's sentence after each reason, en dash as UTF-8.
inline const QByteArray ReasonTail
    = " \xE2\x80\x93 acquisire una nuova foto (riferimento circolare 23176/8.3 del 20/10/2016). ";

// The form as the portal writes it; attributes may replace its action.
inline QByteArray FormPage(const QByteArray& formAttributes = "action=\"" + PagePath
                               + "?p_p_id=verifica&amp;p_p_lifecycle=1\"")
{
    return "<!DOCTYPE html><html><head><title>Verifica foto</title></head><body>\n"
           "<form id=\"VerificaImmagineIcao\" method=\"post\" enctype=\"multipart/form-data\" "
        + formAttributes
        + ">\n<input type=\"file\" name=\"upload\"><input type=\"submit\" value=\"Verifica Foto\"></form>\n"
          "</body></html>";
}

// The answer page with the given content in "elenco-1".
inline QByteArray AnswerPage(const QByteArray& list)
{
    return "<html><body><h2>Esito della verifica</h2>\n<div id=\"elenco-1\">\n" + list + "\n</div></body></html>";
}

inline QByteArray Paragraph(const QByteArray& text)
{
    return "  <p>\n    " + text + "\n  </p>\n";
}

inline LoopbackResponse WithCookie(const QByteArray& cookie, const LoopbackRequest& request,
                                   const LoopbackResponse& response)
{
    return request.header("Cookie").contains(cookie) ? response : LoopbackResponse::Status(403);
}

// The portal on server: page on GET PagePath, the post taken at postPath,
// then the answer.
inline void Play(LoopbackHttpServer& server, const LoopbackResponse& page, const LoopbackResponse& answer,
                 const QByteArray& postPath = PagePath)
{
    LoopbackResponse form = page;
    form.withHeader("Set-Cookie", SessionCookie + "; Path=/; HttpOnly");
    server.on("GET", PagePath, form);
    server.on("POST", postPath, [](const LoopbackRequest& request) {
        return WithCookie(SessionCookie, request, LoopbackResponse::Redirect(303, AnswerPath));
    });
    server.on("GET", AnswerPath,
              [answer](const LoopbackRequest& request) { return WithCookie(SessionCookie, request, answer); });
}

inline void PlayConforming(LoopbackHttpServer& server)
{
    Play(server, LoopbackResponse::Html(FormPage()), LoopbackResponse::Html(AnswerPage(Paragraph(Conforming))));
}

// The form text the body must carry around the photo, written out whole.
inline const QByteArray BodyBefore = "--QuenvAaBbCcXxYyZz\r\n"
                                     "Content-Disposition: form-data; name=\"action:Read_verificaFileUpload\"\r\n"
                                     "\r\n"
                                     "Verifica Foto\r\n"
                                     "--QuenvAaBbCcXxYyZz\r\n"
                                     "Content-Disposition: form-data; name=\"upload\"; filename=\"foto.jpg\"\r\n"
                                     "Content-Type: image/jpeg\r\n"
                                     "\r\n";
inline const QByteArray BodyAfter = "\r\n--QuenvAaBbCcXxYyZz--\r\n";

// A port of 127.0.0.1 on which nothing listens: a portal that refuses.
inline quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace LoopbackPortal
