#include "ProcessTreeMemory.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>

namespace {

// The parent of a process: the fourth field of /proc/<pid>/stat, after the
// command name in parentheses (which may itself hold blanks and parentheses).
int parentOf(const QString& pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;  // the process has gone
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields[1].toInt() : -1;
}

void addRollup(int pid, TreeMemory& sum)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return;
    ++sum.processes;
    // Files under /proc have no size: read them whole rather than line by line.
    for (const QByteArray& line : rollup.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2)
            continue;
        if (parts[0] == "Rss:")
            sum.rssKiB += parts[1].toLongLong();
        else if (parts[0] == "Pss:")
            sum.pssKiB += parts[1].toLongLong();
    }
}

}  // namespace

TreeMemory measureProcessTree()
{
    QHash<int, QList<int>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (numeric)
            children[parentOf(entry)].append(pid);
    }

    TreeMemory sum;
    QList<int> pending = {static_cast<int>(getpid())};
    while (!pending.isEmpty()) {  // a tree: every process is visited once
        const int pid = pending.takeLast();
        addRollup(pid, sum);
        pending.append(children.value(pid));
    }
    return sum;
}
