// SPDX-License-Identifier: MIT
#include "plainwindow.h"
#include "windowfixture.h"
#include "windowstate.h"

#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The window's controls, menus, keys and timers; the commands behind them are the
// core's and tst_windowcommands'.
class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void initialState();
    void controls_data();
    void controls();
    void menus();
    void tabOrder();
    void ticksMoveTextUntilStop();
    void keys_data();
    void keys();
    void optionGroupsAreExclusive();
    void speedsMenu_data();
    void speedsMenu();

private:
    template<typename T> T *child(const QString &name) const { return m_fx->child<T>(name); }
    QWidget *field() const { return m_fx->field(); }
    [[nodiscard]] MainWindow *window() const { return m_fx->window.get(); }

    std::unique_ptr<WindowFixture> m_fx;
};

void TestMainWindow::init()
{
    m_fx = std::make_unique<WindowFixture>();
    QVERIFY(m_fx->start());
}

void TestMainWindow::cleanup()
{
    m_fx.reset();
}

void TestMainWindow::initialState()
{
    // The plain window starts with the initial values; the start-up restore presets 320 points.
    PlainWindow reference;
    reference.setFontSize(320);
    QCOMPARE(stateDifferences(stateOf(*window()), stateOf(reference)), QString());
    QCOMPARE(window()->windowTitle(), reference.caption());
    QCOMPARE(window()->startCaption(), QStringLiteral("Start"));
    QCOMPARE(field()->font().pointSizeF(), 320.0);
    QVERIFY(field()->font().bold());
    QVERIFY(!window()->isScrollTimerEnabled());
    QCOMPARE(window()->scrollInterval(), 100);
    QCOMPARE(child<QTimer>(u"tmrMain"_qs)->timerType(), Qt::PreciseTimer);
    QVERIFY(child<QTimer>(u"tmrCaption"_qs)->isActive());
    QCOMPARE(child<QTimer>(u"tmrCaption"_qs)->interval(), 300);
    QCOMPARE(window()->centralWidget()->size(), QSize(794, 535));
    QCOMPARE(window()->minimumSize(), window()->maximumSize());
    QCOMPARE(QApplication::focusWidget(), field());
}

void TestMainWindow::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QRect>("geometry");
    const auto row = [](const char *name, const char *caption, const char *tip, QRect geometry) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption)
                            << QString::fromUtf8(tip) << geometry;
    };
    const auto button = [&](const char *name, const char *caption, const char *tip, int left, int top) {
        row(name, caption, tip, QRect(left, top, 57, 25));
    };
    button("cmdStart", "Start", "Starts Scolling", 32, 448);
    button("Command2", "FG Color", "Sets ForeGround Color", 96, 448);
    button("Command4", "Fonts", "Sets Fonts", 160, 448);
    button("Command6", "Delete", "Delets Text and Settings", 224, 448);
    button("Command7", "Import", "Imports Text", 288, 448);
    button("Command10", "HTML", "Exports Marquee HTML code", 352, 448);
    button("Command5", "Clear", "Clears Text", 32, 480);
    button("Command3", "BG Color", "Sets BackGround Color", 96, 480);
    button("Command8", "Load", "Loads Text and Settings", 160, 480);
    button("Command9", "Save", "Saves Text and Settings", 224, 480);
    button("Command11", "Export", "Exports Text", 288, 480);
    button("Command1", "Exit", "Saves Text and Settings and Exits Application.", 352, 480);
    row("Opt1", "1", "Speed", QRect(16, 13, 33, 17));
    row("Opt6", "6", "Speed", QRect(56, 45, 49, 17));
    row("Opt8", "8", "Speed", QRect(96, 29, 41, 17));
    row("Opt12", "12", "Speed", QRect(136, 45, 41, 17));
    row("optLeft", "Left", "Left Direction", QRect(0, 0, 73, 13));
    row("optRight", "Right", "Right Direction", QRect(0, 24, 57, 17));
    row("fraSpeed", "Speed", "", QRect(432, 440, 193, 65));
    row("fraDirection", "Direction", "", QRect(664, 440, 97, 65));
    row("txtMarquee", "", "", QRect(16, 16, 761, 417));
    row("Picture2", "", "", QRect(8, 16, 81, 41));
}

void TestMainWindow::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(QRect, geometry);
    auto *widget = child<QWidget>(name);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->toolTip(), toolTip);
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), caption);
    else if (auto *frame = qobject_cast<QGroupBox *>(widget))
        QCOMPARE(frame->title(), caption);
}

void TestMainWindow::menus()
{
    QStringList items;
    const QList<QAction *> titles = window()->menuBar()->actions();
    for (QAction *title : titles) {
        items << title->menu()->objectName() + '=' + title->text();
        const QList<QAction *> actions = title->menu()->actions();
        for (QAction *action : actions) {
            items << action->objectName() + '=' + action->text();
            QVERIFY(!action->isCheckable() && action->shortcut().isEmpty() && action->isEnabled());
        }
    }
    QStringList expected{"f0=Files",      "f3=New",        "f1=Open",      "f2=Save",      "o0=Options",
                         "o1=ForeGround", "o2=BackGround", "o4=TextClear", "o5=TextFonts", "s0=Speeds"};
    for (int item = 1; item <= 12; ++item)
        expected << QStringLiteral("s%1=%2").arg(item).arg(item, 2, 10, QLatin1Char('0'));
    expected << "a0=About"
             << "a2=Specs"
             << "a1=About";
    QCOMPARE(items, expected);
}

