#include "ScriptedScanner.h"

#include <QFile>

void ScriptedScanner::queuePicture(const QString& picturePath)
{
    answers_.push_back({picturePath, 0});
}

void ScriptedScanner::queueFailure(int result)
{
    answers_.push_back({QString(), result == 0 ? 1 : result});
}

int ScriptedScanner::TWAIN_AcquireToFilename(QWidget*, const QString& path)
{
    ++acquireCalls;
    acquiredPaths.append(path);
    if (onAcquire)
        onAcquire();
    if (answers_.empty()) {
        ++unanswered;
        return 1;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    if (answer.picture.isEmpty())
        return answer.result;
    // Replaces the target as a scanner would; a copy that fails counts as a
    // failed acquisition, with the target left alone.
    const QString temporary = path + QStringLiteral(".scan");
    QFile::remove(temporary);
    if (!QFile::copy(answer.picture, temporary))
        return 1;
    QFile::remove(path);
    if (!QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        return 1;
    }
    return 0;
}

void ScriptedScanner::TWAIN_SelectImageSource(QWidget*)
{
    ++selectCalls;
}
