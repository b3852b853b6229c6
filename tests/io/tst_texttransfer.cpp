#include "corefixture.h"
#include "io/textencoding.h"
#include "io/texttransfer.h"
#include "settings/hostilefiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTest>

namespace {

enum class Command { Import, ExportText, ExportHtml };

const QString kOldText = QStringLiteral("old text");

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(ScriptedDialog::Kind)

class TestTextTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void dialogSettingsAndCancel_data();
    void dialogSettingsAndCancel();
    void exportBytes_data();
    void exportBytes();
    void exportThenImportAddsLineEnd_data();
    void exportThenImportAddsLineEnd();
    void importTakesWholeFile_data();
    void importTakesWholeFile();
    void importLengthLimit_data();
    void importLengthLimit();
    void importRefusesHugeFileUnread();
    void importFailures_data();
    void importFailures();
    void exportFailures_data();
    void exportFailures();
    void exportWriteFailureKeepsOldFile();
    void commandsLeaveScrollingRunning();

private:
    void run(Command command);
    void expectWarningNaming(const QString &fileName);

    std::unique_ptr<CoreFixture> m_fx;
    std::unique_ptr<TextTransfer> m_transfer;
};

void TestTextTransfer::init()
{
    m_fx = std::make_unique<CoreFixture>();
    QVERIFY(m_fx->dir.isValid());
    m_transfer = std::make_unique<TextTransfer>(m_fx->window, m_fx->dialog, m_fx->messages);
    m_fx->window.setText(kOldText);
}

void TestTextTransfer::cleanup()
{
    QVERIFY(m_fx->dialog.allAnswersUsed());
    m_transfer.reset();
    m_fx.reset();
}

void TestTextTransfer::run(Command command)
{
    switch (command) {
    case Command::Import:
        m_transfer->importText();
        break;
    case Command::ExportText:
        m_transfer->exportText();
        break;
    case Command::ExportHtml:
        m_transfer->exportHtml();
        break;
    }
}

void TestTextTransfer::expectWarningNaming(const QString &fileName)
{
    QCOMPARE(m_fx->messages.messages.size(), 1);
    const RecordingMessageBox::Message &message = m_fx->messages.messages.constFirst();
    QCOMPARE(message.icon, MessageBox::Icon::Warning);
    QVERIFY2(message.text.contains(QLatin1Char('"') + QDir::toNativeSeparators(fileName) + QLatin1Char('"')),
             qPrintable(message.text));
    // A reason follows the name.
    QVERIFY2(message.text.section(QLatin1String("\": "), 1).size() > 3, qPrintable(message.text));
}

void TestTextTransfer::dialogSettingsAndCancel_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<ScriptedDialog::Kind>("kind");
    QTest::addColumn<QString>("filter");
    QTest::newRow("import") << Command::Import << ScriptedDialog::Kind::Open
                            << "All Files (*)|*|Text Files (*.txt)|*.txt|Batch Files (*.bat)|*.bat|"
                               "Web Page (*.htm)|*.htm|Rich Text Format (*.rtf)|*.rtf|";
    QTest::newRow("export") << Command::ExportText << ScriptedDialog::Kind::Save
                            << "Text Files (*.txt)|*.txt|Batch Files (*.bat)|*.bat|"
                               "Web Page (*.htm*)|*.htm*|Rich Text Format (*.rtf)|*.rtf";
    QTest::newRow("html") << Command::ExportHtml << ScriptedDialog::Kind::Save << "Web Page (*.htm*)|*.htm*|";
}

void TestTextTransfer::dialogSettingsAndCancel()
{
    QFETCH(Command, command);
    QFETCH(ScriptedDialog::Kind, kind);
    QFETCH(QString, filter);
    // What an earlier use left.
    m_fx->dialog.setFilterIndex(3);
    m_fx->dialog.expect(ScriptedDialog::Cancel{});

    run(command);

    QCOMPARE(m_fx->dialog.calls().size(), 1);
    const ScriptedDialog::Call &call = m_fx->dialog.calls().constFirst();
    QCOMPARE(call.kind, kind);
    QCOMPARE(call.filter, filter);
    QCOMPARE(call.filterIndex, 1);
    // Cancel changes nothing and says nothing.
    QCOMPARE(m_fx->window.text(), kOldText);
    QVERIFY(m_fx->messages.messages.isEmpty());
    QVERIFY(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).isEmpty());
}

