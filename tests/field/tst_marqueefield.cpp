// SPDX-License-Identifier: MIT
#include "field/marqueefield.h"
#include "field/presentationview.h"
#include "field/visibleslice.h"
#include "scroll/rotation.h"
#include "window/initialstate.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <QVBoxLayout>

#include <functional>

namespace {

constexpr int kLongest = InitialState::kMaxTextLength;

QFont marqueeFont(double points = 320, const QString &family = QStringLiteral("Arial"))
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

// Where the glyphs of two renderings may stand: on the same fractions of a pixel, or on
// places that differ by up to a pixel across, as large letters drawn from images stand and
// as a long right-to-left line stands, which takes its fraction from the whole text's width.
enum class Placement { Same, WithinAPixel };

// How far a channel of the first rendering lies outside what the second has at the same
// place, or, placed within a pixel, beside it.
int channelOff(int value, const QRgb *row, int x, int width, int (*channel)(QRgb), Placement placement)
{
    int low = channel(row[x]);
    int high = low;
    if (placement == Placement::WithinAPixel) {
        for (const int beside : {x - 1, x + 1}) {
            if (beside >= 0 && beside < width) {
                low = qMin(low, channel(row[beside]));
                high = qMax(high, channel(row[beside]));
            }
        }
    }
    return qMax(0, qMax(low - value, value - high));
}

// How many pixels of two renderings differ by more than `tolerance` in any channel, the
// first moved up by as many pixels, up to `slack`, as fit best.
int differingPixels(const QImage &first, const QImage &second, int tolerance, int slack = 0,
                    Placement placement = Placement::Same)
{
    const QImage a = first.convertToFormat(QImage::Format_RGB32);
    const QImage b = second.convertToFormat(QImage::Format_RGB32);
    int fewest = a.size() == b.size() ? INT_MAX : a.width() * a.height();
    for (int raised = 0; raised <= slack && a.size() == b.size(); ++raised) {
        int pixels = 0;
        for (int y = 0; y < a.height() - raised; ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y + raised);
                const auto *row = reinterpret_cast<const QRgb *>(b.constScanLine(y));
                const int off = qMax(channelOff(qRed(p), row, x, b.width(), qRed, placement),
                                     qMax(channelOff(qGreen(p), row, x, b.width(), qGreen, placement),
                                          channelOff(qBlue(p), row, x, b.width(), qBlue, placement)));
                pixels += off > tolerance;
            }
        }
        fewest = qMin(fewest, pixels);
    }
    return fewest;
}

// Whether a rectangle of the field lies inside it from left to right. The letters are
// taller than the field: a line edit centres them and cuts them at top and bottom.
bool isInViewAcross(const QWidget *field, const QRect &rect)
{
    return rect.isValid() && rect.left() >= 0 && rect.right() < field->width();
}

