#include "WebCharset.h"
#include "WebDocument.h"
#include "WebPage.h"

#include "TestRegistry.h"

#include <QTest>

class TestWebDocument : public QObject {
    Q_OBJECT
private slots:
    void innerText_data();
    void innerText();
    void innerTextOfParagraphAndHiddenElement();
    void attributes_data();
    void attributes();
    void elementById();
    void elementsByTagName();
    void elementsOutliveTheirDocument();
    void emptyDocument();
    void charsetFromContentType_data();
    void charsetFromContentType();
    void sniff_data();
    void sniff();
    void decode_data();
    void decode();
    void pageBytesInWindows1252();
    void headerLines_data();
    void headerLines();
    void resolveUrl_data();
    void resolveUrl();
};

namespace {

WebElement Wrapped(const QString& html)
{
    const WebDocument document = WebDocument::FromHtml(
        QStringLiteral("<!DOCTYPE html><html><body><div id=\"t\">%1</div></body></html>").arg(html));
    return document.GetElementById(u"t");
}

QStringList InnerTexts(const QList<WebElement>& elements)
{
    QStringList texts;
    for (const WebElement& element : elements)
        texts.append(element.InnerText());
    return texts;
}

} // namespace

void TestWebDocument::innerText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    QTest::newRow("runs of white space") << "  La \n\t foto\r\n  risulta  " << "La foto risulta";
    QTest::newRow("form feed is white space") << "a\fb" << "a b";
    QTest::newRow("nested inline tags") << "<b>La <i>foto</i></b> <span>risulta</span>" << "La foto risulta";
    QTest::newRow("no space between inline tags") << "con<b>for</b><i>me</i>" << "conforme";
    QTest::newRow("spaces either side of a tag") << "a <b> b</b> <i> c </i>" << "a b c";
    QTest::newRow("br") << "uno<br>due" << "uno\ndue";
    QTest::newRow("br eats the spaces round it") << "uno <br> due" << "uno\ndue";
    QTest::newRow("two br") << "uno<br><br>due" << "uno\n\ndue";
    QTest::newRow("paragraphs") << "<p>uno</p><p>due</p>" << "uno\n\ndue";
    QTest::newRow("empty paragraph adds nothing") << "<p>uno</p><p> </p><p>due</p>" << "uno\n\ndue";
    QTest::newRow("unclosed paragraphs") << "<p>uno<p>due" << "uno\n\ndue";
    QTest::newRow("br after a paragraph") << "<p>uno</p><br>due" << "uno\n\n\ndue";
    QTest::newRow("divs") << "<div>uno</div>\n  <div> due </div>" << "uno\ndue";
    QTest::newRow("block inside text") << "uno <div>due</div> tre" << "uno\ndue\ntre";
    QTest::newRow("list") << "<ul>\n <li>uno</li>\n <li>due</li>\n</ul>" << "uno\ndue";
    QTest::newRow("heading") << "<h3>Esito</h3>testo" << "Esito\ntesto";
    QTest::newRow("table") << "<table><tr><td>a</td> <td>b</td></tr><tr><th>c</th><td>d</td></tr></table>"
                           << "a\tb\nc\td";
    QTest::newRow("entities") << "&egrave; &amp; &lt;p&gt; &#8211; &quot;x&quot; &#x20AC;"
                              << QString::fromUtf8("è & <p> – \"x\" €");
    QTest::newRow("nbsp inside kept") << "a&nbsp;&nbsp;b" << QStringLiteral("a\u00A0\u00A0b");
    QTest::newRow("nbsp at the end kept") << "conforme&nbsp; " << QStringLiteral("conforme\u00A0");
    QTest::newRow("nbsp at the start kept") << " &nbsp;x" << QStringLiteral("\u00A0x");
    QTest::newRow("script skipped") << "a<script>document.write('b')</script>c" << "ac";
    QTest::newRow("style skipped") << "<style>p { color: red }</style>testo" << "testo";
    QTest::newRow("noscript skipped") << "a<noscript>attiva JavaScript</noscript>b" << "ab";
    QTest::newRow("hidden skipped") << "a<span hidden>b</span>c" << "ac";
    QTest::newRow("comment skipped") << "a<!-- b -->c" << "ac";
    QTest::newRow("pre keeps white space") << "<pre>a  b\n c</pre>" << "a  b\n c";
    QTest::newRow("leading and trailing br trimmed") << "<br>testo<br>" << "testo";
    QTest::newRow("image gives nothing") << "a<img alt=\"foto\">b" << "ab";
    QTest::newRow("empty") << "" << "";
}

