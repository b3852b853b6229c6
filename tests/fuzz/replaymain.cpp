// SPDX-License-Identifier: MIT
// Runs a fuzz target's entry point once on every file of its corpus, without libFuzzer,
// so that the seeds and every input the fuzzer ever found stay regression tests in every
// build, with any compiler. A failing input aborts the run.
//
// Usage: <target>_replay <folder>

#include "fuzzcheck.h"

#include <QDir>
#include <QFile>

extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

int main(int argc, char **argv)
{
    // Absolute: the target may change the current directory when it starts.
    const QDir folder(QDir(QString::fromLocal8Bit(argc > 1 ? argv[1] : "")).absolutePath());
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    FUZZ_CHECK(!names.isEmpty());
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    for (const QString &name : names) {
        QFile file(folder.filePath(name));
        const QByteArray input = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        FUZZ_CHECK(file.error() == QFile::NoError);
        std::fprintf(stderr, "input  : %s (%lld bytes)\n", qPrintable(name), qlonglong(input.size()));
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.data()), input.size());
    }
    std::printf("all %lld inputs replayed without a failure\n", qlonglong(names.size()));
    return 0;
}
