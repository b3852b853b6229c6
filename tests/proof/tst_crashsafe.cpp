// SPDX-License-Identifier: MIT
// Saving survives the process being killed at any moment: afterwards every settings file
// and every export holds either the old content or the new one, whole. A write that
// cannot complete is the settings and transfer tests'.

#include "corefixture.h"
#include "io/texttransfer.h"
#include "settings/settingscommands.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <climits>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Two states of different lengths, so that a cut file shows, and long enough for kills to
// land inside a write.
struct State
{
    QString text;
    int speedLevel;
    Direction direction;
    QString fontName;
};

QString repeated(const QString &pattern, int length)
{
    return pattern.repeated(length / pattern.size() + 1).left(length);
}

const State kStates[]{
    {repeated(u"Alpha, the first text; "_qs, 65535), 3, Direction::Left, u"Arial"_qs},
    {repeated(u"Beta\r\nthe second "_qs, 40000), 12, Direction::Right, u"Liberation Serif"_qs}};

// Writes the two states in turn, `rounds` times, in the current folder: Save and the font
// file, or the text and HTML exports. Writes a byte to `ready` once every file is whole.
bool saveRounds(bool settings, unsigned rounds, int ready = -1)
{
    struct
    {
        PlainWindow window;
        SettingsRecord record;
        ScriptedDialog dialog;
        RecordingMessageBox messages;
        RecordingProgramEnd programEnd;
    } fx;
    SettingsCommands commands(fx.window, fx.record, fx.messages, fx.programEnd);
    TextTransfer transfer(fx.window, fx.dialog, fx.messages);
    for (unsigned round = 0; round != rounds; ++round) {
        const State &state = kStates[round % 2];
        fx.window.setText(state.text);
        if (settings) {
            fx.window.setSpeedSelected(state.speedLevel, true);
            fx.window.setDirectionSelected(state.direction, true);
            commands.save();
            fx.record.fontName = state.fontName;
            if (SettingsCommands::writeFontFile(fx.record))
                return false;
        } else {
            fx.dialog.expect(QDir::current().filePath(u"export.txt"_qs));
            transfer.exportText();
            fx.dialog.expect(QDir::current().filePath(u"page.htm"_qs));
            transfer.exportHtml();
        }
        if (!fx.messages.messages.isEmpty())
            return false;
        if (round == 0 && ready >= 0 && ::write(ready, "r", 1) != 1)
            return false;
    }
    return true;
}

QByteArray readAll(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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
    QTest::addColumn<bool>("settings");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("kills");
    QTest::newRow("Save and the font file")
        << true << QStringList{"text", "color", "speed", "dirct", "font"} << 100;
    QTest::newRow("text and HTML export") << false << QStringList{"export.txt", "page.htm"} << 50;
}

void TestCrashSafe::killedWhileSaving()
{
    QFETCH(bool, settings);
    QFETCH(QStringList, files);
    QFETCH(int, kills);
    TempCurrentDir dir;
    // What each file holds after one round and after two.
    QList<QByteArrayList> whole(files.size());
    for (const QString &rounds : {u"1"_qs, u"2"_qs}) {
        QVERIFY(QDir().mkdir(rounds) && QDir::setCurrent(rounds));
        QVERIFY(saveRounds(settings, rounds.toUInt()));
        for (qsizetype index = 0; index < files.size(); ++index)
            whole[index] << readAll(files[index]);
        QDir::setCurrent(dir.path());
    }

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    for (int kill = 0; kill < kills; ++kill) {
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t saver = ::fork();
        if (saver == 0) {
            ::close(ready[0]);
            ::_exit(saveRounds(settings, UINT_MAX, ready[1]) ? 0 : 1);
        }
        ::close(ready[1]);
        char byte = 0;
        const bool started = ::read(ready[0], &byte, 1) == 1; // EOF if the saver failed
        ::close(ready[0]);
        if (started)
            ::usleep(random.bounded(40000));
        ::kill(saver, SIGKILL); // no chance to tidy up
        int status = 0;
        QCOMPARE(::waitpid(saver, &status, 0), saver);
        QVERIFY2(started && WIFSIGNALED(status), "the saver failed or ended by itself");
        for (qsizetype index = 0; index < files.size(); ++index)
            QVERIFY2(whole[index].contains(readAll(files[index])),
                     qPrintable(QStringLiteral("kill %1 (seed %2): \"%3\" is not whole")
                                    .arg(kill)
                                    .arg(seed)
                                    .arg(files[index])));
    }
    if (!settings)
        return;

    // The next start reads what the files hold. The next Save removes what the killed
    // saves left, and one more, and so does Delete; neither touches a file of the user's
    // or a link that looks like one.
    CoreFixture next;
    QDir::setCurrent(dir.path());
    SettingsCommands commands(next.window, next.record, next.messages, next.programEnd);
    commands.restoreAtStartup();
    QVERIFY(next.window.text() == kStates[0].text || next.window.text() == kStates[1].text);
    const auto leftovers = [] {
        return QDir().entryList({u"*.tickora-save-*"_qs}, QDir::AllEntries | QDir::Hidden | QDir::System);
    };
    dir.write(u".color.tickora-save-Ab12cD"_qs, "\"25");
    dir.write(u"text.backup"_qs, "kept");
    QVERIFY(QFile::link(u"text.backup"_qs, u".speed.tickora-save-link00"_qs));
    commands.save();
    QCOMPARE(leftovers(), QStringList{u".speed.tickora-save-link00"_qs});
    QCOMPARE(dir.read(u"text.backup"_qs), QByteArray("kept"));
    dir.write(u".font.tickora-save-Zz9Yy8"_qs, {});
    commands.deleteFiles();
    QCOMPARE(leftovers(), QStringList{u".speed.tickora-save-link00"_qs});
    QVERIFY(next.messages.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestCrashSafe)
#include "tst_crashsafe.moc"
