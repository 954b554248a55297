#include "DesktopOpen.h"

#include <QDir>

namespace DesktopOpen {

namespace {

// Qt counts file://server/x as local and gives //server/x, which on this
// system names /server/x: another machine's file is not one of ours.
std::optional<QString> LocalFile(const QUrl& url)
{
    const QString host = url.host();
    if (!url.isLocalFile() || !(host.isEmpty() || host == QLatin1String("localhost")))
        return std::nullopt;
    QUrl here = url;
    here.setHost(QString());
    return here.toLocalFile();
}

} // namespace

std::optional<QString> FileFromArguments(const QStringList& arguments, const QString& startFolder)
{
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.startsWith(u'-'))
            continue;
        QString path = argument;
        // A launcher given %u hands over file: URLs; anything else is a name.
        if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            const std::optional<QString> local = LocalFile(QUrl(argument));
            if (!local)
                return std::nullopt;
            path = *local;
        }
        return QDir::cleanPath(QDir(startFolder).absoluteFilePath(path));
    }
    return std::nullopt;
}

Dropped FileFromDrop(const QList<QUrl>& urls)
{
    if (urls.isEmpty())
        return {};
    // Several pictures at once would leave one of them silently unused.
    if (urls.size() > 1)
        return {QString(), SeveralFiles};
    const std::optional<QString> local = LocalFile(urls.first());
    if (!local)
        return {QString(), NotLocal};
    return {*local, QString()};
}

} // namespace DesktopOpen
