#include "ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

bool CanCreateFilesIn(const QString& folder)
{
    if (folder.isEmpty() || !QDir(folder).exists())
        return false;
    // Permission bits do not tell the whole story (read-only mounts, root):
    // try it.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".ritrax-probe-XXXXXX")));
    return probe.open();
}

// An installed program lives in a system folder, writable for root alone;
// working files never go there, whoever runs it.
bool IsSystemFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder) + u'/';
    for (const char* system : {"/usr/", "/bin/", "/sbin/", "/opt/", "/lib/", "/snap/"})
        if (clean.startsWith(QLatin1String(system)))
            return true;
    return false;
}

} // namespace

QString WorkFolder(const QString& programFolder)
{
    if (!IsSystemFolder(programFolder) && CanCreateFilesIn(programFolder))
        return QDir::cleanPath(programFolder);
    const QString userFolder
        = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kelm");
    QDir().mkpath(userFolder);
    return QDir::cleanPath(userFolder);
}

ProgramFolders ProgramFolders::ForApplication()
{
    return For(QCoreApplication::applicationDirPath());
}

ProgramFolders ProgramFolders::For(const QString& programFolder)
{
    return ProgramFolders{QDir::cleanPath(programFolder), WorkFolder(programFolder)};
}

QString ProgramFolders::WorkFile(const QString& name) const
{
    return QDir(workFolder).filePath(name);
}

bool MakeFolderCurrent(const QString& folder)
{
    return !folder.isEmpty() && QDir::setCurrent(folder);
}
