#include "FileFilter.h"

namespace FileFilter {

QStringList ToNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patternText = i + 1 < parts.size() ? parts[i + 1] : QString();
        if (description.isEmpty() && patternText.trimmed().isEmpty())
            continue;
        QStringList patterns;
        for (QString p : patternText.split(u';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p.isEmpty())
                continue;
            if (p == u"*.*")
                p = QStringLiteral("*");
            if (!patterns.contains(p))
                patterns << p;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        result << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

} // namespace FileFilter
