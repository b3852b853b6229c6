// SPDX-License-Identifier: MIT
// Saving survives the process being killed at any moment: afterwards every settings file
// and every export holds either the old content or the new one, whole. A write that
// cannot complete is the settings and transfer tests'.

#include "crashsafestates.h"
#include "plainwindow.h"
#include "scriptedservices.h"
#include "settings/settingscommands.h"
#include "tempcurrentdir.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace CrashSafe;

namespace {

QByteArray readAll(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The files that a helper of the given mode writes, with what each holds after the
// helper's first round and after its second; none if a helper failed.
struct Expected
{
    QString name;
    QByteArray first;
    QByteArray second;
};

QList<Expected> expectedFiles(const QString &mode, const QString &folder)
{
    for (const QString &rounds : {QStringLiteral("1"), QStringLiteral("2")}) {
        QProcess helper;
        QDir().mkpath(folder + u'/' + rounds);
        helper.setWorkingDirectory(folder + u'/' + rounds);
        helper.start(QStringLiteral(TICKORA_SAVEHELPER), {mode, rounds});
        if (!helper.waitForFinished(60000) || helper.exitCode() != 0)
            return {};
    }
    QList<Expected> files;
    for (const QString &name : mode == u"settings" ? kSettingsNames : QStringList{kExportName, kHtmlName})
        files.append({name, readAll(folder + QStringLiteral("/1/") + name),
                      readAll(folder + QStringLiteral("/2/") + name)});
    return files;
}

} // namespace

class TestCrashSafe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSaving_data();
    void killedWhileSaving();
};

void TestCrashSafe::killedWhileSaving_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("kills");
    QTest::newRow("Save and the font file") << QStringLiteral("settings") << 100;
    QTest::newRow("text and HTML export") << QStringLiteral("export") << 50;
}

void TestCrashSafe::killedWhileSaving()
{
    QFETCH(QString, mode);
    QFETCH(int, kills);
    TempCurrentDir dir;
    QVERIFY(dir.isValid());
    const QTemporaryDir references;
    const QList<Expected> files = expectedFiles(mode, references.path());
    QVERIFY(!files.isEmpty());
    for (const Expected &file : files)
        QCOMPARE_NE(file.first, file.second);

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

QTEST_GUILESS_MAIN(TestCrashSafe)
#include "tst_crashsafe.moc"
