// SPDX-License-Identifier: MIT
// Hostile files under every settings name and picked for import: the start-up restore,
// Load and the import end at once, nothing crashes, the other settings still apply, a file
// that cannot be read changes nothing, and no file changes. What a readable hostile
// record converts to is the settings fuzz target's, which replays the same bytes.

#include "corefixture.h"
#include "io/textencoding.h"
#include "io/texttransfer.h"
#include "settings/settingscommands.h"
#include "windowstate.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a settings name or an import name leads to. A link leads to the path in its bytes;
// a link to a FIFO, to a FIFO made beside it.
enum class Kind { Bytes, Folder, Fifo, Link, LinkToFifo };

// A sound file under every settings name, and what each applies.
struct Group
{
    QString name;
    QByteArray record;
    QVariantMap applies;
};

const QList<Group> kGroups{
    {u"text"_qs, "\"Other text\"\r\n", {{u"text"_qs, u"Other text"_qs}}},
    {u"color"_qs, "\"255\",\"65280\"\r\n", {{u"fore"_qs, 255}, {u"back"_qs, 65280}}},
    {u"speed"_qs, "\"False\",\"False\",\"True\"\r\n", {{u"speed"_qs, 3}}},
    {u"dirct"_qs, "\"False\",\"True\"\r\n", {{u"direction"_qs, 2}}},
    {u"font"_qs,
     "\"Liberation Serif\",\"36\",\"True\",\"True\",\"False\"\r\n",
     {{u"fontName"_qs, u"Liberation Serif"_qs},
      {u"fontSize"_qs, 36.0},
      {u"bold"_qs, true},
      {u"italic"_qs, true},
      {u"underline"_qs, false}}},
};

bool makeEntry(const QString &name, Kind kind, const QByteArray &bytes)
{
    QFile file(name);
    switch (kind) {
    case Kind::Bytes:
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    case Kind::Folder:
        return QDir().mkdir(name);
    case Kind::Fifo:
        return ::mkfifo(QFile::encodeName(name).constData(), 0644) == 0;
    case Kind::Link:
        return QFile::link(QString::fromLatin1(bytes), name);
    case Kind::LinkToFifo:
        return makeEntry(name + u".pipe"_qs, Kind::Fifo, {}) && QFile::link(name + u".pipe"_qs, name);
    }
    return false;
}

// Every entry of the folder: its mode, size, time, link target and content, links not followed.
QStringList snapshot()
{
    QStringList entries;
    for (const QFileInfo &info : QDir::current().entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                               QDir::System | QDir::NoDotAndDotDot)) {
        struct stat status = {};
        ::lstat(QFile::encodeName(info.fileName()).constData(), &status);
        QFile file(info.fileName());
        const QByteArray content =
            S_ISREG(status.st_mode) && file.open(QIODevice::ReadOnly)
                ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex()
                : QByteArray();
        entries << QStringLiteral("%1 %2 %3 %4.%5 %6 %7")
                       .arg(info.fileName())
                       .arg(status.st_mode, 0, 8)
                       .arg(status.st_size)
                       .arg(status.st_mtim.tv_sec)
                       .arg(status.st_mtim.tv_nsec)
                       .arg(info.symLinkTarget(), QString::fromLatin1(content));
    }
    return entries;
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
    const struct
    {
        const char *name;
        Kind kind;
        QByteArray bytes;
        bool readable;
    } cases[]{
        {"empty", Kind::Bytes, {}, true},
        {"missing closing quote", Kind::Bytes, "\"Hostile,1\r\n", true},
        {"10,000 values", Kind::Bytes, QByteArray("\"1\",").repeated(10000), true},
        {"a value of 1 MiB", Kind::Bytes, '"' + QByteArray(1024 * 1024, 'x') + "\"\r\n", false},
        {"NUL bytes", Kind::Bytes, QByteArray("\"A\0B\",\"\0\"\r\n", 11), true},
        {"invalid UTF-8", Kind::Bytes, "\"Caf\xE9\",\"1\"\r\n", true},
        {"numbers with 400 digits", Kind::Bytes,
         '"' + QByteArray(400, '9') + "\",\"-" + QByteArray(400, '1') + '"', true},
        {"a folder", Kind::Folder, {}, false},
        {"a FIFO", Kind::Fifo, {}, false},
        {"a link to /dev/zero", Kind::Link, "/dev/zero", false},
        {"a dangling link", Kind::Link, "nowhere", false},
        {"a link to a FIFO", Kind::LinkToFifo, {}, false},
    };
    for (const auto &hostile : cases) {
        QStringList targets{u"import"_qs};
        for (const Group &group : kGroups)
            targets << group.name;
        // An export to a name that is no ordinary file is refused, and the thing stays.
        if (hostile.kind == Kind::Folder || hostile.kind == Kind::Fifo || hostile.bytes == "/dev/zero")
            targets << u"export"_qs;
        for (const QString &target : targets)
            QTest::addRow("%s as %s", hostile.name, qPrintable(target))
                << target << hostile.kind << hostile.bytes << hostile.readable;
    }
}

void TestBadInput::hostileFile()
{
    QFETCH(QString, target);
    QFETCH(Kind, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    CoreFixture fx;
    const bool isSettings = target != u"import" && target != u"export";
    const QString hostileName = isSettings ? target : u"hostile"_qs;
    PlainWindow reference; // what the window holds before the restore, with the 320-point preset
    reference.setFontSize(320);
    QVariantMap expected = stateOf(reference);
    for (const Group &group : kGroups) {
        if (group.name != hostileName) {
            fx.dir.write(group.name, group.record);
            expected.insert(group.applies);
        } else if (readable) {
            for (const QString &property : group.applies.keys())
                expected.remove(property);
        }
    }
    QVERIFY(makeEntry(hostileName, kind, bytes));
    const QStringList before = snapshot();

    ::alarm(20); // a command that hangs ends the run: SIGALRM's default action
    SettingsCommands commands(fx.window, fx.record, fx.messages, fx.programEnd);
    if (isSettings) {
        // Load reads the same files and applies the same values again.
        commands.restoreAtStartup();
        QCOMPARE(stateDifferences(stateOf(fx.window), expected), QString());
        commands.load();
        QCOMPARE(stateDifferences(stateOf(fx.window), expected), QString());
        QVERIFY(fx.messages.messages.isEmpty());
    } else {
        TextTransfer transfer(fx.window, fx.dialog, fx.messages);
        fx.window.setText(u"Before"_qs);
        fx.dialog.expect(hostileName);
        target == u"import" ? transfer.importText() : transfer.exportText();
        QCOMPARE(fx.messages.messages.size(), readable ? 0 : 1);
        QCOMPARE(fx.window.text(), readable ? TextEncoding::decode(bytes) : u"Before"_qs);
        QVERIFY(readable || fx.messages.messages[0].text.contains(hostileName));
    }
    ::alarm(0);
    // Reading never writes, and a refused export leaves the thing in its place.
    QCOMPARE(snapshot(), before);
}

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
