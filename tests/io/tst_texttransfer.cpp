// SPDX-License-Identifier: MIT
#include "corefixture.h"
#include "io/textencoding.h"
#include "io/texttransfer.h"
#include "settings/hostilefiles.h"

#include <QDir>
#include <QLocale>
#include <QTest>

namespace {

enum class Command { Import, ExportText, ExportHtml };

const QString kOldText = QStringLiteral("old text");

QStringList entries()
{
    return QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(ScriptedDialog::Kind)

// Import, Export and HTML on the plain window, with the dialog scripted and the files real.
// Hostile files picked for import are the bad-input table's.
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
    void import_data();
    void import();
    void exportFailures_data();
    void exportFailures();

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
    if (command == Command::Import)
        m_transfer->importText();
    else if (command == Command::ExportText)
        m_transfer->exportText();
    else
        m_transfer->exportHtml();
}

void TestTextTransfer::expectWarningNaming(const QString &fileName)
{
    QCOMPARE(m_fx->messages.messages.size(), 1);
    const RecordingMessageBox::Message &message = m_fx->messages.messages.constFirst();
    QCOMPARE(message.icon, MessageBox::Icon::Warning);
    QVERIFY2(
        message.text.contains(QLatin1Char('"') + QDir::toNativeSeparators(fileName) + QLatin1String("\": ")),
        qPrintable(message.text));
    QVERIFY2(message.text.section(QLatin1String("\": "), 1).size() > 3, qPrintable(message.text)); // a reason
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
    m_fx->dialog.setFilterIndex(3); // what an earlier use left
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
    QVERIFY(entries().isEmpty());
}

void TestTextTransfer::exportBytes_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text abc") << Command::ExportText << "abc" << QByteArray("abc\r\n");
    QTest::newRow("text empty") << Command::ExportText << "" << QByteArray("\r\n");
    QTest::newRow("text with line breaks") << Command::ExportText << "one\r\ntwo\r\n"
                                           << QByteArray("one\r\ntwo\r\n\r\n");
    QTest::newRow("text beyond ASCII") << Command::ExportText << QString::fromUtf8("café € 😀")
                                       << QByteArray("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\r\n");
    QTest::newRow("html empty") << Command::ExportHtml << "" << QByteArray("<MARQUEE>  </MARQUEE>\r\n");
    QTest::newRow("html markup unescaped")
        << Command::ExportHtml << "<b>bold</b> & \"more\"\r\nx"
        << QByteArray("<MARQUEE> <b>bold</b> & \"more\"\r\nx </MARQUEE>\r\n");
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
    QCOMPARE(entries(), QStringList{QStringLiteral("report")});
    QVERIFY(m_fx->messages.messages.isEmpty());
    // What the import reads back is what was exported.
    m_fx->dialog.expect(QStringLiteral("report"));
    m_transfer->importText();
    QCOMPARE(m_fx->window.text(), TextEncoding::decode(bytes));
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestTextTransfer::import_data()
{
    // The file "in.txt" holds `bytes`; "sparse" makes it an 8 GiB sparse file, which
    // must be refused unread. A null text: refused, naming the file.
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString refused;
    QTest::newRow("markup kept") << "in.txt" << QByteArray("  <b>Hi</b> {\\rtf1 x}\t\n")
                                 << "  <b>Hi</b> {\\rtf1 x}\t\n";
    QTest::newRow("empty file empties the text") << "in.txt" << QByteArray() << "";
    // The display holds 65,535 UTF-16 units; a euro sign takes three bytes of UTF-8.
    QTest::newRow("65,535 letters") << "in.txt" << QByteArray(65535, 'x') << QString(65535, u'x');
    QTest::newRow("65,536 letters") << "in.txt" << QByteArray(65536, 'x') << refused;
    QTest::newRow("65,535 euro signs")
        << "in.txt" << QByteArray("\xe2\x82\xac").repeated(65535) << QString(65535, u'\u20ac');
    QTest::newRow("65,535 euro signs and a letter")
        << "in.txt" << QByteArray("\xe2\x82\xac").repeated(65535) + "x" << refused;
    QTest::newRow("65,536 Windows-1252 letters") << "in.txt" << QByteArray(65536, '\xe9') << refused;
    QTest::newRow("8 GiB") << "sparse" << QByteArray() << refused;
    QTest::newRow("missing file") << "missing.txt" << QByteArray() << refused;
    QTest::newRow("below a plain file") << "in.txt/inner.txt" << QByteArray() << refused;
    QTest::newRow("no name") << "" << QByteArray() << refused;
}

void TestTextTransfer::import()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    m_fx->dir.write(QStringLiteral("in.txt"), bytes);
    if (fileName == u"sparse") {
        QFile huge(fileName);
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(8) << 30));
    }
    m_fx->dialog.expect(fileName);
    m_transfer->importText();
    if (text.isNull()) {
        QCOMPARE(m_fx->window.text(), kOldText);
        expectWarningNaming(fileName);
        if (!bytes.isEmpty())
            QVERIFY(m_fx->messages.messages.constFirst().text.contains(QLocale().toString(65535)));
    } else {
        QCOMPARE(m_fx->window.text(), text);
        QVERIFY(m_fx->messages.messages.isEmpty());
    }
}

void TestTextTransfer::exportFailures_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("below a plain file") << Command::ExportText << "plain.txt/out.txt";
    QTest::newRow("missing folder") << Command::ExportHtml << "nowhere/out.htm";
    QTest::newRow("device") << Command::ExportText << "/dev/full";
    QTest::newRow("no name") << Command::ExportHtml << "";
    // A full disk as far as this process is concerned, root included: the old file stays.
    QTest::newRow("text cut short") << Command::ExportText << "plain.txt";
    QTest::newRow("html cut short") << Command::ExportHtml << "plain.txt";
}

void TestTextTransfer::exportFailures()
{
    QFETCH(Command, command);
    QFETCH(QString, fileName);
    m_fx->dir.write(QStringLiteral("plain.txt"), "plain");
    m_fx->window.setText(QString(20000, u'x'));
    const QStringList before = entries();
    m_fx->dialog.expect(fileName);
    {
        const FileSizeLimit limit(4096);
        QVERIFY(limit.isValid());
        run(command);
    }
    expectWarningNaming(fileName);
    // Nothing was created or replaced, and no temporary file stays behind.
    QCOMPARE(entries(), before);
    QCOMPARE(m_fx->dir.read(QStringLiteral("plain.txt")), QByteArray("plain"));
}

QTEST_GUILESS_MAIN(TestTextTransfer)
#include "tst_texttransfer.moc"
