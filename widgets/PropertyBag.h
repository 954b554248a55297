#pragma once
// The stored properties of one control in a window layout: an ordered list
// of named, typed values. Keys are compared without regard to case and kept
// in lower case. Reads of a key that is absent give the caller's default;
// numbers and booleans convert into each other (true is -1).

#include "ButtonPicture.h"

#include <QList>
#include <QString>

#include <variant>

// A font object: what a layout keeps of a font.
struct StoredFont {
    QString name = QStringLiteral("Arial");
    double size = 12;   // points
    int weight = 400;   // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    int charset = 0;
    bool operator==(const StoredFont&) const = default;
};

enum class PropertyType { Int32, Int16, Boolean, String, Font, Picture };

// The alternatives in the order of PropertyType.
using PropertyValue = std::variant<qint32, qint16, bool, QString, StoredFont, ButtonPicture>;

inline PropertyType TypeOf(const PropertyValue& value) { return static_cast<PropertyType>(value.index()); }

class PropertyBag {
public:
    struct Entry {
        QString key; // lower case
        PropertyValue value;
    };

    // Stores the value under the lower-cased key: in place of a value the
    // key already has, else at the end.
    void WriteProperty(const QString& key, const PropertyValue& value);
    const PropertyValue* find(QStringView key) const;
    bool contains(QStringView key) const { return find(key) != nullptr; }
    const QList<Entry>& entries() const { return entries_; }

    qint32 ReadInt32(QStringView key, qint32 fallback) const;
    qint16 ReadInt16(QStringView key, qint16 fallback) const;
    bool ReadBool(QStringView key, bool fallback) const;
    QString ReadString(QStringView key, const QString& fallback) const;
    StoredFont ReadFont(QStringView key, const StoredFont& fallback) const;
    ButtonPicture ReadPicture(QStringView key) const; // null picture when absent

private:
    QList<Entry> entries_;
};
