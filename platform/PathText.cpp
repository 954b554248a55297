#include "PathText.h"

QString FolderOfStoredPath(const QString& text)
{
    const qsizetype separator = qMax(text.lastIndexOf(u'\\'), text.lastIndexOf(u'/'));
    if (separator < 0)
        return text;
    if (separator == 0 && text[0] == u'/')
        return QStringLiteral("/");
    return text.left(separator);
}
