// Saving survives the process being killed at any moment and a full disk: afterwards
// every settings file and every export holds either the old content or the new one,
// whole, and a write that cannot complete says so and leaves the old file.

#include "crashsafestates.h"
#include "io/texttransfer.h"
#include "plainwindow.h"
#include "scriptedservices.h"
#include "settings/settingscommands.h"
#include "tempcurrentdir.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

using namespace CrashSafe;

namespace {

// The files that a helper of the given mode writes, with their two possible contents.
struct Expected
{
    QString name;
    QByteArray first;
    QByteArray second;
};

QList<Expected> expectedFiles(const QString &mode)
{
    QList<Expected> files;
    if (mode == u"settings") {
        for (const QString &name : kSettingsNames)
            files.append({name, settingsBytes(name, states()[0]), settingsBytes(name, states()[1])});
    } else {
        files.append({kExportName, exportBytes(states()[0]), exportBytes(states()[1])});
        files.append({kHtmlName, htmlBytes(states()[0]), htmlBytes(states()[1])});
    }
    return files;
}

// A small memory file system mounted over a folder for as long as the object lives.
class SmallFileSystem
{
public:
    SmallFileSystem(const QString &path, const QByteArray &size) : m_path(QFile::encodeName(path))
    {
        const QByteArray options = "size=" + size + ",mode=0755";
        if (::mount("tickora-test", m_path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) ==
            0)
            m_mounted = true;
        else
            m_reason = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    [[nodiscard]] bool isMounted() const { return m_mounted; }
    [[nodiscard]] QString reason() const { return m_reason; }

private:
    QByteArray m_path;
    bool m_mounted = false;
    QString m_reason;
};

// Writes a file until the file system has no room left, and returns how much it took.
qint64 fillUp(const QString &name)
{
    QFile filler(name);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return -1;
    const QByteArray block(4096, 'f');
    qint64 written = 0;
    while (filler.write(block) == block.size())
        written += block.size();
    return written;
}

QByteArray readAll(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void applyState(WindowAccess &window, const State &state)
{
    window.setText(state.text);
    window.setForeColour(state.foreColour);
    window.setBackColour(state.backColour);
    window.setSpeedSelected(state.speedLevel, true);
    window.setDirectionSelected(state.direction, true);
}

} // namespace

class TestCrashSafe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSaving_data();
    void killedWhileSaving();
    void fullDisk();
};

void TestCrashSafe::killedWhileSaving_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("kills");
    QTest::newRow("Save and the font file") << QStringLiteral("settings") << 200;
    QTest::newRow("text and HTML export") << QStringLiteral("export") << 100;
}

void TestCrashSafe::killedWhileSaving()
{
    QFETCH(QString, mode);
    QFETCH(int, kills);
    TempCurrentDir dir;
    QVERIFY(dir.isValid());
    const QList<Expected> files = expectedFiles(mode);
    QCOMPARE_NE(files[0].first, files[0].second);

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    QMap<QString, QList<int>> outcomes; // per file: how often the first, the second content
    for (int kill = 0; kill < kills; ++kill) {
        QProcess helper;
        helper.setWorkingDirectory(dir.path());
        helper.start(QStringLiteral(TICKORA_SAVEHELPER), {mode});
        QVERIFY2(helper.waitForStarted(), qPrintable(helper.errorString()));
        // "ready" once every file has been written whole; from then on it keeps saving.
        while (!helper.canReadLine()) {
            QVERIFY2(
                helper.waitForReadyRead(30000),
                qPrintable(QStringLiteral("the helper did not get ready: ") + helper.readAllStandardError()));
        }
        QThread::usleep(random.bounded(40000));
        helper.kill(); // SIGKILL: no chance to tidy up
        QVERIFY(helper.waitForFinished());
        QVERIFY2(helper.exitStatus() == QProcess::CrashExit,
                 qPrintable(QStringLiteral("the helper ended by itself: ") + helper.readAllStandardError()));

        for (const Expected &file : files) {
            const QByteArray bytes = readAll(file.name);
            QVERIFY2(
                bytes == file.first || bytes == file.second,
                qPrintable(QStringLiteral("kill %1 (seed %2): \"%3\" holds %4 bytes, neither content whole")
                               .arg(kill)
                               .arg(seed)
                               .arg(file.name)
                               .arg(bytes.size())));
            QList<int> &counts = outcomes[file.name];
            counts.resize(2);
            ++counts[bytes == file.first ? 0 : 1];
        }
    }
    QStringList summary;
    for (auto it = outcomes.cbegin(); it != outcomes.cend(); ++it)
        summary << QStringLiteral("%1 %2/%3").arg(it.key()).arg(it.value()[0]).arg(it.value()[1]);
    const auto leftovers = [&dir] {
        return QDir(dir.path())
            .entryList({QStringLiteral("*.tickora-save-*")}, QDir::AllEntries | QDir::Hidden | QDir::System);
    };
    qInfo("%d kills, every file whole; first/second content: %s; unfinished temporary files left: %lld",
          kills, qPrintable(summary.join(QStringLiteral(", "))), static_cast<long long>(leftovers().size()));

    // The next start reads what the files hold, whatever was killed.
    if (mode == u"settings") {
        PlainWindow window;
        SettingsRecord record;
        RecordingMessageBox messages;
        RecordingProgramEnd programEnd;
        SettingsCommands commands(window, record, messages, programEnd);
        commands.restoreAtStartup();
        QVERIFY(window.text() == states()[0].text || window.text() == states()[1].text);

        // The next Save removes what the killed saves left, and one more, and so does
        // Delete; neither touches a file of the user's or a link that looks like one.
        dir.write(QStringLiteral(".color.tickora-save-Ab12cD"), "\"25");
        dir.write(QStringLiteral("text.backup"), "kept");
        QVERIFY(QFile::link(QStringLiteral("text.backup"),
                            dir.filePath(QStringLiteral(".speed.tickora-save-link00"))));
        commands.save();
        QCOMPARE(leftovers(), QStringList{QStringLiteral(".speed.tickora-save-link00")});
        QCOMPARE(dir.read(QStringLiteral("text.backup")), QByteArray("kept"));
        dir.write(QStringLiteral(".font.tickora-save-Zz9Yy8"), {});
        commands.deleteFiles();
        QCOMPARE(leftovers(), QStringList{QStringLiteral(".speed.tickora-save-link00")});
        QVERIFY(messages.messages.isEmpty());
    }
}