void TestWebDocument::innerText()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(Wrapped(html).InnerText(), expected);
}

void TestWebDocument::innerTextOfParagraphAndHiddenElement()
{
    const WebDocument document = WebDocument::FromHtml(
        u"<div id=\"elenco-1\">\n  <p>\n    La foto risulta essere\n    conforme alle direttive ICAO\n  </p>\n"
        u"<script id=\"s\">var a = 1;  var b;</script></div>");
    const QList<WebElement> paragraphs = document.GetElementById(u"elenco-1").GetElementsByTagName(u"P");
    QCOMPARE(paragraphs.size(), 1);
    QCOMPARE(paragraphs[0].InnerText(), QStringLiteral("La foto risulta essere conforme alle direttive ICAO"));
    // A script is not rendered: as in browsers, its own inner text is its text.
    QCOMPARE(document.GetElementById(u"s").InnerText(), QStringLiteral("var a = 1;  var b;"));
}

void TestWebDocument::attributes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");
    QTest::newRow("entities decoded") << "action" << true << "/verifica?a=1&b=2";
    QTest::newRow("name without regard to case") << "AcTiOn" << true << "/verifica?a=1&b=2";
    QTest::newRow("empty value") << "data-empty" << true << "";
    QTest::newRow("no value") << "novalidate" << true << "";
    QTest::newRow("missing") << "target" << false << "";
    QTest::newRow("single quotes") << "class" << true << "modulo";
    QTest::newRow("first of two wins") << "title" << true << "primo";
    QTest::newRow("named entity") << "alt" << true << QString::fromUtf8("perché");
}

void TestWebDocument::attributes()
{
    QFETCH(QString, name);
    QFETCH(bool, present);
    QFETCH(QString, value);
    const WebDocument document = WebDocument::FromHtml(
        u"<form id=\"f\" ACTION=\"/verifica?a=1&amp;b=2\" data-empty=\"\" novalidate class='modulo'"
        u" title=\"primo\" TITLE=\"secondo\" alt=\"perch&eacute;\"></form>");
    const std::optional<QString> attribute = document.GetElementById(u"f").GetAttribute(name);
    QCOMPARE(attribute.has_value(), present);
    if (present)
        QCOMPARE(*attribute, value);
}

void TestWebDocument::elementById()
{
    const WebDocument document = WebDocument::FromHtml(
        u"<div id=\"x\">uno</div><section><p id=\"x\">due</p><span><b id=\"deep\">tre</b></span></section>"
        u"<template><i id=\"t\">dentro</i></template>");
    QCOMPARE(document.GetElementById(u"x").tagName(), QStringLiteral("div"));
    QCOMPARE(document.GetElementById(u"deep").InnerText(), QStringLiteral("tre"));
    QVERIFY(document.GetElementById(u"X").isNull());
    QVERIFY(document.GetElementById(u"assente").isNull());
    QVERIFY(document.GetElementById(u"").isNull());
    // A template's content is not part of the document.
    QVERIFY(document.GetElementById(u"t").isNull());
}

