// SPDX-License-Identifier: MIT
#include "io/textfollower.h"
#include "tempcurrentdir.h"

#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <thread>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const QString kFollowed = QStringLiteral("followed");

enum class Change { Write, RenameOver, RenameOverOpenFile, Remove, WriteOtherFile, Pause };

// One change to the folder, and the text and number of messages that follow it.
struct Step
{
    Change change;
    QByteArray bytes;
    QString text;
    int problems;
};

QByteArray tooLong(qsizetype extra)
{
    return QByteArray(65535 + extra, 'x');
}

QStringList firstArguments(const QSignalSpy &spy)
{
    QStringList arguments;
    for (const QList<QVariant> &signal : spy)
        arguments << signal.constFirst().toString();
    return arguments;
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestTextFollower : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsFile_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("rewritten in place, one line break dropped, renamed over while open, rewritten")
            << QList<Step>{{Change::Write, "second\r\n", "second", 0},
                           {Change::Write, "third\r", "third", 0},
                           {Change::Write, "two\n\n", "two\n", 0},
                           {Change::Write, "caf\xe9", u"caf\u00e9"_qs, 0},
                           {Change::RenameOverOpenFile, "fourth", "fourth", 0},
                           {Change::Write, "fifth", "fifth", 0},
                           {Change::RenameOver, "sixth\n", "sixth", 0}}
            << QStringList{"first", "second", "third", "two\n", u"caf\u00e9"_qs, "fourth", "fifth", "sixth"};
        QTest::newRow("deleted, then created again")
            << QList<Step>{{Change::Remove, {}, "first", 1},
                           {Change::WriteOtherFile, "other", "first", 1},
                           {Change::Pause, {}, "first", 1},
                           {Change::Write, "again", "again", 1}}
            << QStringList{"first", "again"};
        QTest::newRow("too long, then good, then too long again")
            << QList<Step>{{Change::Write, tooLong(1), "first", 1},
                           {Change::Write, tooLong(2), "first", 1},
                           {Change::Pause, {}, "first", 1},
                           {Change::Write, "fine", "fine", 1},
                           {Change::Write, tooLong(1), "fine", 2}}
            << QStringList{"first", "fine"};
    }

    void followsFile()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QStringList, texts);
        TempCurrentDir dir;
        QVERIFY(dir.isValid());
        dir.write(kFollowed, "first\n");
        TextFollower follower;
        QSignalSpy shown(&follower, &TextFollower::textChanged);
        QSignalSpy problems(&follower, &TextFollower::problem);
        follower.follow(kFollowed);
        QCOMPARE(shown.count(), 1);

        QFile heldOpen;
        for (const Step &step : steps) {
            switch (step.change) {
            case Change::Write:
                dir.write(kFollowed, step.bytes);
                break;
            case Change::RenameOverOpenFile:
                // A reader keeps the old file, so that it lives on beside the new one.
                heldOpen.setFileName(dir.filePath(kFollowed));
                QVERIFY(heldOpen.open(QIODevice::ReadOnly));
                [[fallthrough]];
            case Change::RenameOver:
                dir.write(QStringLiteral("new"), step.bytes);
                QCOMPARE(std::rename("new", "followed"), 0);
                break;
            case Change::Remove:
                QVERIFY(QFile::remove(kFollowed));
                break;
            case Change::WriteOtherFile:
                dir.write(QStringLiteral("other"), step.bytes);
                break;
            case Change::Pause:
                // Time for a further message that must not come.
                QTest::qWait(5 * int(TextFollower::kSettleTime.count()));
                break;
            }
            QTRY_COMPARE_WITH_TIMEOUT(problems.count(), step.problems, 10000);
            QTRY_COMPARE_WITH_TIMEOUT(firstArguments(shown).constLast(), step.text, 10000);
        }
        QCOMPARE(firstArguments(shown), texts);
        for (const QString &message : firstArguments(problems))
            QVERIFY2(message.startsWith(u"Cannot follow \"followed\": "), qPrintable(message));
    }

    void neverShowsHalfWrittenFile()
    {
        TempCurrentDir dir;
        QVERIFY(dir.isValid());
        dir.write(kFollowed, "first");
        TextFollower follower;
        // A settle time far longer than the writer's pause, so that a slow machine cannot
        // stretch the pause past it.
        follower.setSettleTime(2s);
        QSignalSpy shown(&follower, &TextFollower::textChanged);
        follower.follow(kFollowed);

        QFile file(dir.filePath(kFollowed));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write("half") == 4 && file.flush());
        QTest::qWait(50);
        QVERIFY(file.write(" and whole") == 10 && file.flush());
        file.close();
        QTRY_COMPARE_WITH_TIMEOUT(firstArguments(shown), (QStringList{"first", "half and whole"}), 10000);
    }

    void followsLines()
    {
        int pipeEnds[2];
        QCOMPARE(::pipe(pipeEnds), 0);
        TextFollower follower;
        QSignalSpy shown(&follower, &TextFollower::textChanged);
        QSignalSpy problems(&follower, &TextFollower::problem);
        QSignalSpy finished(&follower, &TextFollower::finished);
        follower.followLines(pipeEnds[0]);

        // More than the pipe holds: the writer runs on while the lines are read.
        const QByteArray input = "one\n" + QByteArray(3 * 65536, 'x') + "\nok\nok\ntwo\r\nlast";
        std::thread writer([&] {
            for (qsizetype done = 0; done < input.size();) {
                const ssize_t count =
                    ::write(pipeEnds[1], input.constData() + done, size_t(input.size() - done));
                if (count <= 0)
                    break;
                done += count;
            }
            ::close(pipeEnds[1]);
        });
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        writer.join();
        ::close(pipeEnds[0]);

        QCOMPARE(firstArguments(shown), (QStringList{"one", "ok", "two", "last"}));
        QCOMPARE(problems.count(), 1);
        QVERIFY(
            firstArguments(problems).constFirst().startsWith(u"Cannot follow standard input: a line holds"));

        // A standard input that cannot be read is said once.
        TextFollower closed;
        QSignalSpy said(&closed, &TextFollower::problem);
        closed.followLines(-1);
        QCOMPARE(firstArguments(said), QStringList{u"Cannot follow standard input: Bad file descriptor."_qs});
    }
};

QTEST_GUILESS_MAIN(TestTextFollower)
#include "tst_textfollower.moc"
