#pragma once
// ritrax-cli run as a script runs it: its exit code and both streams.

#include <QProcess>
#include <QString>
#include <QStringList>

struct CliRun {
    int code = -1; // -1: it did not end normally within a minute
    QString out;
    QString err;
};

inline CliRun RunCli(const QStringList& arguments, const QString& folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(RITRAX_CLI_PATH), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
