// SPDX-License-Identifier: MIT
// Hostile files under every settings name and picked for import: the start-up restore,
// Load and the import end at once, nothing crashes, the other settings still apply, a file
// that cannot be read changes nothing, and no file changes. What a readable hostile
// record converts to is the settings fuzz target's, which replays the same bytes.

#include "corefixture.h"
#include "io/textencoding.h"
#include "io/texttransfer.h"
#include "settings/settingscommands.h"
#include "window/initialstate.h"
#include "windowstate.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a settings name or an import name leads to.
// A link leads to the path in its bytes; a link to a FIFO, to a FIFO made beside it.
enum class Kind { Bytes, Folder, Fifo, Link, LinkToFifo };

// A command that has not ended after this long hangs; the run is cut off and reports it.
constexpr unsigned kHangSeconds = 20;

// A sound file under every settings name, and what each applies.
struct Group
{
    QString name;
    QByteArray record;
    QVariantMap applies;
};

const QList<Group> &groups()
{
    static const QList<Group> kGroups{
        {QStringLiteral("text"),
         "\"Other text\"\r\n",
         {{QStringLiteral("text"), QStringLiteral("Other text")}}},
        {QStringLiteral("color"),
         "\"255\",\"65280\"\r\n",
         {{QStringLiteral("fore"), 255}, {QStringLiteral("back"), 65280}}},
        {QStringLiteral("speed"),
         "\"False\",\"False\",\"True\",\"False\",\"False\",\"False\",\"False\",\"False\",\"False\",\"False\","
         "\"False\",\"False\"\r\n",
         {{QStringLiteral("speed"), 3}}},
        {QStringLiteral("dirct"), "\"False\",\"True\"\r\n", {{QStringLiteral("direction"), 2}}},
        {QStringLiteral("font"),
         "\"Liberation Serif\",\"36\",\"True\",\"True\",\"False\"\r\n",
         {{QStringLiteral("fontName"), QStringLiteral("Liberation Serif")},
          {QStringLiteral("fontSize"), 36.0},
          {QStringLiteral("bold"), true},
          {QStringLiteral("italic"), true},
          {QStringLiteral("underline"), false}}},
    };
    return kGroups;
}

QByteArray valuesRecord(const QByteArray &value, int count)
{
    QByteArray bytes;
    for (int index = 0; index < count; ++index)
        bytes += (index ? ",\"" : "\"") + value + '"';
    return bytes + "\r\n";
}

bool makeEntry(const QString &name, Kind kind, const QByteArray &bytes)
{
    switch (kind) {
    case Kind::Bytes: {
        QFile file(name);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    case Kind::Folder:
        return QDir().mkdir(name);
    case Kind::Fifo:
        return ::mkfifo(QFile::encodeName(name).constData(), 0644) == 0;
    case Kind::Link:
        return QFile::link(QString::fromLatin1(bytes), name);
    case Kind::LinkToFifo:
        return makeEntry(name + QStringLiteral(".pipe"), Kind::Fifo, {}) &&
               QFile::link(name + QStringLiteral(".pipe"), name);
    }
    return false;
}

// Every entry of the folder: its kind, size, time and content, links not followed.
QStringList snapshot()
{
    QStringList entries;
    const QFileInfoList infos = QDir::current().entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &info : infos) {
        struct stat status
        {
        };
        if (::lstat(QFile::encodeName(info.fileName()).constData(), &status) != 0) {
            entries << info.fileName() + QStringLiteral(" gone");
            continue;
        }
        QString entry = QStringLiteral("%1 mode %2 size %3 mtime %4.%5")
                            .arg(info.fileName())
                            .arg(status.st_mode, 0, 8)
                            .arg(status.st_size)
                            .arg(status.st_mtim.tv_sec)
                            .arg(status.st_mtim.tv_nsec);
        if (S_ISLNK(status.st_mode))
            entry += QStringLiteral(" -> ") + info.symLinkTarget();
        if (S_ISREG(status.st_mode)) {
            QFile file(info.fileName());
            if (file.open(QIODevice::ReadOnly))
                entry += QStringLiteral(" sha1 ") +
                         QString::fromLatin1(
                             QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
        }
        entries << entry;
    }
    return entries;
}

extern "C" void reportHang(int)
{
    static const char message[] = "tst_badinput: a command did not end: hang\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(3);
}

// Runs `command` under the hang guard.
template<typename Command> void guarded(Command command)
{
    std::signal(SIGALRM, reportHang);
    ::alarm(kHangSeconds);
    command();
    ::alarm(0);
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestBadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hostileFile_data();
    void hostileFile();
};

void TestBadInput::hostileFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("bytes");
    // An ordinary file of a size the program reads: a settings group takes what converts
    // and an import the decoded text; anything else changes nothing and an import or
    // export is refused with a message.
    QTest::addColumn<bool>("readable");

    const auto add = [](const char *caseName, const QString &target, Kind kind, const QByteArray &bytes,
                        bool readable) {
        QTest::addRow("%s as %s", caseName, qPrintable(target)) << target << kind << bytes << readable;
    };
    const struct
    {
        const char *name;
        Kind kind;
        QByteArray bytes;
        bool readable;
    } cases[]{
        {"empty", Kind::Bytes, {}, true},
        {"missing closing quote", Kind::Bytes, "\"Hostile,1\r\n", true},
        {"10,000 values", Kind::Bytes, valuesRecord("1", 10000), true},
        {"a value of 1 MiB", Kind::Bytes, '"' + QByteArray(1024 * 1024, 'x') + "\"\r\n", false},
        {"NUL bytes", Kind::Bytes, QByteArray("\"A\0B\",\"\0\"\r\n", 11), true},
        {"invalid UTF-8", Kind::Bytes, "\"Caf\xE9\",\"1\"\r\n", true},
        {"numbers with 400 digits", Kind::Bytes,
         '"' + QByteArray(400, '9') + "\",\"-" + QByteArray(400, '1') + "\"\r\n", true},
        {"a folder", Kind::Folder, {}, false},
        {"a FIFO", Kind::Fifo, {}, false},
        {"a link to /dev/zero", Kind::Link, "/dev/zero", false},
        {"a dangling link", Kind::Link, "nowhere", false},
        {"a link to a FIFO", Kind::LinkToFifo, {}, false},
    };
    for (const auto &hostile : cases) {
        for (const Group &group : groups())
            add(hostile.name, group.name, hostile.kind, hostile.bytes, hostile.readable);
        add(hostile.name, QStringLiteral("import"), hostile.kind, hostile.bytes, hostile.readable);
        // An export to a name that is no ordinary file is refused, and the thing stays.
        if (hostile.kind == Kind::Folder || hostile.kind == Kind::Fifo || hostile.bytes == "/dev/zero")
            add(hostile.name, QStringLiteral("export"), hostile.kind, hostile.bytes, false);
    }
}

