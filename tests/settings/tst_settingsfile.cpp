// SPDX-License-Identifier: MIT
#include "settings/hostilefiles.h"
#include "settings/recordformat.h"
#include "settings/settingsfile.h"
#include "tempcurrentdir.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

class TestSettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir.emplace(); }
    void cleanup() { m_dir.reset(); }
    void layout_data();
    void layout();
    void parse_data();
    void parse();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();

private:
    std::optional<TempCurrentDir> m_dir;
};

void TestSettingsFile::layout_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("line breaks and commas as they are")
        << QStringList{"a, b\r\nc\nd\r"} << QByteArray("\"a, b\r\nc\nd\r\"\r\n");
    QTest::newRow("quotes doubled") << QStringList{"say \"hi\"", "\""}
                                    << QByteArray("\"say \"\"hi\"\"\",\"\"\"\"\r\n");
    QTest::newRow("UTF-8") << QStringList{u"caf\u00e9 \u20ac \U0001F600"_qs, "  "}
                           << QByteArray("\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\",\"  \"\r\n");
    QTest::newRow("longest text of quotes")
        << QStringList{QString(65535, '"')} << '"' + QByteArray(131070, '"') + "\"\r\n";
}

void TestSettingsFile::layout()
{
    QFETCH(QStringList, values);
    QFETCH(QByteArray, bytes);
    // A longer file is replaced whole, nothing else stays behind, and reading gives the
    // values back.
    m_dir->write(u"text"_qs, QByteArray(5000, 'z'));
    QCOMPARE(SettingsFile::write(u"text"_qs, values), std::nullopt);
    QCOMPARE(m_dir->read(u"text"_qs), bytes);
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"text"});
    QCOMPARE(SettingsFile::read(u"text"_qs, int(values.size())), values);
}

void TestSettingsFile::parse_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("empty file") << "" << 2 << QStringList{};
    QTest::newRow("empty line is an empty value") << "\r\n" << 1 << QStringList{""};
    QTest::newRow("blanks before values") << "  \"a\",\t \"b\"\r\n" << 2 << QStringList{"a", "b"};
    QTest::newRow("blanks inside quotes kept") << "\" a \"\r\n" << 1 << QStringList{" a "};
    QTest::newRow("unquoted values trimmed") << " 255 , 0 \r\n" << 2 << QStringList{"255", "0"};
    QTest::newRow("unquoted keeps a quote inside") << "ab\"c,d" << 2 << QStringList{"ab\"c", "d"};
    QTest::newRow("missing value between commas") << "\"a\",,\"c\"" << 3 << QStringList{"a", "", "c"};
    QTest::newRow("junk after closing quote") << "\"a\"junk,\"b\"\r\n" << 2 << QStringList{"a", "b"};
    QTest::newRow("junk up to line end") << "\"a\" x\r\n\"b\"" << 2 << QStringList{"a", "b"};
    QTest::newRow("single quote ends the value")
        << "\"say \"hi\" now\",\"b\"" << 2 << QStringList{"say ", "b"};
    QTest::newRow("doubled quotes") << "\"say \"\"hi\"\"\",\"x\"" << 2 << QStringList{"say \"hi\"", "x"};
    QTest::newRow("line breaks and commas inside quotes") << "\"a,b\r\nc\",\"d\"\r\n"
                                                          << 2 << QStringList{"a,b\r\nc", "d"};
    QTest::newRow("LF and CR line ends") << "\"a\"\n\"b\"\r\"c\"" << 3 << QStringList{"a", "b", "c"};
    QTest::newRow("no closing quote") << "\"abc\r\n" << 2 << QStringList{"abc\r\n"};
    QTest::newRow("short record") << "\"255\"\r\n" << 2 << QStringList{"255"};
    QTest::newRow("comma at the end of the file") << "\"a\"," << 2 << QStringList{"a"};
    QTest::newRow("surplus ignored") << "\"a\",\"b\",\"c\"\r\n\"d\"\r\n" << 2 << QStringList{"a", "b"};
}

void TestSettingsFile::parse()
{
    QFETCH(QString, record);
    QFETCH(int, count);
    QFETCH(QStringList, values);
    QCOMPARE(RecordFormat::parse(record, count), values);
}

// A write cut short (here by a file-size limit, which holds for root too) is reported.
// The old file stays whole; only in a folder without write access, where the file is
// written in place, is it cut short.
void TestSettingsFile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<QByteArray>("left");
    QTest::newRow("writable folder") << false << QByteArray("\"the old text, whole\"\r\n");
    QTest::newRow("read-only folder, written in place") << true << QByteArray("\"xxxxxxx");
}

void TestSettingsFile::failedWriteKeepsOldFile()
{
    QFETCH(bool, readOnlyFolder);
    QFETCH(QByteArray, left);
    m_dir->write(u"text"_qs, "\"the old text, whole\"\r\n");
    std::optional<QString> reason;
    for (const char *path : {".", "text"}) // as root, the folder and file are nobody's
        QVERIFY(::geteuid() != 0 ||
                ::chown(path, AsUnprivilegedUser::userId(), AsUnprivilegedUser::groupId()) == 0);
    QCOMPARE(::chmod(".", readOnlyFolder ? 0555 : 0700), 0);
    {
        const AsUnprivilegedUser nobody;
        const FileSizeLimit limit(8);
        QVERIFY(nobody.isValid() && limit.isValid());
        reason = SettingsFile::write(u"text"_qs, {QString(200, 'x')});
    }
    QCOMPARE(::chmod(".", 0700), 0);
    QVERIFY2(reason && !reason->isEmpty(), "the reason is told");
    QCOMPARE(m_dir->read(u"text"_qs), left);
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"text"});
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
