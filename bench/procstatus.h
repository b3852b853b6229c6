// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>

// A memory figure of this process from the kernel's own count, in KiB: "VmRSS" for the
// resident set now, "VmHWM" for its peak. -1 when the kernel does not tell.
inline long procStatusKib(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = field + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}
