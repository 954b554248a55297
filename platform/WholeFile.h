#pragma once
// Files written whole or not at all: the bytes go to a temporary file beside
// the target, and only a complete copy replaces it. A short write (a full
// disk, a file-size limit) is caught, so a failure never leaves a truncated
// file in place of a good one.

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

bool WriteWholeFile(const QString& path, const QByteArray& bytes);

// Several files at once: every one is complete beside its target, and
// flushed to the disk, before any target is replaced.
bool WriteWholeFiles(const QList<std::pair<QString, QByteArray>>& files);