void TestWebDocument::elementsByTagName()
{
    const WebDocument document = WebDocument::FromHtml(
        u"<p>prima</p><div id=\"elenco-1\"><p>uno</p><section><P>due</P></section><p>tre<p>quattro</div>"
        u"<p>fuori</p><div id=\"d\"><div>dentro</div><x-voce>v</x-voce></div>");
    const WebElement list = document.GetElementById(u"elenco-1");
    QCOMPARE(InnerTexts(list.GetElementsByTagName(u"P")), QStringList({"uno", "due", "tre", "quattro"}));
    QCOMPARE(InnerTexts(list.GetElementsByTagName(u"p")), QStringList({"uno", "due", "tre", "quattro"}));
    QCOMPARE(document.GetElementsByTagName(u"p").size(), 6);
    const WebElement outer = document.GetElementById(u"d");
    // Descendants only: the element itself is not among them.
    QCOMPARE(InnerTexts(outer.GetElementsByTagName(u"DIV")), QStringList({"dentro"}));
    QCOMPARE(outer.GetElementsByTagName(u"X-Voce").size(), 1);
    QCOMPARE(outer.GetElementsByTagName(u"*").size(), 2);
    QVERIFY(list.GetElementsByTagName(u"table").isEmpty());
}

void TestWebDocument::elementsOutliveTheirDocument()
{
    WebElement verdict;
    {
        const WebDocument document = WebDocument::FromHtml(u"<div id=\"elenco-1\"><p title=\"t\">Esito</p></div>");
        verdict = document.GetElementById(u"elenco-1").GetElementsByTagName(u"p").value(0);
    }
    QCOMPARE(verdict.InnerText(), QStringLiteral("Esito"));
    QCOMPARE(verdict.GetAttribute(u"title"), std::optional<QString>(QStringLiteral("t")));

    const WebElement none;
    QVERIFY(none.isNull());
    QVERIFY(!none.GetAttribute(u"id").has_value());
    QVERIFY(none.GetElementsByTagName(u"p").isEmpty());
    QCOMPARE(none.InnerText(), QString());
}

void TestWebDocument::emptyDocument()
{
    const WebDocument blank;
    QCOMPARE(blank.documentElement().tagName(), QStringLiteral("html"));
    QCOMPARE(blank.body().tagName(), QStringLiteral("body"));
    QCOMPARE(blank.body().InnerText(), QString());
    QCOMPARE(blank.GetElementsByTagName(u"*").size(), 3);
}

void TestWebDocument::charsetFromContentType_data()
{
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("charset");
    QTest::newRow("plain") << QByteArray("text/html; charset=ISO-8859-1") << QByteArray("ISO-8859-1");
    QTest::newRow("no blank") << QByteArray("text/html;charset=utf-8") << QByteArray("utf-8");
    QTest::newRow("quoted") << QByteArray("text/html; charset=\"windows-1252\"") << QByteArray("windows-1252");
    QTest::newRow("single quoted") << QByteArray("text/html; charset='latin1'") << QByteArray("latin1");
    QTest::newRow("blanks and more parameters") << QByteArray("text/html; CHARSET = cp1252 ; q=1")
                                                << QByteArray("cp1252");
    QTest::newRow("none") << QByteArray("text/html") << QByteArray();
    QTest::newRow("open quote") << QByteArray("text/html; charset=\"utf-8") << QByteArray();
}

void TestWebDocument::charsetFromContentType()
{
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, charset);
    QCOMPARE(WebCharset::FromContentType(contentType), charset);
}

