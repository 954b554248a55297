#include "ScriptedScanner.h"

#include <QFile>

int ScriptedScanner::TWAIN_AcquireToFilename(QWidget*, const QString& path)
{
    acquiredPaths << path;
    if (results_.empty())
        return 1;
    const QString page = results_.front();
    results_.pop_front();
    if (page.isEmpty())
        return 1;
    QFile::remove(path);
    return QFile::copy(page, path) ? 0 : 1;
}

void ScriptedScanner::TWAIN_SelectImageSource(QWidget*)
{
    ++selections;
}
