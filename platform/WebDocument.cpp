#include "WebDocument.h"

#include "StoppableParse.h"
#include "WebCharset.h"

#include <gumbo.h>

#include <QSet>

#include <algorithm>
#include <utility>
#include <vector>

// The parsed page, flattened in document order: the descendants of a node
// are the nodes after it up to its end, so every search is a plain scan and
// no walk needs recursion, however deep the page nests.
struct WebTree {
    struct Node {
        enum class Kind : quint8 { Document, Element, Text };
        Kind kind = Kind::Element;
        QString name; // an element's lower-case tag name; a text node's text
        QList<std::pair<QString, QString>> attributes;
        int parent = -1;
        int end = 0; // one past the last descendant
    };
    std::vector<Node> nodes; // nodes[0] is the document

    bool isElement(int index, QStringView tag) const
    {
        return nodes[index].kind == Node::Kind::Element && nodes[index].name == tag;
    }
    const QString* attribute(int index, QStringView name) const
    {
        for (const auto& [key, value] : nodes[index].attributes) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return &value;
        }
        return nullptr;
    }
};

namespace {

using Node = WebTree::Node;

QString TagName(const GumboElement& element)
{
    if (element.tag != GUMBO_TAG_UNKNOWN)
        return QString::fromLatin1(gumbo_normalized_tagname(element.tag));
    GumboStringPiece piece = element.original_tag;
    gumbo_tag_from_original_text(&piece);
    return QString::fromUtf8(piece.data, qsizetype(piece.length)).toLower();
}

Node ElementNode(const GumboElement& element, int parent)
{
    Node node;
    node.kind = Node::Kind::Element;
    node.name = TagName(element);
    node.parent = parent;
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        node.attributes.append({QString::fromUtf8(attribute->name), QString::fromUtf8(attribute->value)});
    }
    return node;
}

// The children to copy. A template's content is not part of the document in
// a browser either.
const GumboVector* ChildrenToCopy(const GumboNode* node)
{
    if (node->type == GUMBO_NODE_DOCUMENT)
        return &node->v.document.children;
    if (node->type == GUMBO_NODE_ELEMENT)
        return &node->v.element.children;
    return nullptr;
}

