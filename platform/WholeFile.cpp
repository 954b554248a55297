#include "WholeFile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

bool IsReplaceable(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT; // a dangling link is written through, as before
    return S_ISREG(status.st_mode);
}

bool WriteWholeFiles(const QList<std::pair<QString, QByteArray>>& files)
{
    for (const auto& file : files) {
        if (!IsReplaceable(file.first))
            return false;
    }
    std::vector<std::unique_ptr<QSaveFile>> pending;
    for (const auto& [path, bytes] : files) {
        auto file = std::make_unique<QSaveFile>(path);
        // Unbuffered: a buffered write reports every byte taken even when the
        // disk later takes only part of them.
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file->write(bytes) != bytes.size()) {
            file->cancelWriting();
            return false;
        }
        pending.push_back(std::move(file));
    }
    // Every new file is on the disk before the first replaces its target:
    // a crash between two replacements must not leave a new file beside an
    // older companion that the next start finds half written.
    for (auto& file : pending) {
        if (::fsync(file->handle()) != 0) {
            for (auto& f : pending)
                f->cancelWriting();
            return false;
        }
    }
    bool all = true;
    for (auto& file : pending)
        all = file->commit() && all;
    return all;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    return WriteWholeFiles({{path, bytes}});
}
