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
const QString kCancel = QStringLiteral("<cancel>"); // the dialog's Cancel, as a file name

QStringList entries()
{
    return QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

Q_DECLARE_METATYPE(Command)

// Import, Export and HTML on the plain window, with the dialog scripted and the files real.
class TestTextTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<CoreFixture>();
        QVERIFY(m_fx->dir.isValid());
        m_transfer = std::make_unique<TextTransfer>(m_fx->window, m_fx->dialog, m_fx->messages);
        m_fx->window.setText(kOldText);
        m_fx->dialog.setFilterIndex(3); // what an earlier use left
    }

    void cleanup()
    {
        QVERIFY(m_fx->dialog.allAnswersUsed());
        m_transfer.reset();
        m_fx.reset();
    }

    void exports_data()
    {
        // A null `bytes`: refused with a message naming the file, nothing created or replaced.
        // (Names that are no ordinary file, and missing ones, are the bad-input table's.)
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        const auto text = [](const char *name, const char *file, const QString &text,
                             const QByteArray &bytes) {
            QTest::newRow(name) << Command::ExportText << QString::fromUtf8(file) << text << bytes;
        };
        const auto html = [](const char *name, const char *file, const QString &text,
                             const QByteArray &bytes) {
            QTest::newRow(name) << Command::ExportHtml << QString::fromUtf8(file) << text << bytes;
        };
        const QByteArray refused;
        text("text abc", "report", "abc", "abc\r\n");
        text("text empty", "report", "", "\r\n");
        text("text with line breaks", "report", "one\r\ntwo\r\n", "one\r\ntwo\r\n\r\n");
        text("text beyond ASCII", "report", QString::fromUtf8("café € 😀"),
             "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\r\n");
        html("html empty", "report", "", "<MARQUEE>  </MARQUEE>\r\n");
        html("html markup unescaped", "report", "<b>bold</b> & \"more\"\r\nx",
             "<MARQUEE> <b>bold</b> & \"more\"\r\nx </MARQUEE>\r\n");
        text("text cancelled", "<cancel>", "abc", refused);
        html("html cancelled", "<cancel>", "abc", refused);
        html("missing folder", "nowhere/out.htm", "abc", refused);
        html("no name", "", "abc", refused);
        // A full disk as far as this process is concerned, root included: the old file stays.
        text("text cut short", "plain.txt", QString(20000, u'x'), refused);
        html("html cut short", "plain.txt", QString(20000, u'x'), refused);
    }

    void exports()
    {
        QFETCH(Command, command);
        QFETCH(QString, fileName);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        // A longer file of that name is replaced whole, under the name exactly as chosen.
        m_fx->dir.write(QStringLiteral("report"), QByteArray(4000, 'z'));
        m_fx->dir.write(QStringLiteral("plain.txt"), "plain");
        const QStringList before = entries();
        m_fx->window.setText(text);
        {
            const FileSizeLimit limit(4096);
            QVERIFY(limit.isValid());
            run(command, fileName);
        }
        const ScriptedDialog::Call &call = m_fx->dialog.calls().constFirst();
        QVERIFY(call.kind == ScriptedDialog::Kind::Save && call.filterIndex == 1);
        QCOMPARE(call.filter,
                 command == Command::ExportHtml
                     ? QStringLiteral("Web Page (*.htm*)|*.htm*|")
                     : QStringLiteral("Text Files (*.txt)|*.txt|Batch Files (*.bat)|*.bat|"
                                      "Web Page (*.htm*)|*.htm*|Rich Text Format (*.rtf)|*.rtf"));
        QCOMPARE(entries(), before);
        QCOMPARE(m_fx->dir.read(QStringLiteral("plain.txt")), QByteArray("plain"));
        if (bytes.isNull())
            return expectWarningNaming(fileName);
        QCOMPARE(m_fx->dir.read(QStringLiteral("report")), bytes);
        QVERIFY(m_fx->messages.messages.isEmpty());
        // What the import reads back is what was exported.
        run(Command::Import, QStringLiteral("report"));
        QCOMPARE(m_fx->window.text(), TextEncoding::decode(bytes));
        QVERIFY(m_fx->messages.messages.isEmpty());
    }

    void import_data()
    {
        // The file "in.txt" holds `bytes`; "sparse" makes it an 8 GiB sparse file, which
        // must be refused unread. A null text: refused, naming the file.
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString refused;
        const QString in = QStringLiteral("in.txt");
        QTest::newRow("markup kept") << in << QByteArray("  <b>Hi</b> {\\rtf1 x}\t\n")
                                     << "  <b>Hi</b> {\\rtf1 x}\t\n";
        QTest::newRow("empty file empties the text") << in << QByteArray() << "";
        // The display holds 65,535 UTF-16 units; a euro sign takes three bytes of UTF-8.
        QTest::newRow("65,535 letters") << in << QByteArray(65535, 'x') << QString(65535, u'x');
        QTest::newRow("65,536 letters") << in << QByteArray(65536, 'x') << refused;
        const QByteArray euros = QByteArray("\xe2\x82\xac").repeated(65535);
        QTest::newRow("65,535 euro signs") << in << euros << QString(65535, u'\u20ac');
        QTest::newRow("65,535 euro signs and a letter") << in << euros + "x" << refused;
        QTest::newRow("65,536 Windows-1252 letters") << in << QByteArray(65536, '\xe9') << refused;
        QTest::newRow("8 GiB") << "sparse" << QByteArray() << refused;
        QTest::newRow("no name") << "" << QByteArray() << refused;
        QTest::newRow("cancelled") << kCancel << QByteArray("x") << refused;
    }

    void import()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        m_fx->dir.write(QStringLiteral("in.txt"), bytes);
        if (fileName == u"sparse") {
            QFile huge(fileName);
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(8) << 30));
        }
        run(Command::Import, fileName);
        const ScriptedDialog::Call &call = m_fx->dialog.calls().constFirst();
        QCOMPARE(call.kind, ScriptedDialog::Kind::Open);
        QCOMPARE(call.filter,
                 QStringLiteral("All Files (*)|*|Text Files (*.txt)|*.txt|Batch Files (*.bat)|*.bat|"
                                "Web Page (*.htm)|*.htm|Rich Text Format (*.rtf)|*.rtf|"));
        QCOMPARE(call.filterIndex, 1);
        QCOMPARE(m_fx->window.text(), text.isNull() ? kOldText : text);
        if (text.isNull())
            expectWarningNaming(fileName);
        else
            QVERIFY(m_fx->messages.messages.isEmpty());
        if (text.isNull() && bytes.size() > 65535)
            QVERIFY(m_fx->messages.messages.constFirst().text.contains(QLocale().toString(65535)));
    }

