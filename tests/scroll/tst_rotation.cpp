#include "scroll/rotation.h"

#include <QTest>

class TestRotation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rotations_data();
    void rotations();
    void emptyTextFails();
    void fullTurnGivesTextBack_data();
    void fullTurnGivesTextBack();
    void longRunsDecideByContext();
};

namespace {
QString fromUcs4(std::initializer_list<char32_t> codePoints)
{
    QString text;
    for (const char32_t codePoint : codePoints)
        text.append(QString::fromUcs4(&codePoint, 1));
    return text;
}
} // namespace

void TestRotation::rotations_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");

    const QString e = QStringLiteral("e\u0301"); // e with a combining acute accent
    const QString family = fromUcs4({0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467});
    const QString thumbs = fromUcs4({0x1F44D, 0x1F3FD});
    const QString flagFr = fromUcs4({0x1F1EB, 0x1F1F7});
    const QString flagDe = fromUcs4({0x1F1E9, 0x1F1EA});
    const QString clef = fromUcs4({0x1D11E});

    QTest::newRow("ABCD") << "ABCD"
                          << "BCDA"
                          << "DABC";
    QTest::newRow("one character") << "X"
                                   << "X"
                                   << "X";
    QTest::newRow("HELLO and the space of Start") << "HELLO "
                                                  << "ELLO H"
                                                  << " HELLO";
    QTest::newRow("spaces count") << " a "
                                  << "a  "
                                  << "  a";
    QTest::newRow("CR LF counts two") << "a\r\nb"
                                      << "\r\nba"
                                      << "ba\r\n";
    QTest::newRow("starts with CR LF") << "\r\nb"
                                       << "\nb\r"
                                       << "b\r\n";
    QTest::newRow("ends with CR LF") << "a\r\n"
                                     << "\r\na"
                                     << "\na\r";
    QTest::newRow("control characters") << "\t\x01z"
                                        << "\x01z\t"
                                        << "z\t\x01";
    QTest::newRow("combining accent") << e + "x" + e << "x" + e + e << e + e + "x";
    QTest::newRow("outside the BMP") << clef + "ab" + clef << "ab" + clef + clef << clef + clef + "ab";
    QTest::newRow("emoji with joiners") << family + "!"
                                        << "!" + family << "!" + family;
    QTest::newRow("emoji with modifier")
        << thumbs + "a" + thumbs << "a" + thumbs + thumbs << thumbs + thumbs + "a";
    QTest::newRow("two flags") << flagFr + flagDe << flagDe + flagFr << flagDe + flagFr;
    QTest::newRow("single emoji") << family << family << family;
}

void TestRotation::rotations()
{
    QFETCH(QString, text);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QCOMPARE(Rotation::left(text).value(), left);
    QCOMPARE(Rotation::right(text).value(), right);
    QCOMPARE(Rotation::right(*Rotation::left(text)).value(), text);
    QCOMPARE(Rotation::left(*Rotation::right(text)).value(), text);
}

void TestRotation::emptyTextFails()
{
    QVERIFY(!Rotation::left(QString()).has_value());
    QVERIFY(!Rotation::right(QString()).has_value());
}

void TestRotation::fullTurnGivesTextBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("characters");
    QTest::newRow("ascii") << QStringLiteral("Hello, world") << 12;
    QTest::newRow("mixed") << fromUcs4({'a', 0x301, 0x1F44D, 0x1F3FD, '\r', '\n', 0x1D11E, 'z'}) << 6;
    QTest::newRow("flags") << fromUcs4({0x1F1EB, 0x1F1F7, 0x1F1E9, 0x1F1EA, 0x1F1EE, 0x1F1F9}) << 3;
}

void TestRotation::fullTurnGivesTextBack()
{
    QFETCH(QString, text);
    QFETCH(int, characters);
    QString leftward = text;
    QString rightward = text;
    for (int step = 1; step <= characters; ++step) {
        leftward = *Rotation::left(leftward);
        rightward = *Rotation::right(rightward);
        if (step < characters) {
            QVERIFY2(leftward != text, "came back too early: a character was split or merged");
            QVERIFY2(rightward != text, "came back too early: a character was split or merged");
        }
    }
    QCOMPARE(leftward, text);
    QCOMPARE(rightward, text);
}

void TestRotation::longRunsDecideByContext()
{
    // Seventy flags (140 regional indicators) end the text: pairs are counted from the
    // start of the run, far beyond the first window looked at.
    QString flags;
    for (int index = 0; index < 70; ++index)
        flags += fromUcs4({0x1F1EB, 0x1F1F7});
    const QString text = QStringLiteral("x") + fromUcs4({0x1F1E9}) + flags;
    // An odd run: the lone indicator pairs with the first of the next flag, so the last
    // character is the lone second half of the final flag.
    QCOMPARE(Rotation::lastCharacterLength(text), 2);
    QCOMPARE(Rotation::lastCharacterLength(QString(QStringLiteral("x") + flags)), 4);

    // A letter followed by 100 combining accents is one character.
    const QString accented = QStringLiteral("a") + QString(100, QChar(0x301));
    QCOMPARE(Rotation::firstCharacterLength(accented + "b"), 101);
    QCOMPARE(Rotation::lastCharacterLength("b" + accented), 101);
}

QTEST_GUILESS_MAIN(TestRotation)
#include "tst_rotation.moc"
