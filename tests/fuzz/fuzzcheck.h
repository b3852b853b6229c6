// SPDX-License-Identifier: MIT
#pragma once

#include "tempcurrentdir.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <cstdlib>

// A property that every input must keep. A broken one aborts, which libFuzzer takes as a
// crash and keeps the input as an artefact; the replay run fails on it the same way.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);            \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

// Saving syncs each file to disk, which on a disk costs far more than the code under
// test; in a memory file system it costs nothing, and the fuzzer runs many times faster.
inline void useMemoryFileSystem()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    if (qEnvironmentVariableIsEmpty("TMPDIR") && shm.isDir() && shm.isWritable())
        qputenv("TMPDIR", "/dev/shm");
}

// Each target works in a fresh temporary folder, made the current directory once, in
// memory where the machine offers it.
inline void startInFreshDirectory()
{
    useMemoryFileSystem();
    static TempCurrentDir directory;
    FUZZ_CHECK(directory.isValid());
}

inline void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

inline QByteArray readFile(const QString &name)
{
    QFile file(name);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}
