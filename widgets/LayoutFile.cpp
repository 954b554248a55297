#include "LayoutFile.h"

#include "Numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

struct Token {
    QString text;
    bool quoted = false;
};

// Splits a value into words and quoted strings; false on an open quote.
bool Tokenize(QStringView s, QList<Token>& out)
{
    qsizetype i = 0;
    while (i < s.size()) {
        if (s[i].isSpace()) {
            ++i;
            continue;
        }
        Token t;
        if (s[i] == u'"') {
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < s.size()) {
                const QChar ch = s[i++];
                if (ch == u'"') {
                    closed = true;
                    break;
                }
                if (ch == u'\\' && i < s.size()) {
                    const QChar e = s[i++];
                    t.text += e == u'r' ? QChar(u'\r') : e == u'n' ? QChar(u'\n') : e == u't' ? QChar(u'\t') : e;
                } else {
                    t.text += ch;
                }
            }
            if (!closed)
                return false;
        } else {
            while (i < s.size() && !s[i].isSpace())
                t.text += s[i++];
        }
        out.append(t);
    }
    return true;
}

QString Quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default: out += ch; break;
        }
    }
    return out + u'"';
}

bool ToLong(const Token& t, long long& n)
{
    bool ok = false;
    n = t.text.toLongLong(&ok);
    return ok && !t.quoted;
}

bool ToBool(const Token& t, bool& b)
{
    if (t.quoted)
        return false;
    if (t.text == QLatin1String("true"))
        b = true;
    else if (t.text == QLatin1String("false"))
        b = false;
    else
        return false;
    return true;
}

std::optional<PropertyValue> ParseFont(const QList<Token>& t)
{
    if (t.size() != 8 || !t[1].quoted)
        return std::nullopt;
    StoredFont f;
    f.name = t[1].text;
    bool sizeOk = false;
    f.size = t[2].text.toDouble(&sizeOk);
    long long weight = 0;
    long long charset = 0;
    if (!sizeOk || !ToLong(t[3], weight) || !ToBool(t[4], f.italic) || !ToBool(t[5], f.underline)
        || !ToBool(t[6], f.strikethrough) || !ToLong(t[7], charset))
        return std::nullopt;
    f.weight = static_cast<int>(weight);
    f.charset = static_cast<int>(charset);
    return f;
}

std::optional<PropertyValue> ParsePicture(const QList<Token>& t, const QString& baseFolder, QString& why)
{
    if (t.size() != 2 && t.size() != 3)
        return std::nullopt;
    if (t.size() == 2 && !t[1].quoted && t[1].text == QLatin1String("none"))
        return ButtonPicture();
    if (t.size() == 3 && t[1].text == QLatin1String("base64")) {
        const ButtonPicture p = ButtonPicture::FromFileImage(QByteArray::fromBase64(t[2].text.toLatin1()));
        if (p.isNull())
            why = QStringLiteral("immagine non valida");
        return p.isNull() ? std::nullopt : std::optional<PropertyValue>(p);
    }
    if (t.size() != 2 || !t[1].quoted)
        return std::nullopt;
    const QString& path = t[1].text;
    const bool absolute = path.startsWith(u':') || QFileInfo(path).isAbsolute();
    QFile file(absolute ? path : QDir(baseFolder).filePath(path));
    if (!file.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("immagine non trovata: ") + path;
        return std::nullopt;
    }
    const ButtonPicture p = ButtonPicture::FromFileImage(file.readAll(), path);
    if (p.isNull()) {
        why = QStringLiteral("immagine non valida: ") + path;
        return std::nullopt;
    }
    return p;
}

std::optional<PropertyValue> ParseValue(const QList<Token>& t, const QString& baseFolder, QString& why)
{
    if (t.isEmpty() || t[0].quoted)
        return std::nullopt;
    const QString& type = t[0].text;
    if (type == QLatin1String("string"))
        return t.size() == 2 && t[1].quoted ? std::optional<PropertyValue>(t[1].text) : std::nullopt;
    if (type == QLatin1String("font"))
        return ParseFont(t);
    if (type == QLatin1String("picture"))
        return ParsePicture(t, baseFolder, why);
    if (t.size() != 2)
        return std::nullopt;
    long long n = 0;
    bool b = false;
    if (type == QLatin1String("int32") && ToLong(t[1], n) && n >= -2147483648LL && n <= 2147483647LL)
        return PropertyValue(static_cast<qint32>(n));
    if (type == QLatin1String("int16") && ToLong(t[1], n) && n >= -32768 && n <= 32767)
        return PropertyValue(static_cast<qint16>(n));
    if (type == QLatin1String("bool") && ToBool(t[1], b))
        return PropertyValue(b);
    return std::nullopt;
}

