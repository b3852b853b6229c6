// SPDX-License-Identifier: MIT
#include "field/slicesahead.h"
#include "field/visibleslice.h"
#include "scroll/rotation.h"

#include <QGlyphRun>
#include <QTest>

namespace {

constexpr qreal kReach = 755;

QFont marqueeFont(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

} // namespace

class TestSlicesAhead : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showWhatLayingOutShows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("steps"); // to the left, or (negative) to the right
        QTest::addColumn<double>("points");
        // How many steps take a slice laid out ahead: where nothing stops it, each after the
        // first, which shows that the text moves.
        QTest::addColumn<int>("leastTaken");
        QTest::addColumn<int>("mostTaken");
        // A start to lay the text out from once more at each step, as a view does that
        // places a right-to-left line; none when 0.
        QTest::addColumn<int>("otherStart");
        const QString sentence = QStringLiteral("Quick, AVAWAY fij! ");
        const QString longest = sentence.repeated(3500);
        const QString mixed = QStringLiteral("Shalom שלום עולם 42! ");
        const QString accents = QStringLiteral("e") + QString(3000, QChar(0x301));
        const int least = 40 - 1;
        const int most = least;
        QTest::newRow("short, to the left") << sentence << 40 << 320.0 << least << most << 0;
        QTest::newRow("short, to the right") << sentence << -40 << 320.0 << least << most << 0;
        QTest::newRow("longest, to the left") << longest << 40 << 320.0 << least << most << 0;
        QTest::newRow("longest, small letters") << longest << -40 << 12.0 << least << most << 0;
        QTest::newRow("another start each step") << sentence.repeated(3) << 40 << 320.0 << least << most << 3;
        // The paragraph's direction turns as the first strong character goes round.
        QTest::newRow("mixed, to the left") << mixed.repeated(150) << 40 << 320.0 << least << most << 0;
        QTest::newRow("mixed, to the right") << mixed << -40 << 320.0 << least << most << 0;
        QTest::newRow("surrogates and marks")
            << QStringLiteral("a\u0301\u0302 \U0001F600x\U0001F44D\U0001F3FD z ").repeated(300) << 40 << 320.0
            << least << most << 0;
        // A run of marks that slices leave out but for its first marks, which goes round
        // with the text.
        QTest::newRow("a run of marks")
            << QStringLiteral("Hi") + QString(40, QChar(0x301)) + QStringLiteral(" there, how are you? ")
            << 40 << 320.0 << least << most << 0;
        // Characters that a slice must read further than what is kept of the text: a run of
        // marks that later steps come to, and a paragraph whose direction, once its first
        // letters have gone round, only a character past what is kept decides.
        QTest::newRow("a run of marks ahead") << sentence + accents + sentence << 16 << 320.0 << 8 << 15 << 0;
        QTest::newRow("direction decided far on")
            << QStringLiteral("ab") + QStringLiteral(".,;:!? 0123456789").repeated(200) +
                   QStringLiteral("שלום abc")
            << 6 << 320.0 << 0 << 0 << 0;
    }

    void showWhatLayingOutShows()
    {
        // A scrolling text's slices, taken ahead where there are some, show at every step
        // what laying out that step's text shows.
        QFETCH(QString, text);
        QFETCH(int, steps);
        QFETCH(double, points);
        QFETCH(int, leastTaken);
        QFETCH(int, mostTaken);
        QFETCH(int, otherStart);
        const QFont font = marqueeFont(points);
        SlicesAhead slicesAhead;
        VisibleSlice shown;
        int taken = 0;
        for (int step = 0; step <= qAbs(steps); ++step) {
            if (step > 0)
                text = (steps > 0 ? Rotation::left(text) : Rotation::right(text)).value();
            const Qt::LayoutDirection direction = VisibleSlice::paragraphDirection(text);
            const SlicesAhead::Request request{text, 0, kReach, font, direction};
            if (slicesAhead.take(request, shown))
                ++taken;
            else
                shown.layOut(text, 0, kReach, font, direction);
            slicesAhead.follow(request, shown);
            if (otherStart > 0) {
                const SlicesAhead::Request other{text, otherStart, kReach, font, direction};
                VisibleSlice fromThere;
                QVERIFY(!slicesAhead.take(other, fromThere));
                fromThere.layOut(text, otherStart, kReach, font, direction);
                slicesAhead.follow(other, fromThere);
            }

            VisibleSlice laidOut;
            laidOut.layOut(text, 0, kReach, font, direction);
            const QString at = QStringLiteral("step %1").arg(step);
            QVERIFY2(shown.start() == laidOut.start() && shown.end() == laidOut.end() &&
                         shown.reachesEnd() == laidOut.reachesEnd() &&
                         shown.direction() == laidOut.direction(),
                     qPrintable(at));
            QVERIFY2(shown.layout().glyphRuns() == laidOut.layout().glyphRuns(), qPrintable(at));
            for (qsizetype position = shown.start(); position <= shown.end(); ++position) {
                QVERIFY2(shown.layoutPosition(position) == laidOut.layoutPosition(position) &&
                             shown.x(position) == laidOut.x(position),
                         qPrintable(at));
            }
        }
        QVERIFY2(taken >= leastTaken && taken <= mostTaken, qPrintable(QString::number(taken)));
        // Each slice is laid out ahead once, and few in vain: those of the last few steps
        // ahead, and one where a step would read past what is kept of the text.
        QVERIFY2(slicesAhead.laidOut() >= taken && slicesAhead.laidOut() <= taken + SlicesAhead::kSteps + 1,
                 qPrintable(QString::number(slicesAhead.laidOut())));
    }

    void changedTextIsLaidOutAnew()
    {
        // A text that changes otherwise than by a step takes no slice laid out ahead, nor
        // does a step shown at another reach or in another font.
        const QFont font = marqueeFont(320);
        SlicesAhead slicesAhead;
        VisibleSlice shown;
        const auto show = [&](const QString &shownText, qreal reach, const QFont &shownFont) {
            const SlicesAhead::Request request{shownText, 0, reach, shownFont, Qt::LeftToRight};
            const bool taken = slicesAhead.take(request, shown);
            if (!taken)
                shown.layOut(shownText, 0, reach, shownFont, Qt::LeftToRight);
            slicesAhead.follow(request, shown);
            return taken;
        };
        QString current = QStringLiteral("Quick, AVAWAY fij! ").repeated(4);
        const auto step = [&] {
            current = Rotation::left(current).value();
            return current;
        };
        const QFont smaller = marqueeFont(300);
        QVERIFY(!show(current, kReach, font));
        QVERIFY(!show(step(), kReach, font)); // a step: the next ones are laid out ahead
        QVERIFY(!show(step().replace(0, 1, u'x'), kReach, font));
        QVERIFY(!show(step(), kReach, font));
        QVERIFY(!show(step(), kReach - 1, font));
        QVERIFY(!show(step(), kReach - 1, smaller));
        QVERIFY(show(step(), kReach - 1, smaller));
    }
};

QTEST_MAIN(TestSlicesAhead)
#include "tst_slicesahead.moc"
