#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <utility>

// A memory control group of its own, with a limit, for a second process to
// join (desktops limit a program's memory this way, and the system ends the
// program without a word once it is used up). None where no group can be
// made: that needs root and a memory controller, of cgroup v1 or v2. The
// group goes with this object, once nothing runs in it.
class MemoryGroup
{
public:
    explicit MemoryGroup(qint64 limit)
    {
        static int made = 0;
        for (const auto &[root, limitName] :
             {std::pair {"/sys/fs/cgroup/memory", "/memory.limit_in_bytes"},
              std::pair {"/sys/fs/cgroup", "/memory.max"}}) {
            const QString candidate = QStringLiteral("%1/vorsell-test-%2-%3")
                                          .arg(QLatin1StringView(root))
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(++made);
            if (QDir().mkdir(candidate)) {
                QFile limitFile(candidate + QLatin1StringView(limitName));
                if (limitFile.open(QIODevice::WriteOnly)
                    && limitFile.write(QByteArray::number(limit)) > 0 && limitFile.flush()) {
                    m_path = candidate;
                    return;
                }
                QDir().rmdir(candidate);
            }
        }
    }
    ~MemoryGroup()
    {
        if (!m_path.isEmpty())
            QDir().rmdir(m_path);
    }
    MemoryGroup(const MemoryGroup &) = delete;
    MemoryGroup &operator=(const MemoryGroup &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    const QString &path() const { return m_path; }

private:
    QString m_path;
};
