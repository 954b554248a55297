// The portal's pages as they come over the network: the verification form
// and the answer with its verdict.

#include "PortalCheck.h"
#include "WebDocument.h"
#include "WebPage.h"

#include <QUrl>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks a content type, so the charset paths are reached too.
    static const QByteArray types[] = {"", "text/html", "text/html; charset=windows-1252",
                                       "text/html; charset=utf-8", "text/html; charset=iso-8859-15"};
    if (size < 1)
        return 0;
    const QByteArray& type = types[data[0] % 5];
    const WebDocument document = WebDocument::FromBytes(
        QByteArrayView(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)), type);

    const WebElement form = document.GetElementById(u"VerificaImmagineIcao");
    if (!form.isNull()) {
        if (const std::optional<QString> action = form.GetAttribute(u"action"))
            (void)ResolveUrl(QUrl(QStringLiteral("https://portale.example/web/pagina")), *action);
    }
    const WebElement list = document.GetElementById(u"elenco-1");
    if (!list.isNull()) {
        const QList<WebElement> paragraphs = list.GetElementsByTagName(u"P");
        if (!paragraphs.isEmpty())
            (void)PortalCheck::TreatVerdict(paragraphs.first().InnerText());
    }
    (void)document.body().InnerText();
    return 0;
}