// A full file system: Save, the font file and both exports each report the file and the
// reason, and leave the old files whole; a write cut short part-way does the same.
void TestCrashSafe::fullDisk()
{
    TempCurrentDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("small")));
    SmallFileSystem small(dir.filePath(QStringLiteral("small")), "512k");
    if (!small.isMounted())
        QSKIP(qPrintable(QStringLiteral("cannot mount a small file system here (%1); the write failures are "
                                        "covered with a file-size limit by the settings tests")
                             .arg(small.reason())));
    QVERIFY(QDir::setCurrent(dir.filePath(QStringLiteral("small"))));

    PlainWindow window;
    SettingsRecord record;
    RecordingMessageBox messages;
    RecordingProgramEnd programEnd;
    SettingsCommands commands(window, record, messages, programEnd);
    ScriptedDialog dialog;
    TextTransfer transfer(window, dialog, messages);

    // The old files, written while there is room.
    applyState(window, states()[0]);
    commands.save();
    record.fontName = states()[0].font[0];
    record.fontSize = states()[0].font[1];
    record.fontBold = states()[0].font[2];
    record.fontItalic = states()[0].font[3];
    record.fontUnderline = states()[0].font[4];
    QVERIFY(!SettingsCommands::writeFontFile(record));
    dialog.expect(kExportName);
    transfer.exportText();
    dialog.expect(kHtmlName);
    transfer.exportHtml();
    QVERIFY(messages.messages.isEmpty());
    QList<Expected> files =
        expectedFiles(QStringLiteral("settings")) + expectedFiles(QStringLiteral("export"));

    const auto checkOldFilesWhole = [&] {
        for (const Expected &file : files) {
            if (readAll(file.name) != file.first)
                return false;
        }
        return true;
    };
    const QString noSpace = QString::fromLocal8Bit(std::strerror(ENOSPC));

    // Completely full.
    QVERIFY(fillUp(QStringLiteral("filler")) > 0);
    applyState(window, states()[1]);
    commands.save();
    QCOMPARE(messages.messages.size(), 1);
    QString message = messages.messages.takeFirst().text;
    for (const QString &name : kSettingsNames.first(4))
        QVERIFY2(message.contains(QLatin1Char('"') + name + QLatin1Char('"')), qPrintable(message));
    QVERIFY2(message.contains(noSpace), qPrintable(message));
    QVERIFY(checkOldFilesWhole());

    record.fontName = states()[1].font[0];
    const std::optional<QString> fontFailure = SettingsCommands::writeFontFile(record);
    QVERIFY(fontFailure);
    QVERIFY2(fontFailure->contains(noSpace), qPrintable(*fontFailure));

    for (const QString &name : {kExportName, kHtmlName}) {
        dialog.expect(name);
        name == kExportName ? transfer.exportText() : transfer.exportHtml();
        QCOMPARE(messages.messages.size(), 1);
        message = messages.messages.takeFirst().text;
        QVERIFY2(message.contains(name) && message.contains(noSpace), qPrintable(message));
    }
    QVERIFY(checkOldFilesWhole());

    // Room for a part of the new text only: the write stops part-way, and still the
    // old file stays whole.
    QVERIFY(QFile::remove(QStringLiteral("filler")));
    QVERIFY(fillUp(QStringLiteral("filler")) > 0);
    {
        QFile filler(QStringLiteral("filler"));
        QVERIFY(filler.resize(filler.size() - 16 * 1024));
    }
    commands.save();
    QCOMPARE(messages.messages.size(), 1);
    message = messages.messages.takeFirst().text;
    QVERIFY2(message.contains(QStringLiteral("\"text\"")) && message.contains(noSpace), qPrintable(message));
    QCOMPARE(readAll(QStringLiteral("text")), files[0].first);
    for (const Expected &file : files) {
        const QByteArray bytes = readAll(file.name);
        QVERIFY2(bytes == file.first || bytes == file.second, qPrintable(file.name));
    }
    dialog.expect(kExportName);
    transfer.exportText();
    QCOMPARE(messages.messages.size(), 1);
    message = messages.messages.takeFirst().text;
    QVERIFY2(message.contains(kExportName) && message.contains(noSpace), qPrintable(message));
    QCOMPARE(readAll(kExportName), exportBytes(states()[0]));

    QVERIFY(QDir::setCurrent(dir.path()));
}

QTEST_GUILESS_MAIN(TestCrashSafe)
#include "tst_crashsafe.moc"
