// SPDX-License-Identifier: MIT
#include "characters/characters.h"
#include "scroll/rotation.h"

#include <QTest>
#include <QTextBoundaryFinder>

namespace {

// The caret positions of a text found independently, over the whole text at once: the
// grapheme boundaries, and the place between a carriage return and a line feed.
QList<qsizetype> referenceBoundaries(const QString &text)
{
    QList<qsizetype> boundaries;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype position = 0; position <= text.size(); ++position) {
        finder.setPosition(position);
        if (finder.isAtBoundary() || (position > 0 && text[position - 1] == u'\r' && text[position] == u'\n'))
            boundaries.append(position);
    }
    return boundaries;
}

// Texts whose characters are hard to find, with the positions where characters start:
// those of the whole text unless given.
void hardTexts()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<qsizetype>>("starts");
    const auto row = [](const char *name, const QString &text) {
        QTest::newRow(name) << text << referenceBoundaries(text);
    };
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString accents = QString(100, QChar(0x301));
    const QString france = QStringLiteral("\U0001F1EB\U0001F1F7");
    const QString stem = QStringLiteral("\U0001D165"); // a combining mark outside the BMP
    row("letters", QStringLiteral("HELLO "));
    row("one character", QStringLiteral("X"));
    row("ZWJ emoji", "a" + (family + "b").repeated(12));
    row("skin tones", QStringLiteral("\U0001F44D\U0001F3FD\U0001F44B\U0001F3FF!").repeated(10));
    row("flags", france.repeated(70));
    row("flags with Z", "x" + QStringLiteral("\U0001F1FF\U0001F1E6\U0001F1EB\U0001F1F7").repeated(35));
    row("flags, odd run", "x\U0001F1E9" + france.repeated(70) + "y");
    row("100 combining marks", "a" + accents + "b" + accents);
    row("marks after controls", "\t" + accents + "\n" + accents + "\u2028" + accents + "x");
    row("marks after format characters", "\u200B" + accents + "\u0600" + accents + "x");
    row("marks after a joiner or a flag letter",
        "\U0001F600\u200D" + accents + "\U0001F1EB" + accents + "\U0001F1F7");
    row("enclosing marks", "a" + QStringLiteral("\u0301\u20DD").repeated(40) + "b");
    row("emoji, marks, joiner, emoji", "x\U0001F600" + accents + "\u200D\U0001F600");
    row("astral marks", "\U0001F600\u0301" + stem.repeated(40) + "b");
    row("prepended characters", "a" + QString(100, QChar(0x0600)) + "b\u06DD\u070F \u0600\nz");
    row("CR LF", QStringLiteral("a\r\n\r\nb\r\r\n\n\r"));
    row("controls", QStringLiteral("\t\x01z\u0085\u2028\u200B\u0301\x7F"));
    row("astral", QStringLiteral("\U0001D11E\U00020000a").repeated(20));
    row("Hangul", QStringLiteral("\u1100\u1161\u11A8\uAC00\uD55C").repeated(10));
    row("Devanagari", QStringLiteral("\u0915\u094D\u0937\u0924\u094D\u0930\u093F\u092F ").repeated(8));
    row("tag sequence", QStringLiteral("\U0001F3F4\U000E0067\U000E0062\U000E0065\U000E007F").repeated(9));
    // The toolkit pairs flag letters after an emoji from the second on; what is drawn
    // pairs them from the first.
    QTest::newRow("flags after an emoji")
        << "\U0001F3F4" + france.repeated(2) + "z" << QList<qsizetype>{0, 2, 6, 10, 11};
    // Over the whole text, the toolkit's rules for an Indic letter also break before a
    // mark after a spacing mark, and the flag and before the marks after it.
    QTest::newRow("spacing marks") << "\u0915" + QStringLiteral("\u0903\u0301").repeated(40) + "b"
                                   << QList<qsizetype>{0, 81, 82};
    QTest::newRow("flag, ?, marks after an Indic letter")
        << "\u0915\U0001F1E9\U0001F1EA?\u0301\u0301" << QList<qsizetype>{0, 1, 5, 8};
}

} // namespace

class TestCharacters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsWhereCharactersStart_data()
    {
        hardTexts();
        // Marks that start the text stand alone, and join a letter once rotated behind one.
        const QString marksFirst = QString(100, QChar(0x301)) + "b";
        QTest::newRow("marks at the start") << marksFirst << referenceBoundaries(marksFirst);
    }
    void findsWhereCharactersStart()
    {
        QFETCH(QString, text);
        QFETCH(QList<qsizetype>, starts);
        for (qsizetype index = 0; index + 1 < starts.size(); ++index) {
            QCOMPARE(Characters::next(text, starts[index]), starts[index + 1]);
            QCOMPARE(Characters::previous(text, starts[index + 1]), starts[index]);
        }
        qsizetype start = 0;
        for (qsizetype position = 0; position <= text.size(); ++position) {
            if (starts.contains(position))
                start = position;
            QCOMPARE(Characters::startAtOrBefore(text, position), start);
            QCOMPARE(Characters::fittingLength(text, position), start);
        }
    }

    void rotationsMoveOneCharacter_data() { hardTexts(); }
    void rotationsMoveOneCharacter()
    {
        QFETCH(QString, text);
        QFETCH(QList<qsizetype>, starts);
        const qsizetype first = starts[1];
        const qsizetype last = starts[starts.size() - 2];
        QCOMPARE(Rotation::left(text).value(), text.sliced(first) + text.first(first));
        QCOMPARE(Rotation::right(text).value(), text.sliced(last) + text.first(last));
        QCOMPARE(Rotation::right(Rotation::left(text).value()).value(), text);

        // A text of n characters comes back after n rotations either way.
        QString leftward = text;
        QString rightward = text;
        for (qsizetype step = 1; step < starts.size(); ++step) {
            leftward = Rotation::left(leftward).value();
            rightward = Rotation::right(rightward).value();
        }
        QCOMPARE(leftward, text);
        QCOMPARE(rightward, text);
    }

    void endOfMarks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("end");
        QTest::newRow("none") << QStringLiteral("ab") << qsizetype(1);
        QTest::newRow("accents") << QStringLiteral("a\u0301\u0903\u20DDb") << qsizetype(4);
        QTest::newRow("joiners") << QStringLiteral("a\u200C\u200Db") << qsizetype(3);
        QTest::newRow("outside the BMP") << QStringLiteral("a\U0001D165\U0001D165b") << qsizetype(5);
        QTest::newRow("to the end") << QStringLiteral("a\u0301") << qsizetype(2);
    }

    void endOfMarks()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, end);
        QCOMPARE(Characters::endOfMarks(text, 1), end);
    }

    void emptyTextDoesNotRotate()
    {
        QVERIFY(!Rotation::left(QString()));
        QVERIFY(!Rotation::right(QString()));
        QCOMPARE(Characters::next(QString(), 0), 0);
        QCOMPARE(Characters::previous(QString(), 0), 0);
    }
};

QTEST_GUILESS_MAIN(TestCharacters)
#include "tst_characters.moc"
