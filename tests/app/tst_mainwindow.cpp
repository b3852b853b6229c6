#include "window/initialstate.h"
#include "windowfixture.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void initialState();
    void buttons_data();
    void buttons();
    void layoutInPixels_data();
    void layoutInPixels();
    void clientAreaAndFocus();
    void menus();
    void tabOrder();
    void realTicksMoveTextAtIntervalUntilStop();
    void enterRouting();
    void escapeClicksForeColour();
    void optionGroupsAreExclusive();
    void speedsMenuSelectsButtons();

private:
    template<typename T> T *child(const char *name) const
    {
        return m_fx->child<T>(QString::fromLatin1(name));
    }
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
    QCOMPARE(window()->windowTitle(), InitialState::caption());
    QCOMPARE(window()->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(window()->text(), QString());
    QCOMPARE(window()->foreColour(), -2147483640);
    QCOMPARE(window()->backColour(), -2147483643);
    const MarqueeFont font = window()->font();
    QCOMPARE(font.name, QStringLiteral("Arial"));
    QCOMPARE(font.size, 320.0); // the start-up restore presets 320 points
    QVERIFY(font.bold);
    QVERIFY(!font.italic);
    QVERIFY(!font.underline);
    QCOMPARE(field()->font().pointSizeF(), 320.0);
    QVERIFY(field()->font().bold());
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        QCOMPARE(window()->isSpeedSelected(level), level == 7);
    QVERIFY(window()->isDirectionSelected(Direction::Left));
    QVERIFY(!window()->isDirectionSelected(Direction::Right));
    QCOMPARE(window()->startCaption(), QStringLiteral("Start"));
    QVERIFY(!window()->isScrollTimerEnabled());
    QCOMPARE(window()->scrollInterval(), 100);
    auto *captionTimer = child<QTimer>("tmrCaption");
    QVERIFY(captionTimer->isActive());
    QCOMPARE(captionTimer->interval(), 300);
    QCOMPARE(child<QTimer>("tmrMain")->timerType(), Qt::PreciseTimer);
    QCOMPARE(child<QGroupBox>("fraSpeed")->title(), QStringLiteral("Speed"));
    QCOMPARE(child<QGroupBox>("fraDirection")->title(), QStringLiteral("Direction"));
    QCOMPARE(child<QRadioButton>("optLeft")->toolTip(), QStringLiteral("Left Direction"));
    QCOMPARE(child<QRadioButton>("optRight")->toolTip(), QStringLiteral("Right Direction"));
    for (int level = 1; level <= kSpeedLevelCount; ++level) {
        auto *button = window()->findChild<QRadioButton *>(QStringLiteral("Opt%1").arg(level));
        QVERIFY(button);
        QCOMPARE(button->text(), QString::number(level));
        QCOMPARE(button->toolTip(), QStringLiteral("Speed"));
    }
}

void TestMainWindow::buttons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QRect>("geometry");
    const auto row = [](const char *name, const char *caption, const char *tip, int left, int top) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption)
                            << QString::fromLatin1(tip) << QRect(left, top, 57, 25);
    };
    row("cmdStart", "Start", "Starts Scolling", 32, 448);
    row("Command2", "FG Color", "Sets ForeGround Color", 96, 448);
    row("Command4", "Fonts", "Sets Fonts", 160, 448);
    row("Command6", "Delete", "Delets Text and Settings", 224, 448);
    row("Command7", "Import", "Imports Text", 288, 448);
    row("Command10", "HTML", "Exports Marquee HTML code", 352, 448);
    row("Command5", "Clear", "Clears Text", 32, 480);
    row("Command3", "BG Color", "Sets BackGround Color", 96, 480);
    row("Command8", "Load", "Loads Text and Settings", 160, 480);
    row("Command9", "Save", "Saves Text and Settings", 224, 480);
    row("Command11", "Export", "Exports Text", 288, 480);
    row("Command1", "Exit", "Saves Text and Settings and Exits Application.", 352, 480);
}

