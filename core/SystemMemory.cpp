#include "SystemMemory.h"

#include <QFile>
#include <QList>

std::optional<long long> AvailableMemoryBytes()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    while (!meminfo.atEnd()) {
        const QByteArray line = meminfo.readLine();
        if (!line.startsWith("MemAvailable:"))
            continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        bool ok = false;
        const long long kib = fields.size() >= 2 ? fields[1].toLongLong(&ok) : 0;
        if (ok)
            return kib * 1024;
    }
    return std::nullopt;
}
