// SPDX-License-Identifier: MIT
// Fuzz target: the import decoding. Each input is the content of a file that the user
// imports. Besides crashes, hangs and sanitizer reports it checks that the bytes are
// read as UTF-8 when they are valid UTF-8 and otherwise one character per byte, that the
// length check refuses exactly the texts longer than the limit, and that the import, the
// text export and the HTML export agree: what export writes, import reads back.

#include "fuzzcheck.h"
#include "io/textencoding.h"
#include "io/textfiles.h"
#include "io/texttransfer.h"
#include "plainwindow.h"
#include "scriptedservices.h"
#include "tempcurrentdir.h"

#include <QFile>

#include <cstdint>

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");
const QString kLineEnd = QStringLiteral("\r\n");

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startInFreshDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const QString text = TextEncoding::decode(bytes);
    if (TextEncoding::isValidUtf8(bytes)) {
        // Taken as it is; only a byte-order mark at the start is not part of the text.
        const QByteArray body = bytes.startsWith(kByteOrderMark) ? bytes.sliced(3) : bytes;
        FUZZ_CHECK(text.toUtf8() == body);
    } else {
        FUZZ_CHECK(text == TextEncoding::decodeWindows1252(bytes));
        FUZZ_CHECK(text.size() == bytes.size());
    }
    // No character is lost on the way out and back in.
    FUZZ_CHECK(TextEncoding::decode(TextEncoding::encode(text)) == text);

    // The length check: a text of exactly the limit is taken, one more is refused and
    // leaves the text as it was.
    const QString name = QStringLiteral("import");
    writeFile(name, bytes);
    QString read;
    FUZZ_CHECK(!TextFiles::read(name, text.size(), read));
    FUZZ_CHECK(read == text);
    if (!text.isEmpty()) {
        QString untouched = QStringLiteral("kept");
        FUZZ_CHECK(TextFiles::read(name, text.size() - 1, untouched).has_value());
        FUZZ_CHECK(untouched == QStringLiteral("kept"));
    }

    // The commands on a window: import, both exports, and the export imported again.
    PlainWindow window;
    ScriptedDialog dialog;
    RecordingMessageBox messages;
    TextTransfer transfer(window, dialog, messages);
    dialog.expect(name);
    transfer.importText();
    FUZZ_CHECK(messages.messages.isEmpty());
    FUZZ_CHECK(window.text() == text);

    dialog.expect(QStringLiteral("export"));
    transfer.exportText();
    FUZZ_CHECK(readFile(QStringLiteral("export")) == TextEncoding::encode(text + kLineEnd));
    dialog.expect(QStringLiteral("page.htm"));
    transfer.exportHtml();
    FUZZ_CHECK(
        readFile(QStringLiteral("page.htm")) ==
        TextEncoding::encode(QStringLiteral("<MARQUEE> ") + text + QStringLiteral(" </MARQUEE>") + kLineEnd));
    FUZZ_CHECK(messages.messages.isEmpty());

    dialog.expect(QStringLiteral("export"));
    transfer.importText();
    FUZZ_CHECK(messages.messages.isEmpty());
    FUZZ_CHECK(window.text() == text + kLineEnd);
    FUZZ_CHECK(dialog.allAnswersUsed());
    return 0;
}
