// SPDX-License-Identifier: MIT
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

// The window at a device pixel ratio of 2 and under desktop fonts of any family and size:
// everything twice as large, and no control overlapping another, leaving its container or
// cutting its caption.
class TestHiDpi : public QObject
{
    Q_OBJECT

public:
    static void initMain() { qputenv("QT_SCALE_FACTOR", "2"); }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void windowIsTwiceAsLarge();
    void captionFontFollowsTheDesktop_data();
    void captionFontFollowsTheDesktop();
    void controlFitsItsPlace_data();
    void controlFitsItsPlace();

private:
    [[nodiscard]] QWidget *control(const QString &name) const;
    void useDesktopFont(const QString &family, double points);

    QFont m_defaultFont;

    [[nodiscard]] MainWindow *window() const { return m_fx->window.get(); }

    std::unique_ptr<WindowFixture> m_fx;
};

namespace {

// The desktop fonts the layout must take: the platform's default, large sizes and other
// families, a wide serif and a monospace among them.
struct DesktopFont
{
    const char *family;
    double points;
};
constexpr DesktopFont kDesktopFonts[]{{"", 0},
                                      {"DejaVu Sans", 7},
                                      {"DejaVu Sans", 9},
                                      {"DejaVu Sans", 11},
                                      {"DejaVu Sans", 14},
                                      {"DejaVu Sans", 18},
                                      {"DejaVu Serif", 14},
                                      {"URW Bookman", 14},
                                      {"Liberation Mono", 11},
                                      {"Liberation Mono", 18}};

QString fontRowName(const DesktopFont &font)
{
    return *font.family ? QStringLiteral("%1 %2").arg(QLatin1String(font.family)).arg(font.points)
                        : QStringLiteral("default");
}

QStringList controlNames()
{
    QStringList names{"txtMarquee", "fraSpeed", "fraDirection", "Picture2",
                      "optLeft",    "optRight", "cmdStart"};
    for (int number = 1; number <= 11; ++number)
        names << QStringLiteral("Command%1").arg(number);
    for (int level = 1; level <= 12; ++level)
        names << QStringLiteral("Opt%1").arg(level);
    return names;
}

// Where the frame's border runs, and where its caption stands.
QRect frameSubControl(QGroupBox *box, QStyle::SubControl part)
{
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = box->alignment();
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, part, box);
}

// The part of a control that shows, in its container's coordinates. An option button's
// box is a little taller than its row (the layout's rows overlap by one pixel), but only
// its round indicator and its caption's ink show.
QRect visibleRect(QWidget *widget)
{
    auto *option = qobject_cast<QRadioButton *>(widget);
    if (!option)
        return widget->geometry();
    QStyleOptionButton style;
    style.initFrom(option);
    style.text = option->text();
    const QRect indicator = option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option);
    const QRect label = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
    const QFontMetrics metrics = option->fontMetrics();
    const int baseline = label.top() + (label.height() - metrics.height()) / 2 + metrics.ascent();
    const QRect ink = metrics.tightBoundingRect(option->text()).translated(label.left(), baseline);
    return indicator.united(ink).translated(option->pos());
}

} // namespace

QWidget *TestHiDpi::control(const QString &name) const
{
    return window()->findChild<QWidget *>(name);
}

// Set while the window is open, as a desktop changes its font.
void TestHiDpi::useDesktopFont(const QString &family, double points)
{
    QFont font = m_defaultFont;
    if (!family.isEmpty()) {
        font = QFont(family);
        font.setPointSizeF(points);
    }
    if (QApplication::font() != font) {
        QApplication::setFont(font);
        QCoreApplication::processEvents(); // the windows hear of it by a posted event
    }
}

void TestHiDpi::initTestCase()
{
    m_defaultFont = QApplication::font();
    m_fx = std::make_unique<WindowFixture>();
    QVERIFY(m_fx->start());
    for (const QString &name : controlNames())
        QVERIFY2(control(name), qPrintable(name));
}

void TestHiDpi::cleanupTestCase()
{
    m_fx.reset();
    QApplication::setFont(m_defaultFont);
}

void TestHiDpi::windowIsTwiceAsLarge()
{
    QCOMPARE(window()->devicePixelRatio(), 2.0);
    // Logical pixels stay those of the layout; the screen shows each as two by two.
    QCOMPARE(window()->centralWidget()->size(), QSize(794, 535));
    QCOMPARE(window()->size(), QSize(794, 535 + window()->menuBar()->height()));
    const QPixmap shot = window()->grab();
    QCOMPARE(shot.size(), window()->size() * 2);

    const QString folder = QStringLiteral(TICKORA_ARTEFACTS);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(shot.save(folder + QStringLiteral("/window-at-2x.png")));
}

void TestHiDpi::captionFontFollowsTheDesktop_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("fitsAsItIs");
    for (const DesktopFont &font : kDesktopFonts)
        QTest::newRow(qPrintable(fontRowName(font)))
            << QString::fromLatin1(font.family) << font.points << (font.points == 7);
}

