// SPDX-License-Identifier: MIT
// Saving survives the process being killed at any moment: afterwards every settings file
// holds either the old content or the new one, whole. Exports go through the same atomic
// writer; a write that cannot complete is the settings and transfer tests'.

#include "corefixture.h"
#include "settings/settingscommands.h"

#include <QRandomGenerator>
#include <QTest>

#include <climits>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Two texts of different lengths, so that a cut file shows, long enough for kills to land
// inside a write.
const QString kTexts[]{u"Alpha, the first text; "_qs.repeated(2850).left(65535),
                       u"Beta\r\nthe second "_qs.repeated(2200).left(40000)};

// Writes two states in turn, `rounds` times, in the current folder: Save and the font file.
// Writes a byte to `ready` once every file is whole.
bool saveRounds(unsigned rounds, int ready = -1)
{
    PlainWindow window;
    SettingsRecord record;
    RecordingMessageBox messages;
    RecordingProgramEnd programEnd;
    SettingsCommands commands(window, record, messages, programEnd);
    for (unsigned round = 0; round != rounds; ++round) {
        const bool second = round % 2;
        window.setText(kTexts[second]);
        window.setSpeedSelected(second ? 12 : 3, true);
        window.setDirectionSelected(second ? Direction::Right : Direction::Left, true);
        commands.save();
        record.fontName = second ? u"Liberation Serif"_qs : u"Arial"_qs;
        if (SettingsCommands::writeFontFile(record))
            return false;
        if (!messages.messages.isEmpty() || (round == 0 && ready >= 0 && ::write(ready, "r", 1) != 1))
            return false;
    }
    return true;
}

} // namespace

class TestCrashSafe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSaving();
};

void TestCrashSafe::killedWhileSaving()
{
    const QStringList files{u"text"_qs, u"color"_qs, u"speed"_qs, u"dirct"_qs, u"font"_qs};
    TempCurrentDir dir;
    // What each file holds after one round and after two.
    for (const char *rounds : {"1", "2"}) {
        QVERIFY(QDir().mkdir(rounds) && QDir::setCurrent(rounds));
        QVERIFY(saveRounds(QByteArray(rounds).toUInt()));
        QDir::setCurrent(dir.path());
    }

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    for (int kill = 0; kill < 100; ++kill) {
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t saver = ::fork();
        if (saver == 0) {
            ::close(ready[0]);
            ::_exit(saveRounds(UINT_MAX, ready[1]) ? 0 : 1);
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
        for (const QString &name : files) {
            const QByteArray bytes = dir.read(name);
            QVERIFY2(
                bytes == dir.read(u"1/"_qs + name) || bytes == dir.read(u"2/"_qs + name),
                qPrintable(
                    QStringLiteral("kill %1 (seed %2): \"%3\" is not whole").arg(kill).arg(seed).arg(name)));
        }
    }
    // The next start reads what the files hold. The next Save removes what the killed
    // saves left, and one more, and so does Delete; neither touches a file of the user's
    // or a link that looks like one.
    CoreFixture next;
    QDir::setCurrent(dir.path());
    SettingsCommands commands(next.window, next.record, next.messages, next.programEnd);
    commands.restoreAtStartup();
    QVERIFY(next.window.text() == kTexts[0] || next.window.text() == kTexts[1]);
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
