#include "WebCharset.h"

#include <QStringDecoder>

#include <array>
#include <cctype>
#include <optional>
#include <utility>

namespace {

bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

QByteArray AsciiLower(QByteArrayView text)
{
    QByteArray lower(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        lower[i] = AsciiLower(text[i]);
    return lower;
}

bool StartsWithNoCase(QByteArrayView text, qsizetype at, QByteArrayView prefix)
{
    if (at + prefix.size() > text.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[at + i]) != prefix[i])
            return false;
    }
    return true;
}

QByteArrayView Trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsAsciiSpace(text[begin]))
        ++begin;
    while (end > begin && IsAsciiSpace(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// The labels browsers accept for the encodings we handle ourselves; any other
// label is handed to the text converters, which know more when Qt has ICU.
QByteArray Canonical(QByteArrayView label)
{
    const QByteArray name = AsciiLower(Trimmed(label));
    if (name.isEmpty())
        return {};
    static const std::array<const char*, 3> utf8{"utf-8", "utf8", "unicode-1-1-utf-8"};
    for (const char* known : utf8) {
        if (name == known)
            return "utf-8";
    }
    static const std::array<const char*, 17> latin{
        "windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1", "iso88591",
        "iso_8859-1", "iso_8859-1:1987", "iso-ir-100", "l1", "latin1", "csisolatin1",
        "cp819", "ibm819", "us-ascii", "ascii", "ansi_x3.4-1968"};
    for (const char* known : latin) {
        if (name == known)
            return "windows-1252";
    }
    if (name == "utf-16le" || name == "utf-16")
        return "utf-16le";
    if (name == "utf-16be")
        return "utf-16be";
    if (QStringDecoder(name.constData()).isValid())
        return name;
    return {};
}

// The 32 places where windows-1252 differs from ISO-8859-1; the five holes
// keep their C1 code points, as browsers decode them.
constexpr std::array<char16_t, 32> Windows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = (byte >= 0x80 && byte <= 0x9F) ? QChar(Windows1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QByteArray FromByteOrderMark(QByteArrayView page)
{
    if (page.startsWith("\xEF\xBB\xBF"))
        return "utf-8";
    if (page.startsWith("\xFF\xFE"))
        return "utf-16le";
    if (page.startsWith("\xFE\xFF"))
        return "utf-16be";
    return {};
}

// One attribute of a tag at pos, as the encoding prescan reads it; nothing at
// the end of the tag. pos is left after the attribute, or on the '>'.
std::optional<std::pair<QByteArray, QByteArray>> ReadAttribute(QByteArrayView text, qsizetype& pos)
{
    while (pos < text.size() && (IsAsciiSpace(text[pos]) || text[pos] == '/'))
        ++pos;
    if (pos >= text.size() || text[pos] == '>')
        return std::nullopt;
    QByteArray name;
    while (pos < text.size() && !IsAsciiSpace(text[pos]) && text[pos] != '/' && text[pos] != '>'
           && (text[pos] != '=' || name.isEmpty()))
        name += AsciiLower(text[pos++]);
    while (pos < text.size() && IsAsciiSpace(text[pos]))
        ++pos;
    if (pos >= text.size() || text[pos] != '=')
        return std::pair{name, QByteArray()};
    ++pos;
    while (pos < text.size() && IsAsciiSpace(text[pos]))
        ++pos;
    QByteArray value;
    if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
        const char quote = text[pos++];
        while (pos < text.size() && text[pos] != quote)
            value += AsciiLower(text[pos++]);
        ++pos;
    } else {
        while (pos < text.size() && !IsAsciiSpace(text[pos]) && text[pos] != '>')
            value += AsciiLower(text[pos++]);
    }
    return std::pair{name, value};
}

// The encoding a <meta> tag whose attributes start at pos declares.
QByteArray FromMetaAttributes(QByteArrayView text, qsizetype& pos)
{
    QByteArray charset;
    QByteArray contentCharset;
    bool contentTypePragma = false;
    while (auto attribute = ReadAttribute(text, pos)) {
        const auto& [name, value] = *attribute;
        if (name == "charset" && charset.isEmpty())
            charset = value;
        else if (name == "http-equiv")
            contentTypePragma = contentTypePragma || value == "content-type";
        else if (name == "content" && contentCharset.isEmpty())
            contentCharset = WebCharset::FromContentType(value);
    }
    QByteArray found = Canonical(charset.isEmpty() && contentTypePragma ? contentCharset : charset);
    // A page that could be read as ASCII cannot really be UTF-16.
    if (found.startsWith("utf-16"))
        found = "utf-8";
    return found;
}

} // namespace

namespace WebCharset {

QByteArray FromContentType(QByteArrayView contentType)
{
    qsizetype pos = 0;
    while (pos < contentType.size()) {
        if (!StartsWithNoCase(contentType, pos, "charset")) {
            ++pos;
            continue;
        }
        pos += 7;
        while (pos < contentType.size() && IsAsciiSpace(contentType[pos]))
            ++pos;
        if (pos >= contentType.size() || contentType[pos] != '=')
            continue;
        ++pos;
        while (pos < contentType.size() && IsAsciiSpace(contentType[pos]))
            ++pos;
        if (pos < contentType.size() && (contentType[pos] == '"' || contentType[pos] == '\'')) {
            const char quote = contentType[pos];
            const qsizetype close = contentType.indexOf(quote, pos + 1);
            if (close < 0)
                return {};
            return contentType.sliced(pos + 1, close - pos - 1).toByteArray();
        }
        qsizetype end = pos;
        while (end < contentType.size() && !IsAsciiSpace(contentType[end]) && contentType[end] != ';')
            ++end;
        return contentType.sliced(pos, end - pos).toByteArray();
    }
    return {};
}

QByteArray FromMeta(QByteArrayView page)
{
    const QByteArrayView head = page.first(qMin<qsizetype>(page.size(), 1024));
    qsizetype pos = 0;
    while (pos < head.size()) {
        if (head.sliced(pos).startsWith("<!--")) {
            const qsizetype close = head.indexOf("-->", pos + 2);
            if (close < 0)
                return {};
            pos = close + 3;
        } else if (StartsWithNoCase(head, pos, "<meta") && pos + 5 < head.size()
                   && (IsAsciiSpace(head[pos + 5]) || head[pos + 5] == '/')) {
            pos += 5;
            const QByteArray found = FromMetaAttributes(head, pos);
            if (!found.isEmpty())
                return found;
        } else if (head[pos] == '<' && pos + 1 < head.size()
                   && (std::isalpha(static_cast<unsigned char>(head[pos + 1])) || head[pos + 1] == '/')) {
            // Another tag: step over its attributes so that a quoted '>' or
            // "<meta" inside one is not taken for markup.
            pos += 2;
            while (pos < head.size() && !IsAsciiSpace(head[pos]) && head[pos] != '>')
                ++pos;
            while (ReadAttribute(head, pos)) {
            }
            ++pos;
        } else {
            ++pos;
        }
    }
    return {};
}

QByteArray Sniff(QByteArrayView page, QByteArrayView contentType)
{
    QByteArray found = FromByteOrderMark(page);
    if (found.isEmpty())
        found = Canonical(FromContentType(contentType));
    if (found.isEmpty())
        found = FromMeta(page);
    return found.isEmpty() ? QByteArray("utf-8") : found;
}

QString Decode(QByteArrayView bytes, QByteArrayView label)
{
    QByteArray name = Canonical(label);
    if (name.isEmpty())
        name = "utf-8";
    if (name == "windows-1252")
        return DecodeWindows1252(bytes);
    QStringDecoder decoder;
    if (name == "utf-8")
        decoder = QStringDecoder(QStringConverter::Utf8);
    else if (name == "utf-16le")
        decoder = QStringDecoder(QStringConverter::Utf16LE);
    else if (name == "utf-16be")
        decoder = QStringDecoder(QStringConverter::Utf16BE);
    else
        decoder = QStringDecoder(name.constData());
    // The decoders drop a leading byte order mark of their own encoding.
    return decoder.decode(bytes);
}

QString DecodePage(QByteArrayView page, QByteArrayView contentType)
{
    return Decode(page, Sniff(page, contentType));
}

} // namespace WebCharset
