#include "PropertyBag.h"

#include "Numbers.h"

#include <algorithm>
#include <limits>

namespace {

// A number or boolean as a 64-bit number; false when the value is neither.
bool AsNumber(const PropertyValue& value, long long& number)
{
    if (const auto* i = std::get_if<qint32>(&value))
        number = *i;
    else if (const auto* s = std::get_if<qint16>(&value))
        number = *s;
    else if (const auto* b = std::get_if<bool>(&value))
        number = *b ? -1 : 0;
    else if (const auto* t = std::get_if<QString>(&value))
        number = Numbers::LenientInteger(*t);
    else
        return false;
    return true;
}

} // namespace

void PropertyBag::WriteProperty(const QString& key, const PropertyValue& value)
{
    for (Entry& e : entries_) {
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
            e.value = value;
            return;
        }
    }
    entries_.append({key.toLower(), value});
}

const PropertyValue* PropertyBag::find(QStringView key) const
{
    for (const Entry& e : entries_)
        if (QStringView(e.key).compare(key, Qt::CaseInsensitive) == 0)
            return &e.value;
    return nullptr;
}

qint32 PropertyBag::ReadInt32(QStringView key, qint32 fallback) const
{
    long long n = 0;
    const PropertyValue* v = find(key);
    if (!v || !AsNumber(*v, n))
        return fallback;
    // Colours above 0x7FFFFFFF arrive as unsigned text; keep their bits.
    if (n > std::numeric_limits<qint32>::max() && n <= std::numeric_limits<quint32>::max())
        return static_cast<qint32>(static_cast<quint32>(n));
    return static_cast<qint32>(std::clamp<long long>(n, std::numeric_limits<qint32>::min(),
                                                 std::numeric_limits<qint32>::max()));
}

qint16 PropertyBag::ReadInt16(QStringView key, qint16 fallback) const
{
    long long n = 0;
    const PropertyValue* v = find(key);
    if (!v || !AsNumber(*v, n))
        return fallback;
    return Numbers::ClampInt16(n);
}

bool PropertyBag::ReadBool(QStringView key, bool fallback) const
{
    long long n = 0;
    const PropertyValue* v = find(key);
    if (!v)
        return fallback;
    if (const auto* t = std::get_if<QString>(v)) {
        if (t->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t->compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    if (!AsNumber(*v, n))
        return fallback;
    return n != 0;
}

QString PropertyBag::ReadString(QStringView key, const QString& fallback) const
{
    const PropertyValue* v = find(key);
    if (!v)
        return fallback;
    if (const auto* t = std::get_if<QString>(v))
        return *t;
    if (const auto* b = std::get_if<bool>(v))
        return *b ? QStringLiteral("True") : QStringLiteral("False");
    long long n = 0;
    if (AsNumber(*v, n))
        return QString::number(n);
    return fallback;
}

StoredFont PropertyBag::ReadFont(QStringView key, const StoredFont& fallback) const
{
    const PropertyValue* v = find(key);
    const auto* f = v ? std::get_if<StoredFont>(v) : nullptr;
    return f ? *f : fallback;
}

ButtonPicture PropertyBag::ReadPicture(QStringView key) const
{
    const PropertyValue* v = find(key);
    const auto* p = v ? std::get_if<ButtonPicture>(v) : nullptr;
    return p ? *p : ButtonPicture();
}
