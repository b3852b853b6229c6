// SPDX-License-Identifier: MIT
// Fuzz target: the import decoding. Each input is the content of a file that the user
// imports. Besides crashes, hangs and sanitizer reports it checks that the bytes are
// read as UTF-8 when they are valid UTF-8 and otherwise one character per byte, that the
// length check refuses exactly the texts longer than the limit, and that what export
// writes reads back the same.

#include "fuzzcheck.h"
#include "io/textencoding.h"
#include "io/textfiles.h"
#include "tempcurrentdir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const TempCurrentDir folder; // for the whole run
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = TextEncoding::decode(bytes);
    if (TextEncoding::isValidUtf8(bytes)) // taken as it is, but for a byte-order mark at the start
        FUZZ_CHECK(text.toUtf8() == (bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes));
    else
        FUZZ_CHECK(text == TextEncoding::decodeWindows1252(bytes) && text.size() == bytes.size());
    FUZZ_CHECK(TextEncoding::decode(TextEncoding::encode(text)) == text);

    // A text of exactly the limit is taken; one more is refused and leaves the text as it was.
    const QString name = QStringLiteral("import");
    folder.write(name, bytes);
    QString read;
    FUZZ_CHECK(!TextFiles::read(name, text.size(), read) && read == text);
    QString kept = name;
    FUZZ_CHECK(text.isEmpty() || (TextFiles::read(name, text.size() - 1, kept) && kept == name));
    return 0;
}