// The union of what a widget was asked to paint.
class PaintRecorder : public QObject
{
public:
    QRegion painted;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class TestMarqueeField : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(m_window.get());
        m_field = new MarqueeField(m_window.get());
        m_field->setFont(marqueeFont());
        m_field->setFixedSize(761, 417);
        m_button = new QPushButton(QStringLiteral("next"), m_window.get());
        layout->addWidget(m_field);
        layout->addWidget(m_button);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
        m_field->setFocus();
        QTRY_VERIFY(m_field->hasFocus());
    }

    void cleanup()
    {
        m_window.reset();
        QGuiApplication::clipboard()->clear();
    }

    void rendersAsAFullLayout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rotations"); // ticks of one character, to the left or (negative) right
        QTest::addColumn<bool>("caretAtEnd");
        QTest::addColumn<Placement>("placement");
        QTest::addColumn<double>("points");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("background");
        const auto row = [](const char *name, const QString &text, int rotations, bool caretAtEnd = false,
                            Placement placement = Placement::WithinAPixel, double points = 320,
                            const QColor &colour = Qt::black, const QColor &background = Qt::white) {
            QTest::newRow(name) << text << rotations << caretAtEnd << placement << points << colour
                                << background;
        };
        const QString sentence = QStringLiteral("Quick, AVAWAY fij! ");
        const QString longest = sentence.repeated(kLongest / sentence.size() + 1).first(kLongest);
        const QString hebrew = QStringLiteral("שלום עולם, מה שלומך היום? ");
        const QString mixed = QStringLiteral("שלום Hello, world 42 ");
        const auto same = Placement::Same;
        const auto within = Placement::WithinAPixel;
        row("Latin fits", QStringLiteral("fij"), 0);
        // Of a long run of characters that take no room only the first are laid out.
        row("zero-width spaces", QStringLiteral("fi") + QString(40, QChar(0x200B)) + QStringLiteral("j"), -1);
        row("longest, in colour", longest, 0, false, within, 320, QColor(255, 220, 0), QColor(0, 0, 128));
        row("longest, small letters", longest, 0, false, same, 20, Qt::darkGreen);
        // Right-to-left paragraphs start at the right edge; mixed text takes the direction
        // of its first strong character, which rotations change. A number that starts a
        // right-to-left line hides behind a caret at the start.
        row("Hebrew to the left", hebrew, 3);
        row("Arabic to the right", QStringLiteral("مرحبا بالعالم، كيف حالك اليوم؟ "), -2);
        row("Hebrew, caret at the end", hebrew, 2, true);
        row("Hebrew fits", QStringLiteral("שלו"), 1);
        row("Latin then Hebrew", QStringLiteral("Shalom שלום עולם 42! "), 12);
        row("Hebrew then Latin", mixed, -4);
        row("mixed, caret at the end", mixed, 6, true);
        row("Latin ending in Hebrew and numbers, caret at the end",
            QStringLiteral("Hello, world, Hello מה 3.143.14,! 3.1"), 0, true);
        row("Arabic at the end, caret at the end", QStringLiteral("ا (x) - ! 4242 مرحب"), 0, true);
        row("long Hebrew to the right", hebrew.repeated(40), -2);
        row("long mixed, caret at the end", mixed.repeated(40), 8, true);
    }

    void rendersAsAFullLayout()
    {
        QFETCH(QString, text);
        QFETCH(int, rotations);
        QFETCH(bool, caretAtEnd);
        QFETCH(Placement, placement);
        QFETCH(double, points);
        QFETCH(QColor, colour);
        QFETCH(QColor, background);
        // Arabic comes in a face that has it; the field keeps that face's baseline where a
        // line edit centres the Arabic letters' own height, a little higher, and their
        // synthesised bold strokes may differ in a few pixels.
        const bool arabic = text.contains(QChar(u'\u0627'));
        const QString family = arabic ? QStringLiteral("DejaVu Sans") : QStringLiteral("Arial");
        const int slack = arabic ? 3 : 0;
        // The stock line edit lays out its whole text; the two must look alike at the start,
        // also when the font changes after the text was shown.
        m_button->setFocus();
        QTRY_VERIFY(m_button->hasFocus());
        m_field->setText(text);
        m_field->repaint();
        m_field->setFont(marqueeFont(points, family));
        m_field->setColours(colour, background);
        const auto reference = [&](const QString &shown) {
            QLineEdit line(m_window.get());
            line.setFont(marqueeFont(points, family));
            line.setFixedSize(m_field->size());
            QPalette colours = line.palette();
            colours.setColor(QPalette::Text, colour);
            colours.setColor(QPalette::Base, background);
            line.setPalette(colours);
            line.setMaxLength(kLongest);
            line.setText(shown);
            line.setCursorPosition(caretAtEnd ? int(shown.size()) : 0);
            return line.grab().toImage();
        };

        // Small letters are placed to a fraction of a pixel: edges may differ a little in
        // shade, but no pixel by much, and only along edges. Large letters stand each within
        // a pixel of their place, so that a tick moves them all alike: where two come close,
        // the gap between them may also open or close by a pixel. Each tick shows the new
        // text as it rests. A right-to-left line that the field does not lay out whole stands
        // within a pixel of where the line edit puts it: the fraction is that of the whole
        // text's width.
        QImage shown;
        for (int tick = 0; tick <= qAbs(rotations); ++tick) {
            if (tick > 0) {
                text = (rotations > 0 ? Rotation::left(text) : Rotation::right(text)).value();
                m_field->setText(text);
            }
            if (caretAtEnd)
                m_field->setCursorPosition(text.size());
            shown = m_field->grab().toImage();
            const QImage expected = reference(text);
            const int pixels = shown.width() * shown.height();
            const int far = differingPixels(shown, expected, 112, slack, placement);
            const int gaps = placement == Placement::WithinAPixel ? pixels / 20000 : 0;
            QVERIFY2(far <= slack * pixels / 2000 + gaps,
                     qPrintable(QStringLiteral("tick %1: %2").arg(tick).arg(far)));
            QVERIFY(differingPixels(shown, expected, 24, slack, placement) < pixels / 100);
        }
        // The comparison itself tells a wrong text apart.
        QVERIFY(differingPixels(shown, reference(caretAtEnd ? text.chopped(1) : text.mid(1)), 112) >
                shown.width() * shown.height() / 100);
    }

    void slicesStartOutsideRunsAgainstTheLine()
    {
        // A slice that started inside a run of the other direction would show that run in
        // the wrong order: runs joined to the line's own letters, with no space between.
        for (const auto &[text, line] : {std::pair{QStringLiteral("abcשלוםdef"), Qt::LeftToRight},
                                         std::pair{QStringLiteral("שלוםabcdעולם"), Qt::RightToLeft}}) {
            const QChar::Direction against = line == Qt::LeftToRight ? QChar::DirR : QChar::DirL;
            for (qsizetype position = 0; position <= text.size(); ++position) {
                const qsizetype start = VisibleSlice::startAtOrBefore(text, position, line);
                QVERIFY(start <= position);
                QVERIFY2(start == 0 || start == text.size() || text[start - 1].direction() != against ||
                             text[start].direction() != against,
                         qPrintable(QStringLiteral("%1 at %2: %3").arg(text).arg(position).arg(start)));
            }
        }
    }

    void paragraphDirection()
    {
        // The field decides a paragraph's direction as a string does, only faster.
        const QString lri(QChar(0x2066)), rli(QChar(0x2067)), fsi(QChar(0x2068)), pdi(QChar(0x2069));
        for (const QString &text :
             {QString(), // empty, Latin, neutrals, isolates, surrogates, Adlam
              QStringLiteral("abc שלום"), QString(3000, QChar(0x200B)) + QStringLiteral("42 שלום abc"),
              QStringLiteral("42 !? ") + QString(3000, u' '), QStringLiteral("1 \U0001E900 a"),
              QStringLiteral("\xD802 \xDC00 \xD83A") + QStringLiteral("שa"),
              lri + QStringLiteral("abc") + pdi + QStringLiteral(" שלום"), rli + QStringLiteral("שלום abc"),
              pdi + pdi + fsi + QStringLiteral("a") + pdi + QStringLiteral("ש")})
            QVERIFY2((VisibleSlice::paragraphDirection(text) == Qt::RightToLeft) == text.isRightToLeft(),
                     qPrintable(text.left(20)));
    }

    void ticksRepaintWhatTheyChange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("step"); // one character to the left, or (negative) to the right
        QTest::addColumn<MarqueeField::Frame>("frame");
        QTest::addColumn<bool>("focused");
        const QString latin = QStringLiteral("Hi, WORLD! ").repeated(3);
        const QString hebrew = QStringLiteral("שלום עולם, מה שלומך? ");
        QTest::newRow("to the left") << latin << 1 << MarqueeField::Frame::Drawn << false;
        QTest::newRow("to the right") << latin << -1 << MarqueeField::Frame::Drawn << false;
        QTest::newRow("frameless") << latin << 1 << MarqueeField::Frame::None << false;
        QTest::newRow("right to left") << hebrew << -1 << MarqueeField::Frame::Drawn << false;
        QTest::newRow("with the caret") << latin << 1 << MarqueeField::Frame::Drawn << true;
    }

    void ticksRepaintWhatTheyChange()
    {
        // A tick moves what is painted and repaints only where glyphs came and went, or,
        // with the caret shown, where glyphs were and go: after many, the screen shows what
        // a full repaint shows.
        QFETCH(QString, text);
        QFETCH(int, step);
        QFETCH(MarqueeField::Frame, frame);
        QFETCH(bool, focused);
        m_field->setFont(marqueeFont(320));
        m_field->setFrame(frame);
        if (!focused) {
            m_button->setFocus();
            QTRY_VERIFY(m_button->hasFocus());
        }
        const auto onScreen = [&] {
            QCoreApplication::processEvents();
            return m_window->screen()->grabWindow(m_window->winId()).toImage().copy(m_field->geometry());
        };
        m_field->setText(text);
        const QImage first = onScreen();
        PaintRecorder recorder;
        m_field->installEventFilter(&recorder);
        qint64 painted = 0;
        for (int tick = 0; tick < 9; ++tick) {
            text = (step > 0 ? Rotation::left(text) : Rotation::right(text)).value();
            recorder.painted = {};
            m_field->setText(text);
            (void)onScreen();
            for (const QRect &part : recorder.painted)
                painted += qint64(part.width()) * part.height();
        }
        QVERIFY(differingPixels(onScreen(), first, 24) > 0);
        QImage ticked = onScreen();
        m_field->update();
        QCOMPARE(differingPixels(onScreen(), ticked, 0), 0);
        // Moved, the line is repainted only in strips.
        const qint64 field = qint64(m_field->width()) * m_field->height();
        QCOMPARE(painted < 9 * field / 3, !focused);
        // A short text after a long one leaves nothing of it.
        m_field->setText(QStringLiteral("Hi"));
        ticked = onScreen();
        m_field->update();
        QCOMPARE(differingPixels(onScreen(), ticked, 0), 0);
    }

    void ticksUnpaintedShowOnceItPaints()
    {
        // A field that does not paint, as under a full-screen view, skips its ticks; when
        // it paints again it shows the last text, and ticks on from there.
        m_button->setFocus();
        QTRY_VERIFY(m_button->hasFocus());
        const auto onScreen = [&] {
            QCoreApplication::processEvents();
            return m_window->screen()->grabWindow(m_window->winId()).toImage().copy(m_field->geometry());
        };
        const auto fullRepaint = [&] {
            m_field->update();
            return onScreen();
        };
        QString text = QStringLiteral("Hi, WORLD! ").repeated(3);
        m_field->setText(text);
        const QImage before = onScreen();
        m_field->setUpdatesEnabled(false);
        for (int tick = 0; tick < 5; ++tick) {
            text = Rotation::left(text).value();
            m_field->setText(text);
        }
        m_field->setUpdatesEnabled(true);
        const QImage shown = onScreen();
        QVERIFY(differingPixels(shown, before, 24) > 0);
        QCOMPARE(differingPixels(fullRepaint(), shown, 0), 0);
        for (int tick = 0; tick < 3; ++tick) {
            text = Rotation::left(text).value();
            m_field->setText(text);
        }
        const QImage ticked = onScreen();
        QCOMPARE(differingPixels(fullRepaint(), ticked, 0), 0);
    }

    void framelessFieldFillsItsBackground()
    {
        // Without a frame (the presentation view's field) the field paints its own background.
        m_field->setFrame(MarqueeField::Frame::None);
        m_field->setColours(Qt::white, QColor(0, 0, 128));
        const QImage shown = m_field->grab().toImage();
        QCOMPARE(shown.pixelColor(1, 1), QColor(0, 0, 128));
        QCOMPARE(shown.pixelColor(shown.width() - 2, shown.height() - 2), QColor(0, 0, 128));
    }

    void cornersShowWhatIsBehind_data()
    {
        QTest::addColumn<bool>("textured");
        QTest::newRow("a plain colour") << false;
        QTest::newRow("a pattern") << true;
    }

    void cornersShowWhatIsBehind()
    {
        // The window's background shows through the panel's rounded corners, also after it
        // changes, and also when it is not one colour.
        QFETCH(bool, textured);
        const auto behind = [&](const QColor &colour) {
            QPalette colours = m_window->palette();
            if (textured) {
                QPixmap tile(8, 8);
                tile.fill(colour);
                colours.setBrush(QPalette::Window, QBrush(tile));
            } else {
                colours.setColor(QPalette::Window, colour);
            }
            m_window->setPalette(colours);
        };
        const auto corner = [&] {
            return m_field->grab().toImage().pixelColor(0, 0);
        };
        behind(QColor(0, 160, 0));
        QCOMPARE(corner(), QColor(0, 160, 0));
        behind(QColor(200, 0, 0));
        QCOMPARE(corner(), QColor(200, 0, 0));
    }

    void presentationHidesAStillPointer()
    {
        PresentationView view(*m_field);
        QCOMPARE(view.cursor().shape(), Qt::BlankCursor);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, {}, {});
        QCoreApplication::sendEvent(&view, &move);
        QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
        QTRY_COMPARE_WITH_TIMEOUT(view.cursor().shape(), Qt::BlankCursor, 10000);
    }

    void presentationPausesTheWindowItCovers()
    {
        // Under the active view the window is not seen: its field keeps its text but is
        // not painted, until the window can be seen again.
        PaintRecorder recorder;
        m_field->installEventFilter(&recorder);
        m_field->setText(QStringLiteral("Hi, world! "));
        const auto tickPaints = [&] {
            recorder.painted = QRegion();
            m_field->setText(Rotation::left(m_field->text()).value());
            QCoreApplication::processEvents();
            return !recorder.painted.isEmpty();
        };
        QVERIFY(tickPaints());
        {
            PresentationView view(*m_field);
            const QRect window = m_window->frameGeometry();
            view.setGeometry(window.adjusted(-20, -20, 20, 20));
            view.show();
            view.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&view));
            QVERIFY(!tickPaints());
            QCOMPARE(m_field->text(), QStringLiteral(", world! Hi"));
            // Beside the window, the view leaves it in sight.
            view.setGeometry(QRect(window.topRight() + QPoint(20, 0), QSize(40, 40)));
            QVERIFY(tickPaints());
            view.setGeometry(window.adjusted(-20, -20, 20, 20));
            QVERIFY(!tickPaints());
            m_window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
            QVERIFY(tickPaints());
            view.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&view));
            QVERIFY(!tickPaints());
        }
        // Gone, the view leaves the field painted.
        QVERIFY(tickPaints());
    }

    void composedTextShowsAtTheCaret()
    {
        // Composed text looks as if it were typed, the caret where the input method puts it.
        m_field->setFont(marqueeFont(24));
        for (const int caret : {0, 2, 3}) {
            useText(QStringLiteral("axyzWb"), 1 + caret);
            const QImage typed = m_field->grab().toImage();
            const QRect typedCaret = m_field->cursorRect();
            useText(QStringLiteral("aWb"), 1);
            QInputMethodEvent composing(QStringLiteral("xyz"), {{QInputMethodEvent::Cursor, caret, 1, {}}});
            QCoreApplication::sendEvent(m_field, &composing);
            QCOMPARE(m_field->text(), QStringLiteral("aWb"));
            QCOMPARE(m_field->inputMethodQuery(Qt::ImCursorRectangle).toRect(), typedCaret);
            QCOMPARE(differingPixels(m_field->grab().toImage(), typed, 24), 0);
            QCOMPARE(m_field->inputMethodQuery(Qt::ImAbsolutePosition).toInt(), 1);
            // A click on the W after the composition puts the caret after the W.
            const QRect composedAndW = m_field->characterRect(1);
            QCOMPARE(m_field->positionAt(QPoint(composedAndW.right() - 1, composedAndW.center().y())), 2);
        }
    }

    void editsAndTheBlinkAskForARepaint()
    {
        PaintRecorder recorder;
        m_field->installEventFilter(&recorder);
        useText(QStringLiteral("abc"), 1);
        const auto repaints = [&](const std::function<void()> &edit, const std::function<QRect()> &area) {
            QTest::qWait(20);
            recorder.painted = {};
            edit();
            return QTest::qWaitFor([&] { return recorder.painted.contains(area()); });
        };
        // The caret's blinking repaints the caret alone, never a whole character.
        const auto character = [this] {
            return m_field->characterRect(1);
        };
        QVERIFY(repaints([&] { QTest::keyClick(m_field, Qt::Key_X); }, character));
        QVERIFY(repaints([&] { QTest::keySequence(m_field, QKeySequence::Undo); }, character));
        QVERIFY(repaints([&] { m_field->setText(QStringLiteral("xyz")); }, character));
        QVERIFY(repaints([&] { QTest::keyClick(m_field, Qt::Key_Right, Qt::ShiftModifier); }, character));
        // The shortest flash time the field blinks at, every millisecond, and a common one.
        const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
        for (const int blinking : {2, 100}) {
            QGuiApplication::styleHints()->setCursorFlashTime(blinking);
            m_field->setCursorPosition(m_field->cursorPosition() == 2 ? 1 : 2);
            QVERIFY(repaints([] {}, [this] { return m_field->cursorRect(); }));
        }
        QGuiApplication::styleHints()->setCursorFlashTime(flashTime);
    }

    void controlCharactersShowOnOneLine()
    {
        // A line feed, a tab and a carriage return each take a place of their own on the one line.
        m_field->setFont(marqueeFont(24));
        useText(QStringLiteral("a\nb\tc\rd"), 0);
        for (qsizetype position = 0; position < 7; ++position) {
            const QRect rect = m_field->characterRect(position);
            QVERIFY2(rect.width() > 2, qPrintable(QString::number(position)));
            QCOMPARE(rect.top(), m_field->characterRect(0).top());
            QVERIFY(position == 0 || rect.left() >= m_field->characterRect(position - 1).right() - 1);
        }
    }

    void caretStaysInView_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("short") << 20;
        QTest::newRow("longest") << kLongest;
    }

    void caretStaysInView()
    {
        QFETCH(int, length);
        QString text;
        for (int index = 0; text.size() < length; ++index)
            text += QChar(u'A' + index % 26);
        useText(text, 0);
        QTest::keyClick(m_field, Qt::Key_End);
        QVERIFY(isInViewAcross(m_field, m_field->cursorRect()));
        QVERIFY2(isInViewAcross(m_field, m_field->characterRect(text.size() - 1)),
                 "the last character shows");
        QVERIFY(m_field->firstVisiblePosition() > 0);
        // One character at a time back to the start, the caret always in view.
        m_field->setCursorPosition(text.size() / 2);
        for (int step = 0; step < 8; ++step) {
            QTest::keyClick(m_field, step % 2 ? Qt::Key_Right : Qt::Key_Left);
            QTest::keyClick(m_field, Qt::Key_Left);
            QVERIFY(isInViewAcross(m_field, m_field->cursorRect()));
        }
        // A new text shows its start, with the caret there and nothing selected.
        QTest::keyClick(m_field, Qt::Key_Home);
        QCOMPARE(m_field->firstVisiblePosition(), 0);
        const QRect first = m_field->characterRect(0);
        QTest::keyClick(m_field, Qt::Key_End);
        QTest::keyClick(m_field, Qt::Key_Left, Qt::ShiftModifier);
        m_field->setText(text);
        QCOMPARE(m_field->cursorPosition(), 0);
        QCOMPARE(selectedText(), QString());
        QCOMPARE(m_field->characterRect(0), first);
    }

    void mouseSelects_data() { caretStaysInView_data(); }
    void mouseSelects()
    {
        QFETCH(int, length);
        const QString text =
            QString(length / 2, u'a') + QStringLiteral(" ab cd ") + QString(length / 2 - 7, u'b');
        const qsizetype start = text.indexOf(QStringLiteral("ab cd"));
        // Coming from the end, the caret stops at the left edge of the line.
        useText(text, text.size());
        m_field->repaint();
        m_field->setCursorPosition(start);
        QCOMPARE(m_field->firstVisiblePosition(), start);
        const auto pointIn = [this](qsizetype position, double fraction) {
            const QRect rect = m_field->characterRect(position);
            return QPoint(rect.left() + int(rect.width() * fraction), rect.center().y());
        };
        // A click puts the caret at the nearer edge of the character.
        QTest::mouseClick(m_field, Qt::LeftButton, {}, pointIn(start + 1, 0.2));
        QCOMPARE(m_field->cursorPosition(), start + 1);
        QTest::mouseClick(m_field, Qt::LeftButton, {}, pointIn(start + 1, 0.8));
        QCOMPARE(m_field->cursorPosition(), start + 2);
        // Dragging selects from where the button went down; Shift+click extends.
        QTest::mousePress(m_field, Qt::LeftButton, {}, pointIn(start, 0.1));
        QTest::mouseMove(m_field, pointIn(start + 2, 0.2));
        QTest::mouseRelease(m_field, Qt::LeftButton, {}, pointIn(start + 2, 0.2));
        QCOMPARE(selectedText(), QStringLiteral("ab"));
        QTest::mouseClick(m_field, Qt::LeftButton, Qt::ShiftModifier, pointIn(start + 3, 0.1));
        QCOMPARE(selectedText(), QStringLiteral("ab "));
        // The selection shows in the highlight's colour, under the selected space too.
        QCOMPARE(m_field->grab().toImage().pixelColor(m_field->characterRect(start + 2).center()),
                 m_field->palette().color(QPalette::Highlight));
        // A double-click selects the word under the pointer, a third click everything, and
        // a fourth puts the caret down again.
        const QPoint word = pointIn(start + 1, 0.5);
        QTest::mouseDClick(m_field, Qt::LeftButton, {}, word);
        QCOMPARE(selectedText(), QStringLiteral("ab"));
        QTest::mouseClick(m_field, Qt::LeftButton, {}, word);
        QCOMPARE(selectedText(), text);
        QTest::mouseClick(m_field, Qt::LeftButton, {}, word);
        QCOMPARE(selectedText(), QString());
        // Dragging past the end of the line selects to the end of the text.
        m_field->setCursorPosition(text.size());
        QTest::mousePress(m_field, Qt::LeftButton, {}, pointIn(text.size() - 2, 0.1));
        const QPoint beyond(m_field->width() + 40, m_field->height() / 2);
        QTest::mouseMove(m_field, beyond);
        QTest::mouseRelease(m_field, Qt::LeftButton, {}, beyond);
        QCOMPARE(selectedText(), text.last(2));
    }

    void clickAfterAPileOfAccents()
    {
        // Of a long pile of accents only the first are laid out; a click after it still
        // finds the character under the pointer.
        m_field->setFont(marqueeFont(24));
        useText("a" + QString(40, QChar(0x301)) + "bc", 0);
        const QRect b = m_field->characterRect(41);
        QTest::mouseClick(m_field, Qt::LeftButton, {}, QPoint(b.left() + b.width() * 4 / 5, b.center().y()));
        QCOMPARE(m_field->cursorPosition(), 42);
    }

    void draggingPastTheEdgeScrolls()
    {
        // Each drag past an edge moves the caret on by whole characters and the view with it.
        const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        useText(family.repeated(40), 0);
        const int y = m_field->height() / 2;
        QTest::mousePress(m_field, Qt::LeftButton, {}, QPoint(20, y));
        for (int step = 0; step < 6; ++step) {
            const qsizetype previous = m_field->cursorPosition();
            QTest::mouseMove(m_field, QPoint(m_field->width() + 40, y));
            QVERIFY(m_field->cursorPosition() > previous && m_field->cursorPosition() % family.size() == 0);
            QVERIFY(isInViewAcross(m_field, m_field->cursorRect()));
        }
        for (int step = 0; step < 40 && m_field->firstVisiblePosition() > 0; ++step) {
            QTest::mouseMove(m_field, QPoint(-40, y));
            QCOMPARE(m_field->cursorPosition() % family.size(), 0);
        }
        QCOMPARE(m_field->firstVisiblePosition(), 0);
        QTest::mouseRelease(m_field, Qt::LeftButton, {}, QPoint(-40, y));
    }

    void keysAndFocus()
    {
        // The field claims and uses its own keys before the window's shortcuts see them, and
        // no others: Enter and Esc are the window's.
        useText(QStringLiteral("abc"), 1);
        for (const auto &[key, own] : {std::pair(Qt::Key_Return, false), std::pair(Qt::Key_Z, true)}) {
            const Qt::KeyboardModifiers modifiers = own ? Qt::ControlModifier : Qt::NoModifier;
            QKeyEvent override(QEvent::ShortcutOverride, key, modifiers);
            override.ignore();
            QCoreApplication::sendEvent(m_field, &override);
            QKeyEvent press(QEvent::KeyPress, key, modifiers);
            QCoreApplication::sendEvent(m_field, &press);
            QCOMPARE(std::pair(override.isAccepted(), press.isAccepted()), std::pair(own, own));
        }
        // Tab leaves the field; coming back by the keyboard selects the text, as in a line edit.
        QTest::keyClick(m_field, Qt::Key_Tab);
        QTRY_VERIFY(m_button->hasFocus());
        QTest::keyClick(m_button, Qt::Key_Tab, Qt::ShiftModifier);
        QTRY_VERIFY(m_field->hasFocus());
        QCOMPARE(selectedText(), QStringLiteral("abc"));
        // A click or the window's return leaves the text as it was.
        useText(QStringLiteral("abc"), 1);
        for (const Qt::FocusReason reason : {Qt::MouseFocusReason, Qt::ActiveWindowFocusReason}) {
            m_button->setFocus();
            m_field->setFocus(reason);
            QCOMPARE(selectedText(), QString());
        }
    }

    void contextMenu()
    {
        useText(QStringLiteral("menu"), 0);
        const auto menu = [this] {
            return std::unique_ptr<QMenu>(m_field->createStandardContextMenu());
        };
        QStringList enabled;
        const auto first = menu();
        for (QAction *action : first->actions())
            enabled << (action->isEnabled() && !action->isSeparator() ? action->objectName() : QString());
        enabled.removeAll(QString());
        QCOMPARE(enabled, QStringList{QStringLiteral("select-all")});
        menu()->findChild<QAction *>(QStringLiteral("select-all"))->trigger();
        menu()->findChild<QAction *>(QStringLiteral("edit-cut"))->trigger();
        QCOMPARE(m_field->text(), QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("menu"));
        QVERIFY(menu()->findChild<QAction *>(QStringLiteral("edit-undo"))->isEnabled());
        menu()->findChild<QAction *>(QStringLiteral("edit-paste"))->trigger();
        QCOMPARE(m_field->text(), QStringLiteral("menu"));
        // Other buttons than the left and the middle one are left to the window.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                          Qt::RightButton, {});
        QCoreApplication::sendEvent(m_field, &press);
        QVERIFY(!press.isAccepted());
    }

    void accessibleText()
    {
        useText(QStringLiteral("hello world"), 5);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_field);
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QVERIFY(accessible->state().editable);
        QAccessibleTextInterface *text = accessible->textInterface();
        QCOMPARE(std::pair(text->characterCount(), text->cursorPosition()), std::pair(11, 5));
        QCOMPARE(text->text(6, 11), QStringLiteral("world"));
        QCOMPARE(text->selectionCount(), 0);
        text->setSelection(0, 0, 5);
        QCOMPARE(selectedText(), QStringLiteral("hello"));
        int start = -1;
        int end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(std::tuple(start, end, text->selectionCount()), std::tuple(0, 5, 1));
        text->removeSelection(0);
        QCOMPARE(text->selectionCount(), 0);
        const QRect second = text->characterRect(1);
        QCOMPARE(text->offsetAtPoint(second.center() - QPoint(second.width() / 4, 0)), 1);

        QAccessibleEditableTextInterface *editable = accessible->editableTextInterface();
        editable->replaceText(0, 5, QStringLiteral("goodbye"));
        editable->deleteText(7, 13);
        editable->insertText(0, QStringLiteral("oh, "));
        QCOMPARE(m_field->text(), QStringLiteral("oh, goodbye"));

        // While the text scrolls it reads as typed, whatever the field shows.
        m_field->setSteadyText(QStringLiteral("typed"));
        m_field->setText(QStringLiteral("ped ty"));
        QCOMPARE(accessible->text(QAccessible::Value), QStringLiteral("typed"));
        QCOMPARE(text->text(1, 3), QStringLiteral("yp"));
        m_field->setSteadyText(std::nullopt);
        QCOMPARE(accessible->text(QAccessible::Value), QStringLiteral("ped ty"));
    }

private:
    void useText(const QString &text, qsizetype cursor)
    {
        m_field->setText(text);
        m_field->setCursorPosition(cursor);
    }

    [[nodiscard]] QString selectedText() const { return m_field->editor().document().selectedText(); }

    std::unique_ptr<QWidget> m_window;
    MarqueeField *m_field = nullptr;
    QPushButton *m_button = nullptr;
};

QTEST_MAIN(TestMarqueeField)
#include "tst_marqueefield.moc"