void TestMainWindow::tabOrder()
{
    QStringList expected{"txtMarquee", "cmdStart",  "Command5", "Command2", "Command3",
                         "Command4",   "Command8",  "Command6", "Command9", "Command7",
                         "Command11",  "Command10", "Command1"};
    for (int level = 1; level <= 12; ++level)
        expected << QStringLiteral("Opt%1").arg(level);
    expected << "optLeft"
             << "optRight"
             << "Picture2";
    QStringList chain;
    QWidget *widget = field();
    while (chain.size() < expected.size()) {
        chain << widget->objectName();
        do
            widget = widget->nextInFocusChain();
        while (widget->objectName().isEmpty() || widget->objectName() == "clientArea" ||
               qobject_cast<QGroupBox *>(widget));
    }
    QCOMPARE(chain, expected);
}

void TestMainWindow::ticksMoveTextUntilStop()
{
    // Real timer ticks, one rotation each; the waits only guard against a hang.
    child<QRadioButton>(u"Opt12"_qs)->click();
    child<QRadioButton>(u"optRight"_qs)->click();
    window()->setText(QStringLiteral("ABCDEFGHIJ"));
    QStringList seen;
    connect(child<QTimer>(u"tmrMain"_qs), &QTimer::timeout, this, [&] { seen << window()->text(); });
    auto *start = child<QPushButton>(u"cmdStart"_qs);
    QTest::mouseClick(start, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 3, 10000);
    QCOMPARE(seen.mid(0, 3), (QStringList{" ABCDEFGHIJ", "J ABCDEFGHI", "IJ ABCDEFGH"}));
    QCOMPARE(window()->scrollInterval(), 25);

    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(start->text(), QStringLiteral("Start"));
    QVERIFY(!child<QTimer>(u"tmrMain"_qs)->isActive());
    QCOMPARE(window()->text(), QStringLiteral("ABCDEFGHIJ"));
}

void TestMainWindow::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("clicked");
    QTest::newRow("Return in the field: HTML") << "txtMarquee" << int(Qt::Key_Return) << "Command10";
    QTest::newRow("keypad Enter in the field") << "txtMarquee" << int(Qt::Key_Enter) << "Command10";
    QTest::newRow("Return on an option button") << "Opt3" << int(Qt::Key_Return) << "Command10";
    QTest::newRow("Return on a command button: that one") << "Command9" << int(Qt::Key_Return) << "Command9";
    QTest::newRow("Esc in the field: FG Color") << "txtMarquee" << int(Qt::Key_Escape) << "Command2";
    QTest::newRow("Esc on Exit") << "Command1" << int(Qt::Key_Escape) << "Command2";
}

void TestMainWindow::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, clicked);
    window()->setText(QStringLiteral("abc"));
    QList<std::pair<QString, std::shared_ptr<QSignalSpy>>> spies;
    const QList<QPushButton *> buttons = window()->findChildren<QPushButton *>();
    for (QPushButton *button : buttons)
        spies.append({button->objectName(), std::make_shared<QSignalSpy>(button, &QPushButton::clicked)});
    auto *target = child<QWidget>(focus);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QStringList fired;
    for (const auto &[name, spy] : spies) {
        if (!spy->isEmpty())
            fired << name;
    }
    QCOMPARE(fired, QStringList{clicked});
    QCOMPARE(window()->text(), QStringLiteral("abc")); // no line break typed
    QCOMPARE(m_fx->programEnd.requests, 0);
}

void TestMainWindow::optionGroupsAreExclusive()
{
    QTest::mouseClick(child<QRadioButton>(u"Opt3"_qs), Qt::LeftButton);
    QTest::mouseClick(child<QRadioButton>(u"optRight"_qs), Qt::LeftButton);
    QCOMPARE(stateOf(*window()).value(u"speed"_qs), 3);
    QCOMPARE(stateOf(*window()).value(u"direction"_qs), 2);
    QVERIFY(!window()->isScrollTimerEnabled()); // a selection starts nothing

    // Clearing the selected button leaves its group empty; the other group keeps its own.
    window()->setSpeedSelected(3, false);
    QCOMPARE(stateOf(*window()).value(u"speed"_qs), 0);
    QCOMPARE(stateOf(*window()).value(u"direction"_qs), 2);
    window()->setSpeedSelected(12, true);
    QTest::mouseClick(child<QRadioButton>(u"Opt1"_qs), Qt::LeftButton);
    QCOMPARE(stateOf(*window()).value(u"speed"_qs), 1);
}

void TestMainWindow::speedsMenu_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("level");
    // The menu lists the levels in order but for items 02 and 11, which are swapped.
    for (int item = 1; item <= 12; ++item)
        QTest::addRow("item %02d", item) << item << (item == 2 ? 11 : item == 11 ? 2 : item);
}

void TestMainWindow::speedsMenu()
{
    QFETCH(int, item);
    QFETCH(int, level);
    window()->setText(QStringLiteral("abc"));
    child<QAction>(QStringLiteral("s%1").arg(item))->trigger();
    QVERIFY(child<QRadioButton>(QStringLiteral("Opt%1").arg(level))->isChecked());
    QCOMPARE(stateOf(*window()).value(u"speed"_qs), level);
    QVERIFY(!window()->isScrollTimerEnabled());
    QCOMPARE(window()->text(), QStringLiteral("abc"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