std::shared_ptr<const WebTree> CopyTree(const GumboNode* document)
{
    auto tree = std::make_shared<WebTree>();
    tree->nodes.push_back(Node{Node::Kind::Document, {}, {}, -1, 0});
    struct Frame {
        const GumboNode* node;
        unsigned next;
        int index;
    };
    std::vector<Frame> stack{{document, 0, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const GumboVector* children = ChildrenToCopy(top.node);
        if (children == nullptr || top.next >= children->length) {
            tree->nodes[std::size_t(top.index)].end = int(tree->nodes.size());
            stack.pop_back();
            continue;
        }
        const auto* child = static_cast<const GumboNode*>(children->data[top.next++]);
        const int parent = top.index;
        const int index = int(tree->nodes.size());
        switch (child->type) {
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE:
            tree->nodes.push_back(ElementNode(child->v.element, parent));
            stack.push_back({child, 0, index});
            break;
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA:
            tree->nodes.push_back(Node{Node::Kind::Text, QString::fromUtf8(child->v.text.text), {}, parent, index + 1});
            break;
        case GUMBO_NODE_COMMENT:
        case GUMBO_NODE_DOCUMENT:
            break;
        }
    }
    return tree;
}

// The tree of the page; nothing when stop became true on the way.
std::shared_ptr<const WebTree> Parse(const QByteArray& utf8, const std::atomic_bool* stop = nullptr)
{
    StoppableParse parse(stop);
    const GumboOutput* output = parse.run(utf8.constData(), std::size_t(utf8.size()));
    if (!output)
        return nullptr;
    return CopyTree(output->document);
}

// Elements that a browser does not render (display: none), so their text is
// no part of the inner text around them.
bool IsHidden(const WebTree& tree, int index)
{
    static const QSet<QString> hidden{
        QStringLiteral("head"), QStringLiteral("title"), QStringLiteral("script"),
        QStringLiteral("style"), QStringLiteral("template"), QStringLiteral("noscript"),
        QStringLiteral("meta"), QStringLiteral("link"), QStringLiteral("base"),
        QStringLiteral("datalist"), QStringLiteral("param"), QStringLiteral("source"),
        QStringLiteral("track"), QStringLiteral("area")};
    return hidden.contains(tree.nodes[std::size_t(index)].name)
        || tree.attribute(index, u"hidden") != nullptr;
}

// The line breaks a browser puts before and after the element: two for a
// paragraph, one for other blocks, none for inline elements.
int BlockBreaks(const QString& tag)
{
    static const QSet<QString> blocks{
        QStringLiteral("address"), QStringLiteral("article"), QStringLiteral("aside"),
        QStringLiteral("blockquote"), QStringLiteral("body"), QStringLiteral("caption"),
        QStringLiteral("center"), QStringLiteral("dd"), QStringLiteral("details"),
        QStringLiteral("dialog"), QStringLiteral("dir"), QStringLiteral("div"),
        QStringLiteral("dl"), QStringLiteral("dt"), QStringLiteral("fieldset"),
        QStringLiteral("figcaption"), QStringLiteral("figure"), QStringLiteral("footer"),
        QStringLiteral("form"), QStringLiteral("h1"), QStringLiteral("h2"),
        QStringLiteral("h3"), QStringLiteral("h4"), QStringLiteral("h5"),
        QStringLiteral("h6"), QStringLiteral("header"), QStringLiteral("hgroup"),
        QStringLiteral("hr"), QStringLiteral("html"), QStringLiteral("legend"),
        QStringLiteral("li"), QStringLiteral("listing"), QStringLiteral("main"),
        QStringLiteral("menu"), QStringLiteral("nav"), QStringLiteral("ol"),
        QStringLiteral("plaintext"), QStringLiteral("pre"), QStringLiteral("section"),
        QStringLiteral("summary"), QStringLiteral("table"), QStringLiteral("tr"),
        QStringLiteral("ul"), QStringLiteral("xmp")};
    if (tag == u"p")
        return 2;
    return blocks.contains(tag) ? 1 : 0;
}

bool KeepsWhiteSpace(const QString& tag)
{
    return tag == u"pre" || tag == u"textarea" || tag == u"listing" || tag == u"xmp"
        || tag == u"plaintext";
}

bool IsCell(const WebTree& tree, int index)
{
    return tree.isElement(index, u"td") || tree.isElement(index, u"th");
}

// Whether another cell follows the cell in its row.
bool HasNextCell(const WebTree& tree, int cell)
{
    const int parent = tree.nodes[std::size_t(cell)].parent;
    const int parentEnd = tree.nodes[std::size_t(parent)].end;
    for (int sibling = tree.nodes[std::size_t(cell)].end; sibling < parentEnd;
         sibling = tree.nodes[std::size_t(sibling)].end) {
        if (IsCell(tree, sibling))
            return true;
    }
    return false;
}

QString TextContent(const WebTree& tree, int index)
{
    QString text;
    for (int i = index + 1; i < tree.nodes[std::size_t(index)].end; ++i) {
        if (tree.nodes[std::size_t(i)].kind == Node::Kind::Text)
            text += tree.nodes[std::size_t(i)].name;
    }
    return text;
}

// Gathers inner text the way a browser lays it out: white space collapsed
// across element boundaries, none at the start or end of a line, and the
// line breaks that blocks require merged (the largest count wins) and dropped
// at the very start and end.
class TextCollector {
public:
    void addText(QStringView text, bool keepWhiteSpace)
    {
        for (QChar c : text) {
            if (!keepWhiteSpace && IsAsciiSpace(c)) {
                pendingSpace_ = pendingSpace_ || (!lineStart_ && pendingBreaks_ == 0);
                continue;
            }
            if (pendingSpace_)
                put(u' ');
            put(c);
        }
    }
    void requireBreaks(int count)
    {
        if (count == 0)
            return;
        pendingBreaks_ = std::max(pendingBreaks_, count);
        pendingSpace_ = false;
    }
    // <br>: a line break of its own, on top of any a block requires.
    void lineBreak() { putSeparator(u'\n'); }
    void cellBreak() { putSeparator(u'\t'); }

    QString result() const
    {
        qsizetype begin = 0;
        qsizetype end = text_.size();
        while (begin < end && IsAsciiSpace(text_[begin]))
            ++begin;
        while (end > begin && IsAsciiSpace(text_[end - 1]))
            --end;
        return text_.sliced(begin, end - begin);
    }

private:
    static bool IsAsciiSpace(QChar c)
    {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
    }
    void flushBreaks()
    {
        if (pendingBreaks_ > 0 && !text_.isEmpty()) {
            text_ += QString(pendingBreaks_, u'\n');
            lineStart_ = true;
        }
        pendingBreaks_ = 0;
    }
    void put(QChar c)
    {
        flushBreaks();
        text_ += c;
        lineStart_ = false;
        pendingSpace_ = false;
    }
    void putSeparator(QChar c)
    {
        flushBreaks();
        text_ += c;
        lineStart_ = true;
        pendingSpace_ = false;
    }

    QString text_;
    int pendingBreaks_ = 0;
    bool pendingSpace_ = false;
    bool lineStart_ = true;
};

QString InnerText(const WebTree& tree, int element)
{
    int keepWhiteSpace = 0;
    for (int i = element; i > 0; i = tree.nodes[std::size_t(i)].parent) {
        // An element that is not rendered has no layout to read text from:
        // browsers give its text content instead.
        if (IsHidden(tree, i))
            return TextContent(tree, element);
        if (KeepsWhiteSpace(tree.nodes[std::size_t(i)].name))
            ++keepWhiteSpace;
    }

    TextCollector text;
    std::vector<int> open;
    const int end = tree.nodes[std::size_t(element)].end;
    int i = element + 1;
    for (;;) {
        while (!open.empty() && i >= tree.nodes[std::size_t(open.back())].end) {
            const int closing = open.back();
            open.pop_back();
            const Node& node = tree.nodes[std::size_t(closing)];
            text.requireBreaks(BlockBreaks(node.name));
            if (IsCell(tree, closing) && HasNextCell(tree, closing))
                text.cellBreak();
            if (KeepsWhiteSpace(node.name))
                --keepWhiteSpace;
        }
        if (i >= end)
            break;
        const Node& node = tree.nodes[std::size_t(i)];
        if (node.kind == Node::Kind::Text) {
            text.addText(node.name, keepWhiteSpace > 0);
            ++i;
        } else if (IsHidden(tree, i)) {
            i = node.end;
        } else {
            if (node.name == u"br")
                text.lineBreak();
            text.requireBreaks(BlockBreaks(node.name));
            if (KeepsWhiteSpace(node.name))
                ++keepWhiteSpace;
            open.push_back(i);
            ++i;
        }
    }
    return text.result();
}

const std::shared_ptr<const WebTree>& EmptyTree()
{
    static const std::shared_ptr<const WebTree> empty = Parse(QByteArray());
    return empty;
}

// The descendants of root with the tag name, in document order.
std::vector<int> ElementsByTagName(const WebTree& tree, int root, QStringView name)
{
    std::vector<int> found;
    const bool any = name == u"*";
    for (int i = root + 1; i < tree.nodes[std::size_t(root)].end; ++i) {
        const Node& node = tree.nodes[std::size_t(i)];
        if (node.kind == Node::Kind::Element && (any || node.name.compare(name, Qt::CaseInsensitive) == 0))
            found.push_back(i);
    }
    return found;
}

} // namespace

