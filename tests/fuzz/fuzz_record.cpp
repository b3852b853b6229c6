// SPDX-License-Identifier: MIT
// Fuzz target: the settings record's layout, in memory. Any text parses to at most the
// values asked for, a shorter count gives a prefix of them, and the values composed
// again parse back the same.

#include "fuzzcheck.h"
#include "settings/recordformat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte says how many values to read; the rest is the record, as UTF-16 so
    // that every unit, lone surrogates included, can occur.
    const qsizetype count = data[0] % 16;
    const QString record(reinterpret_cast<const QChar *>(data + 1), qsizetype((size - 1) / 2));
    const QStringList values = RecordFormat::parse(record, count);
    FUZZ_CHECK(values.size() <= count);
    FUZZ_CHECK(count == 0 || RecordFormat::parse(record, count - 1) == values.mid(0, count - 1));
    // A record of no values cannot be written: an empty line reads as one empty value.
    FUZZ_CHECK(values.isEmpty() || RecordFormat::parse(RecordFormat::compose(values), count) == values);
    return 0;
}
