#include "PathText.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString FolderOfStoredPath(const QString& text)
{
    const qsizetype separator = qMax(text.lastIndexOf(u'\\'), text.lastIndexOf(u'/'));
    if (separator < 0)
        return text;
    if (separator == 0 && text[0] == u'/')
        return QStringLiteral("/");
    return text.left(separator);
}

QString UsableFolder(const QString& folder)
{
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}
