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

// Whether a file may be written at path: nothing is there yet, or a regular
// file is, directly or through symbolic links. A folder, a device, a FIFO or
// a socket is never replaced by a file (nor written into, which could block).
bool IsReplaceable(const QString& path);

// Several files at once: every one is complete beside its target, and
// flushed to the disk, before any target is replaced. Nothing is written
// when any target is not replaceable.
bool WriteWholeFiles(const QList<std::pair<QString, QByteArray>>& files);
