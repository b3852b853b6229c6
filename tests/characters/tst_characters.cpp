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

// Texts whose characters are hard to find: each longer than the first window looked at,
// or with context that reaches far back.
void hardTexts()
{
    QTest::addColumn<QString>("text");
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString accents = QString(100, QChar(0x301));
    const QString france = QStringLiteral("\U0001F1EB\U0001F1F7");
    const QString stem = QStringLiteral("\U0001D165"); // a combining mark outside the BMP
    QTest::newRow("letters") << QStringLiteral("HELLO ");
    QTest::newRow("one character") << QStringLiteral("X");
    QTest::newRow("ZWJ emoji") << "a" + (family + "b").repeated(12);
    QTest::newRow("skin tones") << QStringLiteral("\U0001F44D\U0001F3FD\U0001F44B\U0001F3FF!").repeated(10);
    QTest::newRow("flags") << france.repeated(70);
    QTest::newRow("flags with Z")
        << "x" + QStringLiteral("\U0001F1FF\U0001F1E6\U0001F1EB\U0001F1F7").repeated(35);
    QTest::newRow("flags, odd run") << "x\U0001F1E9" + france.repeated(70) + "y";
    QTest::newRow("100 combining marks") << "a" + accents + "b" + accents;
    QTest::newRow("marks after controls") << "\t" + accents + "\n" + accents + "\u2028" + accents + "x";
    QTest::newRow("marks after format characters") << "\u200B" + accents + "\u0600" + accents + "x";
    QTest::newRow("marks after a joiner or a flag letter")
        << "\U0001F600\u200D" + accents + "\U0001F1EB" + accents + "\U0001F1F7";
    QTest::newRow("enclosing marks") << "a" + QStringLiteral("\u0301\u20DD").repeated(40) + "b";
    QTest::newRow("spacing marks") << "\u0915" + QStringLiteral("\u0903\u0301").repeated(40) + "b";
    QTest::newRow("emoji, marks, joiner, emoji") << "x\U0001F600" + accents + "\u200D\U0001F600";
    QTest::newRow("astral marks") << "\U0001F600\u0301" + stem.repeated(40) + "b";
    QTest::newRow("CR LF") << QStringLiteral("a\r\n\r\nb\r\r\n\n\r");
    QTest::newRow("controls") << QStringLiteral("\t\x01z\u0085\u2028\u200B\u0301\x7F");
    QTest::newRow("astral") << QStringLiteral("\U0001D11E\U00020000a").repeated(20);
    QTest::newRow("Hangul") << QStringLiteral("\u1100\u1161\u11A8\uAC00\uD55C").repeated(10);
    QTest::newRow("Devanagari")
        << QStringLiteral("\u0915\u094D\u0937\u0924\u094D\u0930\u093F\u092F ").repeated(8);
    QTest::newRow("tag sequence")
        << QStringLiteral("\U0001F3F4\U000E0067\U000E0062\U000E0065\U000E007F").repeated(9);
}

} // namespace

class TestCharacters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boundariesMatchTheWholeText_data()
    {
        hardTexts();
        // The toolkit pairs flag letters after an emoji from the second on: a text whose
        // characters change as it rotates, but whose boundaries still follow the whole text.
        QTest::newRow("flag after an emoji")
            << "\U0001F3F4" + QStringLiteral("\U0001F1EB\U0001F1F7").repeated(20) + "z";
        // Marks that start the text stand alone, and join a letter once rotated behind one.
        QTest::newRow("marks at the start") << QString(100, QChar(0x301)) + "b";
    }

    void boundariesMatchTheWholeText()
    {
        QFETCH(QString, text);
        const QList<qsizetype> boundaries = referenceBoundaries(text);
        for (qsizetype index = 0; index + 1 < boundaries.size(); ++index) {
            QCOMPARE(Characters::next(text, boundaries[index]), boundaries[index + 1]);
            QCOMPARE(Characters::previous(text, boundaries[index + 1]), boundaries[index]);
        }
        qsizetype start = 0;
        for (qsizetype position = 0; position <= text.size(); ++position) {
            if (boundaries.contains(position))
                start = position;
            QCOMPARE(Characters::startAtOrBefore(text, position), start);
            QCOMPARE(Characters::fittingLength(text, position), start);
        }
    }

    void rotationsMoveOneCharacter_data() { hardTexts(); }
    void rotationsMoveOneCharacter()
    {
        QFETCH(QString, text);
        const QList<qsizetype> boundaries = referenceBoundaries(text);
        const qsizetype first = boundaries[1];
        const qsizetype last = boundaries[boundaries.size() - 2];
        QCOMPARE(*Rotation::left(text), text.sliced(first) + text.first(first));
        QCOMPARE(*Rotation::right(text), text.sliced(last) + text.first(last));
        QCOMPARE(*Rotation::right(*Rotation::left(text)), text);

        // A text of n characters comes back after n rotations either way.
        QString leftward = text;
        QString rightward = text;
        for (qsizetype step = 1; step < boundaries.size(); ++step) {
            leftward = *Rotation::left(leftward);
            rightward = *Rotation::right(rightward);
        }
        QCOMPARE(leftward, text);
        QCOMPARE(rightward, text);
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
