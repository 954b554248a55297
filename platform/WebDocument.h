#pragma once
// A web page parsed into elements, read the way the portal check reads a
// browser's document: the element with an identifier, the elements with a
// tag name, an element's attributes and the text a browser shows for it.
// Documents and elements are values sharing one parsed tree that owns all
// its text; nothing points back into the parser once parsing is done.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <atomic>
#include <memory>
#include <optional>

struct WebTree;

class WebElement {
public:
    // The null element: what a search that found nothing gives.
    WebElement() = default;

    bool isNull() const { return tree_ == nullptr; }

    // The tag name in lower case ("p", "div"); empty for the null element.
    QString tagName() const;

    // The value of the attribute, entities decoded; nothing when the element
    // has no such attribute (an attribute written without a value is an
    // empty text). Names compare without regard to case.
    std::optional<QString> GetAttribute(QStringView name) const;

    // The descendants with the tag name, in document order, the name compared
    // without regard to case; "*" gives every descendant element.
    QList<WebElement> GetElementsByTagName(QStringView name) const;

    // The text as a browser renders it: runs of white space collapsed to one
    // space, <br> and the ends of block elements as line breaks (a paragraph
    // as an empty line), table cells separated by a tab, the content of
    // scripts, styles and hidden elements left out, white space kept inside
    // <pre>, the result trimmed of ASCII white space (a no-break space stays).
    QString InnerText() const;

    // All the text inside, as it is in the page.
    QString textContent() const;

    // Same element of the same document.
    friend bool operator==(const WebElement& a, const WebElement& b)
    {
        return a.tree_ == b.tree_ && a.node_ == b.node_;
    }

private:
    friend class WebDocument;
    WebElement(std::shared_ptr<const WebTree> tree, int node);

    std::shared_ptr<const WebTree> tree_;
    int node_ = -1;
};

class WebDocument {
public:
    // The empty page ("about:blank"): html, head and an empty body.
    WebDocument();

    // The page parsed as HTML5 parsers do, with error recovery.
    static WebDocument FromHtml(QStringView html);
    // The page's bytes decoded as a browser decodes them (see WebCharset),
    // contentType being the value of the Content-Type header, if any.
    static WebDocument FromBytes(QByteArrayView page, QByteArrayView contentType = {});
    // The same, given up with nothing as soon as stop is true (set from
    // another thread): a deeply nested page costs the parser time growing
    // with the square of its depth, long after anyone waits for it.
    static std::optional<WebDocument> FromBytes(QByteArrayView page, QByteArrayView contentType,
                                                const std::atomic_bool& stop);

    // The first element in document order whose "id" is exactly the given
    // text (case matters); the null element when there is none.
    WebElement GetElementById(QStringView id) const;
    // As WebElement::GetElementsByTagName, over the whole document.
    QList<WebElement> GetElementsByTagName(QStringView name) const;

    WebElement documentElement() const; // <html>
    WebElement body() const;

    // The href of the first <base> that has one, as written; nothing without.
    std::optional<QString> baseHref() const;

private:
    explicit WebDocument(std::shared_ptr<const WebTree> tree);

    std::shared_ptr<const WebTree> tree_;
};