void TestMainWindow::buttons()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(QRect, geometry);
    auto *button = window()->findChild<QPushButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->toolTip(), toolTip);
    QCOMPARE(button->geometry(), geometry);
}

void TestMainWindow::layoutInPixels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("txtMarquee") << "txtMarquee" << QRect(16, 16, 761, 417);
    QTest::newRow("fraSpeed") << "fraSpeed" << QRect(432, 440, 193, 65);
    QTest::newRow("Opt1") << "Opt1" << QRect(16, 13, 33, 17);
    QTest::newRow("Opt6") << "Opt6" << QRect(56, 45, 49, 17);
    QTest::newRow("Opt8") << "Opt8" << QRect(96, 29, 41, 17);
    QTest::newRow("Opt12") << "Opt12" << QRect(136, 45, 41, 17);
    QTest::newRow("fraDirection") << "fraDirection" << QRect(664, 440, 97, 65);
    QTest::newRow("Picture2") << "Picture2" << QRect(8, 16, 81, 41);
    QTest::newRow("optLeft") << "optLeft" << QRect(0, 0, 73, 13);
    QTest::newRow("optRight") << "optRight" << QRect(0, 24, 57, 17);
}

void TestMainWindow::layoutInPixels()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    auto *widget = window()->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
}

void TestMainWindow::clientAreaAndFocus()
{
    QCOMPARE(window()->centralWidget()->size(), QSize(794, 535));
    QCOMPARE(window()->minimumSize(), window()->maximumSize());
    QCOMPARE(window()->height(), 535 + window()->menuBar()->height());
    QCOMPARE(QApplication::focusWidget(), field());
}

void TestMainWindow::menus()
{
    const QList<QAction *> titles = window()->menuBar()->actions();
    QStringList captions;
    for (QAction *title : titles)
        captions << title->text();
    QCOMPARE(captions, (QStringList{"Files", "Options", "Speeds", "About"}));

    const auto items = [this](const char *menu) {
        QStringList result;
        const QList<QAction *> actions = child<QMenu>(menu)->actions();
        for (QAction *action : actions) {
            result << action->objectName() + '=' + action->text();
            if (action->isCheckable() || !action->shortcut().isEmpty() || !action->isEnabled())
                result << "unexpected state of " + action->objectName();
        }
        return result;
    };
    QCOMPARE(items("f0"), (QStringList{"f3=New", "f1=Open", "f2=Save"}));
    QCOMPARE(items("o0"), (QStringList{"o1=ForeGround", "o2=BackGround", "o4=TextClear", "o5=TextFonts"}));
    QCOMPARE(items("a0"), (QStringList{"a2=Specs", "a1=About"}));
    QStringList speeds;
    for (int item = 1; item <= 12; ++item)
        speeds << QStringLiteral("s%1=%2").arg(item).arg(item, 2, 10, QLatin1Char('0'));
    QCOMPARE(items("s0"), speeds);
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
    for (qsizetype index = 0; index < expected.size(); ++index) {
        chain << widget->objectName();
        widget = widget->nextInFocusChain();
        while (widget->objectName().isEmpty() || widget->objectName() == "clientArea" ||
               qobject_cast<QGroupBox *>(widget))
            widget = widget->nextInFocusChain();
    }
    QCOMPARE(chain, expected);
}

