#include "MemoryLimit.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

#ifndef Q_OS_WIN
// A number from a file of the system's; -1 when there is none ("max").
qint64 readNumber(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const qint64 value = file.readAll().trimmed().toLongLong(&ok);
    return ok ? value : -1;
}

void takeLeast(qint64 *least, qint64 candidate)
{
    if (candidate >= 0)
        *least = *least < 0 ? candidate : std::min(*least, candidate);
}

// What is left under the limits of the process's control group and of every
// group above it.
qint64 leftInControlGroups()
{
    QFile own(QStringLiteral("/proc/self/cgroup"));
    if (!own.open(QIODevice::ReadOnly))
        return -1;
    qint64 least = -1;
    for (const QByteArray &line : own.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(':');
        if (parts.size() < 3)
            continue;
        const bool unified = parts[0] == "0" && parts[1].isEmpty();
        const bool memory = parts[1].split(',').contains("memory");
        if (!unified && !memory)
            continue;
        const QString root = unified ? QStringLiteral("/sys/fs/cgroup/")
                                     : QStringLiteral("/sys/fs/cgroup/memory/");
        const QString limitName
            = unified ? QStringLiteral("/memory.max") : QStringLiteral("/memory.limit_in_bytes");
        const QString usageName = unified ? QStringLiteral("/memory.current")
                                          : QStringLiteral("/memory.usage_in_bytes");
        QStringList groups = QString::fromUtf8(parts[2]).split(u'/', Qt::SkipEmptyParts);
        // Inside a container the group's path may begin above the mounted
        // part of the tree: drop leading parts until it is found.
        while (!groups.isEmpty() && !QFile::exists(root + groups.join(u'/') + usageName))
            groups.removeFirst();
        for (;;) {
            const QString group = root + groups.join(u'/');
            const qint64 limit = readNumber(group + limitName);
            const qint64 usage = readNumber(group + usageName);
            // cgroup v1 writes "no limit" as a number near 2^63.
            if (limit >= 0 && usage >= 0 && limit < (qint64(1) << 60))
                takeLeast(&least, std::max<qint64>(0, limit - usage));
            if (groups.isEmpty())
                break;
            groups.removeLast();
        }
    }
    return least;
}

qint64 availableInSystem()
{
    QFile info(QStringLiteral("/proc/meminfo"));
    if (!info.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : info.readAll().split('\n')) {
        if (line.startsWith("MemAvailable:"))
            return line.mid(13).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

qint64 leftInAddressSpace()
{
    rlimit limit {};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const qint64 used = status.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
    return std::max<qint64>(0, qint64(limit.rlim_cur) - used);
}
#endif

} // namespace

qint64 memoryLeftForProcess()
{
#ifdef Q_OS_WIN
    MEMORYSTATUSEX status {};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return -1;
    return qint64(std::min(status.ullAvailPageFile, status.ullAvailVirtual));
#else
    qint64 least = -1;
    takeLeast(&least, leftInControlGroups());
    takeLeast(&least, availableInSystem());
    takeLeast(&least, leftInAddressSpace());
    return least;
#endif
}