void TestBadInput::hostileFile()
{
    QFETCH(QString, target);
    QFETCH(Kind, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);

    CoreFixture fx;
    QVERIFY(fx.dir.isValid());
    const bool isSettings = target != u"import" && target != u"export";
    const QString hostileName = isSettings ? target : QStringLiteral("hostile");
    for (const Group &group : groups()) {
        if (group.name != hostileName)
            fx.dir.write(group.name, group.record);
    }
    QVERIFY(makeEntry(hostileName, kind, bytes));
    const QStringList before = snapshot();

    PlainWindow &window = fx.window;
    RecordingMessageBox &messages = fx.messages;
    SettingsCommands commands(window, fx.record, messages, fx.programEnd);

    if (isSettings) {
        // What the window holds before the restore, with the 320-point preset.
        PlainWindow reference;
        reference.setFontSize(320);
        QVariantMap expected = stateOf(reference);
        for (const Group &group : groups()) {
            if (group.name != hostileName)
                expected.insert(group.applies);
            else if (readable)
                for (const QString &property : group.applies.keys())
                    expected.remove(property);
        }

        guarded([&] { commands.restoreAtStartup(); });
        QString different = stateDifferences(stateOf(window), expected);
        QVERIFY2(different.isEmpty(), qPrintable(QStringLiteral("after the restore: ") + different));
        // Load reads the same files and applies the same values again.
        guarded([&] { commands.load(); });
        different = stateDifferences(stateOf(window), expected);
        QVERIFY2(different.isEmpty(), qPrintable(QStringLiteral("after Load: ") + different));
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(fx.programEnd.requests, 0);
    } else {
        ScriptedDialog &dialog = fx.dialog;
        TextTransfer transfer(window, dialog, messages);
        const QString kept = QStringLiteral("Before");
        window.setText(kept);
        dialog.expect(hostileName);
        guarded([&] { target == u"import" ? transfer.importText() : transfer.exportText(); });
        if (!readable) {
            QCOMPARE(messages.messages.size(), 1);
            QVERIFY2(messages.messages[0].text.contains(hostileName), qPrintable(messages.messages[0].text));
            QCOMPARE(window.text(), kept);
        } else {
            QVERIFY(messages.messages.isEmpty());
            QCOMPARE(window.text(), TextEncoding::decode(bytes));
        }
    }
    // Reading never writes, and a refused export leaves the thing in its place.
    QCOMPARE(snapshot(), before);
}

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