private:
    void run(Command command, const QString &fileName)
    {
        if (fileName == kCancel)
            m_fx->dialog.expect(ScriptedDialog::Cancel{});
        else
            m_fx->dialog.expect(fileName);
        if (command == Command::Import)
            m_transfer->importText();
        else if (command == Command::ExportText)
            m_transfer->exportText();
        else
            m_transfer->exportHtml();
    }

    // One warning naming the file and giving a reason; Cancel says nothing.
    void expectWarningNaming(const QString &fileName)
    {
        QCOMPARE(m_fx->messages.messages.size(), fileName == kCancel ? 0 : 1);
        if (fileName == kCancel)
            return;
        const RecordingMessageBox::Message &message = m_fx->messages.messages.constFirst();
        QCOMPARE(message.icon, MessageBox::Icon::Warning);
        const QString named = QLatin1Char('"') + QDir::toNativeSeparators(fileName) + QLatin1String("\": ");
        QVERIFY2(message.text.contains(named) && message.text.section(named, 1).size() > 3,
                 qPrintable(message.text));
    }

    std::unique_ptr<CoreFixture> m_fx;
    std::unique_ptr<TextTransfer> m_transfer;
};

QTEST_GUILESS_MAIN(TestTextTransfer)
#include "tst_texttransfer.moc"