void TestWebDocument::sniff_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("encoding");
    const QByteArray metaLatin = "<html><head><meta charset=\"iso-8859-1\"></head>";
    QTest::newRow("nothing says") << QByteArray("<p>x</p>") << QByteArray("text/html") << QByteArray("utf-8");
    QTest::newRow("header latin1") << QByteArray("<p>x</p>") << QByteArray("text/html; charset=ISO-8859-1")
                                   << QByteArray("windows-1252");
    QTest::newRow("header beats meta") << QByteArray("<meta charset=utf-8>") << QByteArray("text/html; charset=latin1")
                                       << QByteArray("windows-1252");
    QTest::newRow("unknown header label, meta used") << metaLatin << QByteArray("text/html; charset=nessuno")
                                                     << QByteArray("windows-1252");
    QTest::newRow("meta charset") << metaLatin << QByteArray() << QByteArray("windows-1252");
    QTest::newRow("meta http-equiv")
        << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">") << QByteArray()
        << QByteArray("windows-1252");
    QTest::newRow("meta content without http-equiv")
        << QByteArray("<meta name=\"x\" content=\"text/html; charset=windows-1252\">") << QByteArray()
        << QByteArray("utf-8");
    QTest::newRow("meta in a comment") << QByteArray("<!-- <meta charset=latin1> -->") << QByteArray()
                                       << QByteArray("utf-8");
    QTest::newRow("meta in another tag's attribute")
        << QByteArray("<a title=\"<meta charset=latin1>\">x</a>") << QByteArray() << QByteArray("utf-8");
    QTest::newRow("meta after 1024 bytes") << QByteArray(1024, ' ') + metaLatin << QByteArray() << QByteArray("utf-8");
    QTest::newRow("meta utf-16 read as utf-8") << QByteArray("<meta charset=utf-16le>") << QByteArray()
                                               << QByteArray("utf-8");
    QTest::newRow("utf-8 mark beats header") << QByteArray("\xEF\xBB\xBF<p>x</p>")
                                             << QByteArray("text/html; charset=latin1") << QByteArray("utf-8");
    QTest::newRow("utf-16le mark") << QByteArray("\xFF\xFE<\0p\0", 6) << QByteArray() << QByteArray("utf-16le");
}

void TestWebDocument::sniff()
{
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, encoding);
    QCOMPARE(WebCharset::Sniff(page, contentType), encoding);
}

void TestWebDocument::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("windows-1252 accents") << QByteArray("\xE0\xE8\xE9\xEC\xF2\xF9") << QByteArray("windows-1252")
                                          << QString::fromUtf8("àèéìòù");
    QTest::newRow("iso-8859-1 label reads as windows-1252") << QByteArray("\x80 \x96 \x93x\x94") << QByteArray("ISO-8859-1")
                                                            << QString::fromUtf8("€ – “x”");
    QTest::newRow("windows-1252 holes") << QByteArray("\x81\x9D") << QByteArray("cp1252") << QStringLiteral("\u0081\u009D");
    QTest::newRow("utf-8") << QByteArray("perch\xC3\xA9 \xE2\x80\x93") << QByteArray("utf-8")
                           << QString::fromUtf8("perché –");
    QTest::newRow("utf-8 mark dropped") << QByteArray("\xEF\xBB\xBFx") << QByteArray("utf-8") << QStringLiteral("x");
    QTest::newRow("invalid utf-8") << QByteArray("a\xFFz") << QByteArray("utf-8") << QStringLiteral("a\uFFFDz");
    QTest::newRow("other labels go to the converters") << QByteArray("\xA4") << QByteArray("ISO-8859-15")
                                                       << QString::fromUtf8("€");
    QTest::newRow("unknown label reads as utf-8") << QByteArray("\xC3\xA0") << QByteArray("nessuno")
                                                  << QString::fromUtf8("à");
    QTest::newRow("utf-16le mark dropped") << QByteArray("\xFF\xFE" "a\0\xE8\0", 6) << QByteArray("utf-16le")
                                           << QString::fromUtf8("aè");
}

void TestWebDocument::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, label);
    QFETCH(QString, text);
    QCOMPARE(WebCharset::Decode(bytes, label), text);
}

void TestWebDocument::pageBytesInWindows1252()
{
    const QByteArray page = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
                            "</head><body><p id=\"v\" title=\"citt\xE0\">Qualit\xE0 \x96 perch\xE9</p></body></html>";
    const WebDocument document = WebDocument::FromBytes(page);
    const WebElement verdict = document.GetElementById(u"v");
    QCOMPARE(verdict.InnerText(), QString::fromUtf8("Qualità – perché"));
    QCOMPARE(verdict.GetAttribute(u"title"), std::optional<QString>(QString::fromUtf8("città")));
}

