// SPDX-License-Identifier: MIT
#include "app/captionfont.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>

namespace {

// Where the frame's border runs, or where its caption stands.
QRect frameSubControl(QGroupBox *box, QStyle::SubControl part)
{
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, part, box);
}

// The letters of a caption drawn in `room`, vertically centred, from `left`.
QRect ink(const QWidget *widget, const QString &text, const QRect &room, int left)
{
    const QFontMetrics metrics = widget->fontMetrics();
    const int baseline = room.top() + (room.height() - metrics.height()) / 2 + metrics.ascent();
    return metrics.tightBoundingRect(text).translated(left, baseline);
}

// What a control shows, in its container's coordinates: an option button's box is a little
// taller than its row (the rows overlap by a pixel), but only its indicator and letters show.
QRect shownRect(QWidget *widget)
{
    auto *option = qobject_cast<QRadioButton *>(widget);
    if (!option)
        return widget->geometry();
    QStyleOptionButton style;
    style.initFrom(option);
    style.text = option->text();
    const QRect box = option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option);
    const QRect label = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
    return box.united(ink(option, option->text(), label, label.left())).translated(option->pos());
}

} // namespace

// The window at a device pixel ratio of 2 and under desktop fonts of any family and size:
// everything twice as large, and no control overlapping another, leaving its container or
// cutting its caption.
class TestHiDpi : public QObject
{
    Q_OBJECT

public:
    static void initMain() { qputenv("QT_SCALE_FACTOR", "2"); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_fx.start()); }
    void cleanupTestCase() { m_fx.stop(); }
    void windowIsTwiceAsLarge();
    void captionsFitUnderEveryDesktopFont_data();
    void captionsFitUnderEveryDesktopFont();
    void smallestSizeWhenNothingFits();

private:
    WindowFixture m_fx;
};

void TestHiDpi::windowIsTwiceAsLarge()
{
    // Logical pixels stay those of the layout; the screen shows each as two by two.
    QCOMPARE(m_fx.window->size(), QSize(794, 535 + m_fx.window->menuBar()->height()));
    const QPixmap shot = m_fx.window->grab();
    QCOMPARE(shot.size(), m_fx.window->size() * 2);
    QVERIFY(QDir().mkpath(QStringLiteral(TICKORA_ARTEFACTS)));
    QVERIFY(shot.save(QStringLiteral(TICKORA_ARTEFACTS "/window-at-2x.png")));
}

void TestHiDpi::captionsFitUnderEveryDesktopFont_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::newRow("DejaVu Sans 7: fits as it is") << "DejaVu Sans" << 7.0;
    for (const double points : {9, 11, 14, 18})
        QTest::addRow("DejaVu Sans %g", points) << "DejaVu Sans" << points;
    QTest::newRow("DejaVu Serif 14") << "DejaVu Serif" << 14.0;
    QTest::newRow("URW Bookman 14") << "URW Bookman" << 14.0;
    QTest::newRow("Liberation Mono 11") << "Liberation Mono" << 11.0;
    QTest::newRow("Liberation Mono 18") << "Liberation Mono" << 18.0;
}

// The controls take the desktop's family, at its size where the captions fit and smaller
// where they would not, set while the window is open; the display field keeps its own
// font. Each control stays inside its container, clear of a frame's border and caption,
// overlaps no other, and shows its caption whole.
void TestHiDpi::captionsFitUnderEveryDesktopFont()
{
    QFETCH(QString, family);
    QFETCH(double, points);
    QFont desktop(family);
    desktop.setPointSizeF(points);
    QApplication::setFont(desktop);
    QCoreApplication::processEvents(); // the windows hear of it by a posted event
    QCOMPARE(m_fx.field()->font().pointSizeF(), 320.0);
    if (points >= 9 && points <= 14 && family == u"DejaVu Sans")
        QVERIFY(
            m_fx.window->grab().save(QStringLiteral(TICKORA_ARTEFACTS "/captions-at-%1pt.png").arg(points)));

    QList<QWidget *> controls;
    for (QPushButton *button : m_fx.window->findChildren<QPushButton *>())
        controls << button;
    for (QRadioButton *button : m_fx.window->findChildren<QRadioButton *>())
        controls << button;
    for (QGroupBox *frame : m_fx.window->findChildren<QGroupBox *>())
        controls << frame;
    QCOMPARE(controls.size(), 12 + 12 + 2 + 2);
    for (QWidget *control : controls) {
        const QString name = control->objectName();
        QVERIFY2(control->font().family() == family, qPrintable(name));
        QVERIFY2(points == 7 ? control->font().pointSizeF() == points
                             : control->font().pointSizeF() <= points,
                 qPrintable(name));
        QWidget *container = control->parentWidget();
        QRect room = container->rect();
        if (auto *frame = qobject_cast<QGroupBox *>(container)) {
            room = frameSubControl(frame, QStyle::SC_GroupBoxFrame);
            const QRect caption = frameSubControl(frame, QStyle::SC_GroupBoxLabel);
            QVERIFY2(!shownRect(control).intersects(ink(frame, frame->title(), caption, caption.left())),
                     qPrintable(name + " covers its frame's caption"));
        }
        QVERIFY2(room.contains(control->geometry()), qPrintable(name + " leaves its container"));
        for (QWidget *other : controls) {
            QVERIFY2(other == control || other->parentWidget() != container ||
                         !shownRect(control).intersects(shownRect(other)),
                     qPrintable(name + " overlaps " + other->objectName()));
        }
        // The caption's letters, where the style puts them, lie inside the control, off a
        // push button's bevel, and a frame's between its sides where its border gives way.
        QRect letters;
        if (auto *frame = qobject_cast<QGroupBox *>(control)) {
            const QRect caption = frameSubControl(frame, QStyle::SC_GroupBoxLabel);
            letters = ink(frame, frame->title(), caption, caption.left());
            room = QRect(caption.left() - 2, 0, caption.width() + 4, frame->height()) &
                   frame->rect().adjusted(1, 0, -1, 0);
        } else if (auto *push = qobject_cast<QPushButton *>(control)) {
            const int bevel = push->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, push);
            room = push->rect().adjusted(bevel, bevel, -bevel, -bevel);
            letters = ink(push, push->text(), push->rect(),
                          (push->width() - push->fontMetrics().horizontalAdvance(push->text())) / 2);
        } else {
            const QStyle *style = control->style();
            room = control->rect();
            letters = ink(control, qobject_cast<QRadioButton *>(control)->text(), room,
                          style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, control) +
                              style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, control));
        }
        QVERIFY2(room.contains(letters), qPrintable(QStringLiteral("the caption of %1 is cut").arg(name)));
    }
}

// Where no size of any family fits, the captions take the desktop's family at 6 points.
void TestHiDpi::smallestSizeWhenNothingFits()
{
    QPushButton narrow(QStringLiteral("Start"));
    narrow.resize(3, 25);
    const QFont chosen =
        CaptionFont::choose({{&narrow, {QStringLiteral("Start")}}}, QFont(u"DejaVu Serif"_qs, 14));
    QCOMPARE(chosen.family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(chosen.pointSizeF(), 6.0);
}

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