QString FormatValue(const PropertyValue& value)
{
    switch (TypeOf(value)) {
    case PropertyType::Int32: return QStringLiteral("int32 ") + QString::number(std::get<qint32>(value));
    case PropertyType::Int16: return QStringLiteral("int16 ") + QString::number(std::get<qint16>(value));
    case PropertyType::Boolean:
        return std::get<bool>(value) ? QStringLiteral("bool true") : QStringLiteral("bool false");
    case PropertyType::String: return QStringLiteral("string ") + Quoted(std::get<QString>(value));
    case PropertyType::Font: {
        const StoredFont& f = std::get<StoredFont>(value);
        const auto flag = [](bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); };
        return QStringLiteral("font %1 %2 %3 %4 %5 %6 %7")
            .arg(Quoted(f.name), QString::number(f.size), QString::number(f.weight), flag(f.italic),
                 flag(f.underline), flag(f.strikethrough), QString::number(f.charset));
    }
    case PropertyType::Picture: {
        const ButtonPicture& p = std::get<ButtonPicture>(value);
        if (p.isNull())
            return QStringLiteral("picture none");
        if (!p.source().isEmpty())
            return QStringLiteral("picture ") + Quoted(p.source());
        return QStringLiteral("picture base64 ") + QString::fromLatin1(p.fileImage().toBase64());
    }
    }
    return {};
}

} // namespace

std::optional<QList<StoredControl>> ParseLayout(const QString& text, const QString& baseFolder, QString* error)
{
    QList<StoredControl> controls;
    const QStringList lines = text.split(u'\n');
    const auto fail = [&](qsizetype index, const QString& why) {
        if (error)
            *error = QStringLiteral("riga %1: %2").arg(index + 1).arg(why);
        return std::nullopt;
    };
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']') || line.size() < 3)
                return fail(n, QStringLiteral("intestazione non valida"));
            controls.append(StoredControl{line.mid(1, line.size() - 2).trimmed(), {}, 0, 0, {}});
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            return fail(n, QStringLiteral("manca «=»"));
        if (controls.isEmpty())
            return fail(n, QStringLiteral("proprietà fuori da un controllo"));
        StoredControl& control = controls.last();
        const QString key = line.left(eq).trimmed();
        const QString rest = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("class")) {
            control.className = rest;
            continue;
        }
        if (key == QLatin1String("left") || key == QLatin1String("top")) {
            bool ok = false;
            const int v = rest.toInt(&ok);
            if (!ok)
                return fail(n, QStringLiteral("posizione non valida"));
            (key == QLatin1String("left") ? control.left : control.top) = v;
            continue;
        }
        QList<Token> tokens;
        if (!Tokenize(rest, tokens))
            return fail(n, QStringLiteral("virgolette non chiuse"));
        QString why;
        const std::optional<PropertyValue> value = ParseValue(tokens, baseFolder, why);
        if (!value)
            return fail(n, why.isEmpty() ? QStringLiteral("valore non valido per «%1»").arg(key) : why);
        control.bag.WriteProperty(key, *value);
    }
    return controls;
}

std::optional<QList<StoredControl>> ReadLayoutFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("impossibile leggere ") + path;
        return std::nullopt;
    }
    QString why;
    auto controls = ParseLayout(QString::fromUtf8(file.readAll()), QFileInfo(path).absolutePath(), &why);
    if (!controls && error)
        *error = path + QStringLiteral(", ") + why;
    return controls;
}

QString FormatLayout(const QList<StoredControl>& controls)
{
    QString out;
    for (const StoredControl& c : controls) {
        if (!out.isEmpty())
            out += u'\n';
        out += u'[' + c.name + QStringLiteral("]\n");
        out += QStringLiteral("class = ") + c.className + u'\n';
        out += QStringLiteral("left = %1\ntop = %2\n").arg(c.left).arg(c.top);
        for (const PropertyBag::Entry& e : c.bag.entries())
            out += e.key + QStringLiteral(" = ") + FormatValue(e.value) + u'\n';
    }
    return out;
}

int PixelsToHimetric(int pixels)
{
    return static_cast<int>(Numbers::RoundHalfEven(pixels * 2540.0 / 96.0));
}

int HimetricToPixels(int himetric)
{
    return static_cast<int>(Numbers::RoundHalfEven(himetric * 96.0 / 2540.0));
}
