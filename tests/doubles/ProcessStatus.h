// Memory figures of this process, from /proc/self/status.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <malloc.h>

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 when it cannot be read.
inline long StatusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Resident memory in KiB, after the allocator has handed back the free pages it keeps, so that
// the figure follows live memory rather than the heap's high-water mark.
inline long ResidentKiB()
{
    ::malloc_trim(0);
    return StatusKiB("VmRSS");
}