// The controls take the desktop's family, at its size where the captions fit and smaller
// where they would not; the display field keeps its own font, and the window its size.
void TestHiDpi::captionFontFollowsTheDesktop()
{
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, fitsAsItIs);
    useDesktopFont(family, points);
    const QFont desktop = QApplication::font();
    for (const QString &name : controlNames()) {
        if (name == QLatin1String("txtMarquee") || name == QLatin1String("Picture2"))
            continue;
        const QFont font = control(name)->font();
        QVERIFY2(font.family() == desktop.family(), qPrintable(name + QLatin1String(": ") + font.family()));
        QVERIFY2(fitsAsItIs ? font.pointSizeF() == desktop.pointSizeF()
                            : font.pointSizeF() <= desktop.pointSizeF(),
                 qPrintable(name + QLatin1String(": ") + QString::number(font.pointSizeF())));
    }
    QCOMPARE(control(QStringLiteral("txtMarquee"))->font().pointSizeF(), 320.0);
    QCOMPARE(window()->height(), 535 + window()->menuBar()->height());

    // A look at the captions at the sizes desktops use.
    if (family == QLatin1String("DejaVu Sans") && points >= 9 && points <= 14) {
        const QString folder = QStringLiteral(TICKORA_ARTEFACTS);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(window()->grab().save(folder + QStringLiteral("/captions-at-%1pt.png").arg(points)));
    }
}

void TestHiDpi::controlFitsItsPlace_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<QString>("name");
    for (const DesktopFont &font : kDesktopFonts)
        for (const QString &name : controlNames())
            QTest::addRow("%s/%s", qPrintable(fontRowName(font)), qPrintable(name))
                << QString::fromLatin1(font.family) << font.points << name;
}

// Under every desktop font each control stays inside its container, clear of a frame's
// border and caption, overlaps no other control of its container, and shows its caption
// whole; a frame shows its own caption whole, where its border gives way to it.
void TestHiDpi::controlFitsItsPlace()
{
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(QString, name);
    useDesktopFont(family, points);
    QWidget *widget = control(name);
    QWidget *container = widget->parentWidget();
    QVERIFY(widget->isVisible());
    QRect room = container->rect();
    if (auto *frame = qobject_cast<QGroupBox *>(container)) {
        room = frameSubControl(frame, QStyle::SC_GroupBoxFrame);
        const QRect caption = frameSubControl(frame, QStyle::SC_GroupBoxLabel);
        const QRect ink = frame->fontMetrics()
                              .tightBoundingRect(frame->title())
                              .translated(caption.left(), caption.top() + frame->fontMetrics().ascent());
        QVERIFY2(!visibleRect(widget).intersects(ink),
                 qPrintable(QStringLiteral("%1 covers the caption of %2").arg(name, frame->objectName())));
    }
    QVERIFY2(room.contains(widget->geometry()), qPrintable(name + " leaves " + container->objectName()));
    for (const QString &other : controlNames()) {
        QWidget *neighbour = control(other);
        QVERIFY2(neighbour == widget || neighbour->parentWidget() != container ||
                     !visibleRect(widget).intersects(visibleRect(neighbour)),
                 qPrintable(name + " overlaps " + other));
    }

    if (auto *frame = qobject_cast<QGroupBox *>(widget)) {
        // The border gives way to the caption's box and its padding of 2 pixels; a letter
        // may overhang its advance by that much.
        const QRect caption = frameSubControl(frame, QStyle::SC_GroupBoxLabel);
        const QFontMetrics metrics = frame->fontMetrics();
        const QRect ink = metrics.tightBoundingRect(frame->title())
                              .translated(caption.left(), caption.top() + metrics.ascent());
        const QRect gap = caption.adjusted(-2, 0, 2, 0);
        QVERIFY2(frame->rect().adjusted(1, 0, -1, 0).contains(ink) && gap.left() <= ink.left() &&
                     ink.right() <= gap.right(),
                 qPrintable(QStringLiteral("the caption of %1 is cut or crossed").arg(name)));
    }
    auto *button = qobject_cast<QAbstractButton *>(widget);
    if (!button)
        return;
    // The ink of the caption, where the style puts the caption's box, must lie inside
    // the control and off a push button's bevel.
    room = button->rect();
    int textLeft = 0;
    if (auto *push = qobject_cast<QPushButton *>(button)) {
        const int bevel = push->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, push);
        room.adjust(bevel, bevel, -bevel, -bevel);
        textLeft = (button->width() - button->fontMetrics().horizontalAdvance(button->text())) / 2;
    } else {
        const QStyle *style = button->style();
        textLeft = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button) +
                   style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
    }
    const QFontMetrics metrics = button->fontMetrics();
    const int baseline = (button->height() - metrics.height()) / 2 + metrics.ascent();
    const QRect ink = metrics.tightBoundingRect(button->text()).translated(textLeft, baseline);
    QVERIFY2(room.contains(ink), qPrintable(QStringLiteral("the caption of %1 is cut").arg(name)));
}

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
