#include "sheet/SheetMemory.h"

#include <QFile>

#include <sys/resource.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace SheetMemory {
namespace {

constexpr qint64 Unknown = -1;
qint64 g_override = Unknown;

// A "Key:   123 kB" line of a /proc file, in bytes; Unknown when missing.
qint64 procValue(const char* file, const QByteArray& key) {
    QFile f(QString::fromLatin1(file));
    if (!f.open(QIODevice::ReadOnly))
        return Unknown;
    const QByteArray prefix = key + ':';
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (!line.startsWith(prefix))
            continue;
        bool ok = false;
        const qint64 kilobytes =
            line.mid(prefix.size()).simplified().split(' ').value(0).toLongLong(&ok);
        return ok ? kilobytes * 1024 : Unknown;
    }
    return Unknown;
}

// What a resource limit leaves beyond what is in use; max when there is no limit.
qint64 leftUnder(int resource, qint64 used) {
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || used < 0)
        return std::numeric_limits<qint64>::max();
    return std::max<qint64>(0, qint64(limit.rlim_cur) - used);
}

} // namespace

qint64 available() {
    if (g_override != Unknown)
        return g_override;
    qint64 bytes = procValue("/proc/meminfo", "MemAvailable");
    if (bytes == Unknown)
        bytes = std::numeric_limits<qint64>::max();
    bytes = std::min(bytes, leftUnder(RLIMIT_AS, procValue("/proc/self/status", "VmSize")));
    bytes = std::min(bytes, leftUnder(RLIMIT_DATA, procValue("/proc/self/status", "VmData")));
    return bytes;
}

bool fits(qint64 needed) {
    const qint64 room = available();
    return needed <= room - room / 8;
}

qint64 setAvailable(qint64 bytes) {
    return std::exchange(g_override, bytes);
}

} // namespace SheetMemory