void TestTextTransfer::exportBytes_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text abc") << Command::ExportText << "abc" << QByteArray("abc\r\n");
    QTest::newRow("text empty") << Command::ExportText << "" << QByteArray("\r\n");
    QTest::newRow("text ending in a line break") << Command::ExportText << "abc\r\n"
                                                 << QByteArray("abc\r\n\r\n");
    QTest::newRow("html abc") << Command::ExportHtml << "abc" << QByteArray("<MARQUEE> abc </MARQUEE>\r\n");
    QTest::newRow("html empty") << Command::ExportHtml << "" << QByteArray("<MARQUEE>  </MARQUEE>\r\n");
    QTest::newRow("html markup unescaped") << Command::ExportHtml << "<b>bold</b> & \"more\""
                                           << QByteArray("<MARQUEE> <b>bold</b> & \"more\" </MARQUEE>\r\n");
    QTest::newRow("html line break inside")
        << Command::ExportHtml << "one\r\ntwo" << QByteArray("<MARQUEE> one\r\ntwo </MARQUEE>\r\n");
}

void TestTextTransfer::exportBytes()
{
    QFETCH(Command, command);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    // A longer file of that name is replaced whole, under the name exactly as chosen.
    m_fx->dir.write(QStringLiteral("report"), QByteArray(4000, 'z'));
    m_fx->window.setText(text);
    m_fx->dialog.expect(QStringLiteral("report"));
    run(command);
    QCOMPARE(m_fx->dir.read(QStringLiteral("report")), bytes);
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{QStringLiteral("report")});
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestTextTransfer::exportThenImportAddsLineEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("word") << "HELLO";
    QTest::newRow("empty") << "";
    QTest::newRow("lines") << "one\r\ntwo";
    QTest::newRow("beyond ASCII") << QString::fromUtf8("café € 😀");
}

void TestTextTransfer::exportThenImportAddsLineEnd()
{
    QFETCH(QString, text);
    m_fx->window.setText(text);
    m_fx->dialog.expect(QStringLiteral("round.txt"));
    m_fx->dialog.expect(QStringLiteral("round.txt"));
    m_transfer->exportText();
    m_fx->window.setText(kOldText);
    m_transfer->importText();
    QCOMPARE(m_fx->window.text(), text + QStringLiteral("\r\n"));
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestTextTransfer::importTakesWholeFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("three lines") << QByteArray("one\r\ntwo\r\nthree\r\n") << "one\r\ntwo\r\nthree\r\n";
    QTest::newRow("blanks kept") << QByteArray("  padded \t\n") << "  padded \t\n";
    QTest::newRow("web page markup") << QByteArray("<html><body>Hi &amp; bye</body></html>")
                                     << "<html><body>Hi &amp; bye</body></html>";
    QTest::newRow("rich text markup") << QByteArray("{\\rtf1\\ansi Hello}") << "{\\rtf1\\ansi Hello}";
    QTest::newRow("empty file empties the text") << QByteArray() << "";
}

void TestTextTransfer::importTakesWholeFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    m_fx->dir.write(QStringLiteral("in.txt"), bytes);
    m_fx->dialog.expect(QStringLiteral("in.txt"));
    m_transfer->importText();
    QCOMPARE(m_fx->window.text(), text);
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestTextTransfer::importLengthLimit_data()
{
    // The display holds 65,535 UTF-16 units; a euro sign takes three bytes of UTF-8.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("65,535 letters") << QByteArray("x").repeated(65535) << true;
    QTest::newRow("65,536 letters") << QByteArray("x").repeated(65536) << false;
    QTest::newRow("65,535 euro signs, three times the bytes")
        << QByteArray("\xe2\x82\xac").repeated(65535) << true;
    QTest::newRow("65,535 euro signs and a letter")
        << QByteArray("\xe2\x82\xac").repeated(65535) + "x" << false;
    QTest::newRow("65,536 two-byte letters") << QByteArray("\xc3\xa9").repeated(65536) << false;
    QTest::newRow("65,536 Windows-1252 letters") << QByteArray("\xe9").repeated(65536) << false;
}

void TestTextTransfer::importLengthLimit()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    m_fx->dir.write(QStringLiteral("long.txt"), bytes);
    m_fx->dialog.expect(QStringLiteral("long.txt"));
    m_transfer->importText();
    if (accepted) {
        QCOMPARE(m_fx->window.text(), TextEncoding::decode(bytes));
        QCOMPARE(m_fx->window.text().size(), 65535);
        QVERIFY(m_fx->messages.messages.isEmpty());
    } else {
        QCOMPARE(m_fx->window.text(), kOldText);
        expectWarningNaming(QStringLiteral("long.txt"));
        QVERIFY(m_fx->messages.messages.constFirst().text.contains(QLocale().toString(65535)));
    }
}

