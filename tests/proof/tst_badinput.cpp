// Hostile files under every settings name and picked for import: the start-up restore,
// Load and the import end at once, nothing crashes, the other settings still apply, the
// hostile file's own group takes what converts and keeps the rest, and no file changes.

#include "corefixture.h"
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

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

QByteArray quotedValue(const QByteArray &value)
{
    return '"' + value + "\"\r\n";
}

QByteArray valuesRecord(const QByteArray &value, int count)
{
    QByteArray bytes;
    for (int index = 0; index < count; ++index)
        bytes += (index ? ",\"" : "\"") + value + '"';
    return bytes + "\r\n";
}

QVariantMap map(std::initializer_list<std::pair<QString, QVariant>> values)
{
    return QVariantMap(values);
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
    // For a settings name: the properties the hostile file sets; every other property
    // keeps what the window had, and the other four files apply in full. For an import:
    // "text" is the text taken, or "refused" that the import is refused with a message.
    QTest::addColumn<QVariantMap>("effect");

    const QStringList settings{QStringLiteral("text"), QStringLiteral("color"), QStringLiteral("speed"),
                               QStringLiteral("dirct"), QStringLiteral("font")};
    const auto add = [](const QString &caseName, const QString &target, Kind kind, const QByteArray &bytes,
                        const QVariantMap &effect) {
        QTest::addRow("%s as %s", qPrintable(caseName), qPrintable(target))
            << target << kind << bytes << effect;
    };
    const QVariantMap none;
    const QVariantMap refused = map({{QStringLiteral("refused"), true}});
    const auto imported = [](const QString &text) {
        return map({{QStringLiteral("text"), text}});
    };

    // One case under every settings name and as an import: the effect for each.
    struct Case
    {
        QString name;
        Kind kind;
        QByteArray bytes;
        QList<QVariantMap> effects; // text, color, speed, dirct, font, import
    };
    const QByteArray closingQuoteMissing = "\"Hostile,1\r\n";
    const QByteArray tenThousand = valuesRecord("1", 10000);
    const QByteArray oneMiB = quotedValue(QByteArray(1024 * 1024, 'x'));
    const QByteArray nul("\"A\0B\",\"\0\"\r\n", 11);
    const QString nulText = QStringLiteral("A") + QChar(0) + QStringLiteral("B");
    const QByteArray invalidUtf8 = "\"Caf\xE9\",\"1\"\r\n";
    const QByteArray digits = "\"" + QByteArray(400, '9') + "\",\"-" + QByteArray(400, '1') + "\"\r\n";
    const QString nines = QString(400, u'9');
    const QList<Case> cases{
        {QStringLiteral("empty"), Kind::Bytes, {}, {none, none, none, none, none, imported({})}},
        {QStringLiteral("missing closing quote"),
         Kind::Bytes,
         closingQuoteMissing,
         {map({{u"text"_qs, u"Hostile,1\r\n"_qs}}), none, none, none,
          map({{u"fontName"_qs, u"Hostile,1\r\n"_qs}}), imported(QString::fromLatin1(closingQuoteMissing))}},
        {QStringLiteral("10,000 values"),
         Kind::Bytes,
         tenThousand,
         {map({{u"text"_qs, u"1"_qs}}), map({{u"fore"_qs, 1}, {u"back"_qs, 1}}), map({{u"speed"_qs, 12}}),
          map({{u"direction"_qs, 2}}),
          map({{u"fontName"_qs, u"1"_qs},
               {u"fontSize"_qs, 1.0},
               {u"bold"_qs, true},
               {u"italic"_qs, true},
               {u"underline"_qs, true}}),
          imported(QString::fromLatin1(tenThousand))}},
        {QStringLiteral("a value of 1 MiB"), Kind::Bytes, oneMiB, {none, none, none, none, none, refused}},
        {QStringLiteral("NUL bytes"),
         Kind::Bytes,
         nul,
         {map({{u"text"_qs, nulText}}), none, none, none, map({{u"fontName"_qs, nulText}}),
          imported(QString::fromLatin1(nul))}},
        {QStringLiteral("invalid UTF-8"),
         Kind::Bytes,
         invalidUtf8,
         {map({{u"text"_qs, u"Caf\u00e9"_qs}}), map({{u"back"_qs, 1}}), map({{u"speed"_qs, 2}}),
          map({{u"direction"_qs, 2}}), map({{u"fontName"_qs, u"Caf\u00e9"_qs}, {u"fontSize"_qs, 1.0}}),
          imported(u"\"Caf\u00e9\",\"1\"\r\n"_qs)}},
        {QStringLiteral("numbers with 400 digits"),
         Kind::Bytes,
         digits,
         {map({{u"text"_qs, nines}}), none, map({{u"speed"_qs, 2}}), map({{u"direction"_qs, 2}}),
          map({{u"fontName"_qs, nines}}), imported(QString::fromLatin1(digits))}},
        {QStringLiteral("a folder"), Kind::Folder, {}, {none, none, none, none, none, refused}},
        {QStringLiteral("a FIFO"), Kind::Fifo, {}, {none, none, none, none, none, refused}},
        {QStringLiteral("a link to /dev/zero"),
         Kind::Link,
         "/dev/zero",
         {none, none, none, none, none, refused}},
        {QStringLiteral("a dangling link"), Kind::Link, "nowhere", {none, none, none, none, none, refused}},
        {QStringLiteral("a link to a FIFO"), Kind::LinkToFifo, {}, {none, none, none, none, none, refused}},
    };
    for (const Case &hostile : cases) {
        for (qsizetype index = 0; index < settings.size(); ++index)
            add(hostile.name, settings[index], hostile.kind, hostile.bytes, hostile.effects[index]);
        add(hostile.name, QStringLiteral("import"), hostile.kind, hostile.bytes, hostile.effects[5]);
    }

    // A byte-order mark in front of a sound record changes nothing.
    for (const Group &group : groups())
        add(QStringLiteral("byte-order mark"), group.name, Kind::Bytes, kByteOrderMark + group.record,
            group.applies);
    add(QStringLiteral("byte-order mark"), QStringLiteral("import"), Kind::Bytes, kByteOrderMark + "Hello",
        imported(u"Hello"_qs));

    // The exports to a name that is no ordinary file: refused, and the thing stays.
    add(QStringLiteral("a folder"), QStringLiteral("export"), Kind::Folder, {}, refused);
    add(QStringLiteral("a FIFO"), QStringLiteral("export"), Kind::Fifo, {}, refused);
    add(QStringLiteral("a link to /dev/zero"), QStringLiteral("export"), Kind::Link, "/dev/zero", refused);
}

void TestBadInput::hostileFile()
{
    QFETCH(QString, target);
    QFETCH(Kind, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QVariantMap, effect);

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
        for (const Group &group : groups())
            expected.insert(group.name == hostileName ? effect : group.applies);

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
        if (effect.contains(QStringLiteral("refused"))) {
            QCOMPARE(messages.messages.size(), 1);
            QVERIFY2(messages.messages[0].text.contains(hostileName), qPrintable(messages.messages[0].text));
            QCOMPARE(window.text(), kept);
        } else {
            QVERIFY(messages.messages.isEmpty());
            QCOMPARE(window.text(), effect.value(QStringLiteral("text")).toString());
        }
    }
    // Reading never writes, and a refused export leaves the thing in its place.
    QCOMPARE(snapshot(), before);
}

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
