#include "SystemMemory.h"

#include <QFile>
#include <QList>

#include <algorithm>

#include <sys/resource.h>

namespace {

// The figure in KiB after key in a /proc file of "Key:   1234 kB" lines.
// Such a file reports a size of 0, so it is read to its end, never tested
// with atEnd().
std::optional<long long> KibField(const QString& file, QByteArrayView key)
{
    QFile proc(file);
    if (!proc.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    for (const QByteArray& line : proc.readAll().split('\n')) {
        if (!line.startsWith(key))
            continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        bool ok = false;
        const long long kib = fields.size() >= 2 ? fields[1].toLongLong(&ok) : 0;
        return ok ? std::optional<long long>(kib) : std::nullopt;
    }
    return std::nullopt;
}

// What is left under the soft limit of resource, of which used is taken;
// nothing when there is no limit.
std::optional<long long> Headroom(int resource, std::optional<long long> usedKib)
{
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    const long long cap = limit.rlim_cur > rlim_t(LLONG_MAX) ? LLONG_MAX : (long long)(limit.rlim_cur);
    return std::max(0LL, cap - usedKib.value_or(0) * 1024);
}

} // namespace

std::optional<long long> AvailableMemoryBytes()
{
    std::optional<long long> available;
    if (const std::optional<long long> kib = KibField(QStringLiteral("/proc/meminfo"), "MemAvailable:"))
        available = *kib * 1024;
    // A limit on the address space (ulimit -v) or on the data segment
    // (ulimit -d) ends an allocation long before the machine runs short.
    const QString status = QStringLiteral("/proc/self/status");
    for (const auto& [resource, key] : {std::pair{RLIMIT_AS, QByteArrayView("VmSize:")},
                                        std::pair{RLIMIT_DATA, QByteArrayView("VmData:")}}) {
        if (const std::optional<long long> room = Headroom(resource, KibField(status, key)))
            available = available ? std::min(*available, *room) : *room;
    }
    return available;
}
