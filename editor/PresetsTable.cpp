#include "PresetsTable.h"

#include "Numbers.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace PresetsTable {

std::vector<ScrollValues> MatchingRows(const QByteArray& content, int width, int height, const EditorKind& kind)
{
    std::vector<ScrollValues> rows;
    const QString text = QString::fromLatin1(content);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QList<QStringView> fields = line.split(u' ');
        if (fields.size() < 4)
            continue;
        const auto field = [&](int column) { return Numbers::LenientNumber(fields[column - 1]); };
        const float minW = float(field(1)), maxW = float(field(2));
        const float minH = float(field(3)), maxH = float(field(4));
        const float w = float(width), h = float(height);
        if (!(minW <= w && w <= maxW && minH <= h && h <= maxH))
            continue;
        if (fields.size() < qMax(kind.presetColumnSh, kind.presetColumnSv))
            continue;
        rows.push_back({int(Numbers::ToInt16(field(kind.presetColumnSh))),
                        int(Numbers::ToInt16(field(kind.presetColumnSv)))});
    }
    return rows;
}

QStringList Locations(const QString& programFolder)
{
    return {QDir(programFolder).filePath(QStringLiteral("formati.txt")),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                + QStringLiteral("/Kelm/formati.txt")};
}

QByteArray Read(const QString& programFolder)
{
    for (const QString& path : Locations(programFolder)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            return file.readAll();
    }
    return {};
}

} // namespace PresetsTable