void TestMainWindow::realTicksMoveTextAtIntervalUntilStop()
{
    // Level 4 to the right steps every 100 ms; the first step after the first Start
    // comes after the initial 100 ms as well.
    child<QRadioButton>("Opt4")->click();
    child<QRadioButton>("optRight")->click();
    window()->setText(QStringLiteral("ABCDEFGHIJ"));
    QStringList seen;
    QList<qint64> times;
    QElapsedTimer clock;
    connect(child<QTimer>("tmrMain"), &QTimer::timeout, this, [&] {
        seen << window()->text();
        times << clock.elapsed();
    });
    clock.start();
    QTest::mouseClick(child<QPushButton>("cmdStart"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 4, 5000);
    QCOMPARE(seen.mid(0, 3), (QStringList{" ABCDEFGHIJ", "J ABCDEFGHI", "IJ ABCDEFGH"}));
    QCOMPARE(window()->scrollInterval(), 100);
    // Loose bounds: the machine is shared, only a wrong interval (600 ms) must fail.
    const qint64 span = times[3] - times[0];
    QVERIFY2(span >= 280 && span < 1200, qPrintable(QString::number(span)));

    // Stop by a real click: the text comes back as it was before Start, and it stays.
    auto *start = child<QPushButton>("cmdStart");
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(start->text(), QStringLiteral("Start"));
    QVERIFY(!child<QTimer>("tmrMain")->isActive());
    QCOMPARE(window()->text(), QStringLiteral("ABCDEFGHIJ"));
    QTest::qWait(250);
    QCOMPARE(window()->text(), QStringLiteral("ABCDEFGHIJ"));
}

void TestMainWindow::enterRouting()
{
    QSignalSpy html(child<QPushButton>("Command10"), &QPushButton::clicked);
    QSignalSpy save(child<QPushButton>("Command9"), &QPushButton::clicked);
    window()->setText(QStringLiteral("abc"));
    field()->setFocus();
    QTest::keyClick(field(), Qt::Key_Return);
    QCOMPARE(html.size(), 1);
    QCOMPARE(window()->text(), QStringLiteral("abc"));
    QTest::keyClick(field(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(html.size(), 2);

    auto *opt3 = child<QRadioButton>("Opt3");
    opt3->setFocus();
    QTest::keyClick(opt3, Qt::Key_Return);
    QCOMPARE(html.size(), 3);

    // On a command button, Enter clicks that button instead.
    auto *saveButton = child<QPushButton>("Command9");
    saveButton->setFocus();
    QTest::keyClick(saveButton, Qt::Key_Return);
    QCOMPARE(save.size(), 1);
    QCOMPARE(html.size(), 3);
}

void TestMainWindow::escapeClicksForeColour()
{
    QSignalSpy foreColour(child<QPushButton>("Command2"), &QPushButton::clicked);
    field()->setFocus();
    QTest::keyClick(field(), Qt::Key_Escape);
    QCOMPARE(foreColour.size(), 1);
    auto *exitButton = child<QPushButton>("Command1");
    exitButton->setFocus();
    QTest::keyClick(exitButton, Qt::Key_Escape);
    QCOMPARE(foreColour.size(), 2);
    QCOMPARE(m_fx->programEnd.requests, 0);
}

void TestMainWindow::optionGroupsAreExclusive()
{
    QTest::mouseClick(child<QRadioButton>("Opt3"), Qt::LeftButton);
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        QCOMPARE(window()->isSpeedSelected(level), level == 3);
    QTest::mouseClick(child<QRadioButton>("optRight"), Qt::LeftButton);
    QVERIFY(!window()->isDirectionSelected(Direction::Left));
    QVERIFY(window()->isDirectionSelected(Direction::Right));
    // A selection changes nothing while stopped.
    QVERIFY(!window()->isScrollTimerEnabled());

    // Clearing the selected button leaves its group empty; the other group keeps its own.
    window()->setSpeedSelected(3, false);
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        QVERIFY(!window()->isSpeedSelected(level));
    QVERIFY(window()->isDirectionSelected(Direction::Right));
    window()->setSpeedSelected(12, true);
    QVERIFY(window()->isSpeedSelected(12));
    QTest::mouseClick(child<QRadioButton>("Opt1"), Qt::LeftButton);
    QVERIFY(!window()->isSpeedSelected(12));
}

void TestMainWindow::speedsMenuSelectsButtons()
{
    // The menu's order is the core's; here only that an item reaches the buttons.
    child<QAction>("s2")->trigger();
    QVERIFY(child<QRadioButton>("Opt11")->isChecked());
    QVERIFY(!window()->isScrollTimerEnabled());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