void TestWebDocument::headerLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArrayList>("expected"); // "name|value"
    QTest::newRow("one header, no line end") << "Content-Type: multipart/form-data; boundary=QuenvAaBbCcXxYyZz"
                                             << QByteArrayList{"Content-Type|multipart/form-data; boundary=QuenvAaBbCcXxYyZz"};
    QTest::newRow("with CR LF") << "Content-Type: text/plain\r\n" << QByteArrayList{"Content-Type|text/plain"};
    QTest::newRow("two, CR LF") << "Content-Type: text/plain\r\nX-Prova: 1" << QByteArrayList{"Content-Type|text/plain", "X-Prova|1"};
    QTest::newRow("two, LF") << "A: 1\nB: 2\n" << QByteArrayList{"A|1", "B|2"};
    QTest::newRow("blanks around") << "  X-Prova :   valore  " << QByteArrayList{"X-Prova|valore"};
    QTest::newRow("colon in value") << "Referer: http://127.0.0.1:8080/a" << QByteArrayList{"Referer|http://127.0.0.1:8080/a"};
    QTest::newRow("empty value") << "X-Vuoto:" << QByteArrayList{"X-Vuoto|"};
    QTest::newRow("no colon") << "Content-Type multipart" << QByteArrayList{};
    QTest::newRow("blank in name") << "Content Type: x" << QByteArrayList{};
    QTest::newRow("no name") << ": x" << QByteArrayList{};
    QTest::newRow("empty") << "" << QByteArrayList{};
    QTest::newRow("latin-1 value") << QString::fromUtf8("X-Nome: Niccolò") << QByteArrayList{"X-Nome|Niccol\xF2"};
}

void TestWebDocument::headerLines()
{
    QFETCH(QString, text);
    QFETCH(QByteArrayList, expected);
    QByteArrayList parsed;
    for (const auto& [name, value] : ParseHeaderLines(text))
        parsed.append(name + '|' + value);
    QCOMPARE(parsed, expected);
}

void TestWebDocument::resolveUrl_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("absolute path") << "/web/portale/azione?p_p_id=v&p_p_lifecycle=1"
                                   << QByteArray("https://127.0.0.1:8443/web/portale/azione?p_p_id=v&p_p_lifecycle=1");
    QTest::newRow("relative path") << "azione" << QByteArray("https://127.0.0.1:8443/web/pagine/azione");
    QTest::newRow("parent folder") << "../altro" << QByteArray("https://127.0.0.1:8443/web/altro");
    QTest::newRow("query only") << "?b=2" << QByteArray("https://127.0.0.1:8443/web/pagine/verifica?b=2");
    QTest::newRow("empty is the page") << "" << QByteArray("https://127.0.0.1:8443/web/pagine/verifica?a=1");
    QTest::newRow("blanks around") << "  /x \n" << QByteArray("https://127.0.0.1:8443/x");
    QTest::newRow("line break inside") << "/a\n/b\t" << QByteArray("https://127.0.0.1:8443/a/b");
    QTest::newRow("other host") << "https://altro.example/p" << QByteArray("https://altro.example/p");
    QTest::newRow("scheme relative") << "//altro.example/p" << QByteArray("https://altro.example/p");
    QTest::newRow("blank in path") << "/a b" << QByteArray("https://127.0.0.1:8443/a%20b");
}

void TestWebDocument::resolveUrl()
{
    QFETCH(QString, reference);
    QFETCH(QByteArray, expected);
    const QUrl base(QStringLiteral("https://127.0.0.1:8443/web/pagine/verifica?a=1#sezione"));
    QCOMPARE(ResolveUrl(base, reference).toEncoded(), expected);
}

RITRAX_TEST(TestWebDocument)
#include "tst_webdocument.moc"