WebElement::WebElement(std::shared_ptr<const WebTree> tree, int node)
    : tree_(std::move(tree))
    , node_(node)
{
}

QString WebElement::tagName() const
{
    return tree_ ? tree_->nodes[std::size_t(node_)].name : QString();
}

std::optional<QString> WebElement::GetAttribute(QStringView name) const
{
    if (!tree_)
        return std::nullopt;
    const QString* value = tree_->attribute(node_, name);
    return value ? std::optional<QString>(*value) : std::nullopt;
}

QList<WebElement> WebElement::GetElementsByTagName(QStringView name) const
{
    QList<WebElement> elements;
    if (tree_) {
        for (int index : ElementsByTagName(*tree_, node_, name))
            elements.append(WebElement(tree_, index));
    }
    return elements;
}

QString WebElement::InnerText() const
{
    return tree_ ? ::InnerText(*tree_, node_) : QString();
}

QString WebElement::textContent() const
{
    return tree_ ? TextContent(*tree_, node_) : QString();
}

WebDocument::WebDocument()
    : tree_(EmptyTree())
{
}

WebDocument::WebDocument(std::shared_ptr<const WebTree> tree)
    : tree_(std::move(tree))
{
}

WebDocument WebDocument::FromHtml(QStringView html)
{
    return WebDocument(Parse(html.toUtf8()));
}

WebDocument WebDocument::FromBytes(QByteArrayView page, QByteArrayView contentType)
{
    return FromHtml(WebCharset::DecodePage(page, contentType));
}

std::optional<WebDocument> WebDocument::FromBytes(QByteArrayView page, QByteArrayView contentType,
                                                  const std::atomic_bool& stop)
{
    auto tree = Parse(WebCharset::DecodePage(page, contentType).toUtf8(), &stop);
    if (!tree)
        return std::nullopt;
    return WebDocument(std::move(tree));
}

WebElement WebDocument::GetElementById(QStringView id) const
{
    if (id.isEmpty())
        return {};
    for (int i = 1; i < int(tree_->nodes.size()); ++i) {
        if (tree_->nodes[std::size_t(i)].kind != Node::Kind::Element)
            continue;
        const QString* value = tree_->attribute(i, u"id");
        if (value && *value == id)
            return WebElement(tree_, i);
    }
    return {};
}

QList<WebElement> WebDocument::GetElementsByTagName(QStringView name) const
{
    QList<WebElement> elements;
    for (int index : ElementsByTagName(*tree_, 0, name))
        elements.append(WebElement(tree_, index));
    return elements;
}

WebElement WebDocument::documentElement() const
{
    for (int i = 1; i < int(tree_->nodes.size()); i = tree_->nodes[std::size_t(i)].end) {
        if (tree_->nodes[std::size_t(i)].kind == Node::Kind::Element)
            return WebElement(tree_, i);
    }
    return {};
}

WebElement WebDocument::body() const
{
    const WebElement html = documentElement();
    if (html.isNull())
        return {};
    for (int i = html.node_ + 1; i < tree_->nodes[std::size_t(html.node_)].end; i = tree_->nodes[std::size_t(i)].end) {
        if (tree_->isElement(i, u"body") || tree_->isElement(i, u"frameset"))
            return WebElement(tree_, i);
    }
    return {};
}

std::optional<QString> WebDocument::baseHref() const
{
    for (const WebElement& base : GetElementsByTagName(u"base")) {
        if (auto href = base.GetAttribute(u"href"))
            return href;
    }
    return std::nullopt;
}