void TestTextTransfer::importRefusesHugeFileUnread()
{
    // A sparse file of 8 GiB: reading it whole would exhaust memory.
    QFile huge(QStringLiteral("huge.txt"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(qint64(8) << 30));
    huge.close();
    m_fx->dialog.expect(QStringLiteral("huge.txt"));
    m_transfer->importText();
    QCOMPARE(m_fx->window.text(), kOldText);
    expectWarningNaming(QStringLiteral("huge.txt"));
}

void TestTextTransfer::importFailures_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("missing file") << "missing.txt";
    QTest::newRow("below a plain file") << "plain.txt/inner.txt";
    QTest::newRow("no name") << "";
}

void TestTextTransfer::importFailures()
{
    QFETCH(QString, fileName);
    m_fx->dir.write(QStringLiteral("plain.txt"), "plain");
    m_fx->dialog.expect(fileName);
    m_transfer->importText();
    QCOMPARE(m_fx->window.text(), kOldText);
    expectWarningNaming(fileName);
}

void TestTextTransfer::exportFailures_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("below a plain file") << Command::ExportText << "plain.txt/out.txt";
    QTest::newRow("missing folder") << Command::ExportHtml << "nowhere/out.htm";
    QTest::newRow("device") << Command::ExportText << "/dev/full";
    QTest::newRow("no name") << Command::ExportHtml << "";
}

void TestTextTransfer::exportFailures()
{
    QFETCH(Command, command);
    QFETCH(QString, fileName);
    m_fx->dir.write(QStringLiteral("plain.txt"), "plain");
    const QStringList before =
        QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    m_fx->dialog.expect(fileName);
    run(command);
    expectWarningNaming(fileName);
    // Nothing was created or replaced.
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), before);
    QCOMPARE(m_fx->dir.read(QStringLiteral("plain.txt")), QByteArray("plain"));
}

void TestTextTransfer::exportWriteFailureKeepsOldFile()
{
    // A full disk, as far as this process is concerned: files may not grow past 4 KiB.
    // The limit holds for every user, root included.
    m_fx->dir.write(QStringLiteral("keep.txt"), "old\r\n");
    m_fx->window.setText(QString(20000, QLatin1Char('x')));
    m_fx->dialog.expect(QStringLiteral("keep.txt"));
    m_fx->dialog.expect(QStringLiteral("keep.htm"));

    {
        const FileSizeLimit limit(4096);
        QVERIFY(limit.isValid());
        m_transfer->exportText();
        m_transfer->exportHtml();
    }

    QCOMPARE(m_fx->messages.messages.size(), 2);
    QVERIFY(m_fx->messages.messages[0].text.contains(QStringLiteral("\"keep.txt\"")));
    QVERIFY(m_fx->messages.messages[1].text.contains(QStringLiteral("\"keep.htm\"")));
    QCOMPARE(m_fx->dir.read(QStringLiteral("keep.txt")), QByteArray("old\r\n"));
    // No half-written file and no temporary file stays behind.
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("keep.txt")});
}

void TestTextTransfer::commandsLeaveScrollingRunning()
{
    m_fx->window.setStartCaption(QStringLiteral("Stop"));
    m_fx->window.setScrollTimerEnabled(true);
    m_fx->window.setText(QStringLiteral("ELLO H"));
    m_fx->dir.write(QStringLiteral("in.txt"), "NEW");
    m_fx->dialog.expect(QStringLiteral("rotated.txt"));
    m_fx->dialog.expect(QStringLiteral("in.txt"));
    m_fx->dialog.expect(QStringLiteral("in.htm"));
    m_transfer->exportText();
    m_transfer->importText();
    m_transfer->exportHtml();
    QCOMPARE(m_fx->dir.read(QStringLiteral("rotated.txt")), QByteArray("ELLO H\r\n"));
    QCOMPARE(m_fx->dir.read(QStringLiteral("in.htm")), QByteArray("<MARQUEE> NEW </MARQUEE>\r\n"));
    QVERIFY(m_fx->window.isScrollTimerEnabled());
    QCOMPARE(m_fx->window.startCaption(), QStringLiteral("Stop"));
}

QTEST_GUILESS_MAIN(TestTextTransfer)
#include "tst_texttransfer.moc"
