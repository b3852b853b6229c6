// SPDX-License-Identifier: MIT
#include "app/aboutmessages.h"
#include "field/marqueefield.h"
#include "field/presentationview.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <optional>

// The window's controls, menus, keys and timers, and the commands behind each of its ways
// in, through its real buttons, menus and keys with the dialogs scripted and the files real.
class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_fx.emplace().start()); }
    void cleanup() { m_fx.reset(); }
    void initialState();
    void menusAndTabOrder();
    void ticksMoveTextUntilStop();
    void entryPoints_data();
    void entryPoints();
    void ownMessageBox();
    void presentation_data();
    void presentation();

private:
    template<typename T> T *child(const QString &name) const { return m_fx->child<T>(name); }
    [[nodiscard]] QVariantMap observed() const;

    std::optional<WindowFixture> m_fx;
};

void TestMainWindow::initialState()
{
    MainWindow &window = *m_fx->window;
    QCOMPARE(window.windowTitle(), InitialState::caption());
    const QFont font = m_fx->field()->font(); // with the start-up restore's preset size
    QCOMPARE(std::tuple(font.family(), font.pointSizeF(), font.bold(), font.italic()),
             std::tuple(u"Arial"_qs, 320.0, true, false));
    QCOMPARE(std::pair(window.scrollInterval(), child<QTimer>(u"tmrCaption"_qs)->interval()),
             std::pair(100, 300));
    QCOMPARE(child<QTimer>(u"tmrMain"_qs)->timerType(), Qt::PreciseTimer);
    QVERIFY(child<QTimer>(u"tmrCaption"_qs)->isActive() && !window.isScrollTimerEnabled());
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(QApplication::focusWidget(), m_fx->field());
}

void TestMainWindow::menusAndTabOrder()
{
    QStringList items;
    for (QAction *title : m_fx->window->menuBar()->actions()) {
        items << title->menu()->objectName() + '=' + title->text();
        for (QAction *action : title->menu()->actions()) {
            items << action->objectName() + '=' + action->text();
            QVERIFY(!action->isCheckable() && action->shortcut().isEmpty() && action->isEnabled());
        }
    }
    QStringList expected{"f0=Files",      "f3=New",        "f1=Open",      "f2=Save",      "o0=Options",
                         "o1=ForeGround", "o2=BackGround", "o4=TextClear", "o5=TextFonts", "s0=Speeds"};
    for (int item = 1; item <= 12; ++item)
        expected << QStringLiteral("s%1=%2").arg(item).arg(item, 2, 10, QLatin1Char('0'));
    QCOMPARE(items, expected << "a0=About"
                             << "a2=Specs"
                             << "a1=About");

    expected =
        QStringList{"txtMarquee", "cmdStart", "Command5", "Command2",  "Command3",  "Command4", "Command8",
                    "Command6",   "Command9", "Command7", "Command11", "Command10", "Command1"};
    for (int level = 1; level <= 12; ++level)
        expected << QStringLiteral("Opt%1").arg(level);
    expected << "optLeft"
             << "optRight"
             << "Picture2";
    QStringList chain;
    for (QWidget *widget = m_fx->field(); chain.size() < expected.size();
         widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() & Qt::TabFocus)
            chain << widget->objectName();
    }
    QCOMPARE(chain, expected);
}

void TestMainWindow::ticksMoveTextUntilStop()
{
    // Real timer ticks, one rotation each; the waits only guard against a hang.
    child<QRadioButton>(u"Opt12"_qs)->click();
    child<QRadioButton>(u"optRight"_qs)->click();
    m_fx->window->setText(u"ABCDEFGHIJ"_qs);
    QStringList seen;
    connect(child<QTimer>(u"tmrMain"_qs), &QTimer::timeout, this, [&] { seen << m_fx->window->text(); });
    auto *start = child<QPushButton>(u"cmdStart"_qs);
    QTest::mouseClick(start, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 3, 10000);
    QCOMPARE(seen.mid(0, 3), (QStringList{" ABCDEFGHIJ", "J ABCDEFGHI", "IJ ABCDEFGH"}));
    QCOMPARE(m_fx->window->scrollInterval(), 25);
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(start->text(), u"Start"_qs);
    QVERIFY(!child<QTimer>(u"tmrMain"_qs)->isActive());
    QCOMPARE(m_fx->window->text(), u"ABCDEFGHIJ"_qs);
}

// What the commands change, as a test sees it: the dialog's uses, the text, the colours on
// the screen, the speed, the files and what they hold, the program's end and the messages.
QVariantMap TestMainWindow::observed() const
{
    QStringList dialogs;
    for (const ScriptedDialog::Call &call : m_fx->dialog.calls())
        dialogs << QString::number(int(call.kind));
    const QImage shot = m_fx->field()->grab().toImage();
    QStringList speeds;
    for (QRadioButton *option : m_fx->window->findChildren<QRadioButton *>())
        if (option->isChecked())
            speeds << option->objectName();
    QStringList messages;
    for (const RecordingMessageBox::Message &message : m_fx->messages.messages)
        messages << message.text.left(20);
    QVariantMap seen{{u"dialog"_qs, dialogs.join(',')},
                     {u"text"_qs, m_fx->window->text()},
                     {u"ink"_qs, shot.pixelColor(shot.width() / 8, shot.height() / 2).name()},
                     {u"paper"_qs, shot.pixelColor(shot.width() * 7 / 8, shot.height() / 2).name()},
                     {u"font"_qs, m_fx->field()->font().family()},
                     {u"options"_qs, speeds.join(',')},
                     {u"end"_qs, m_fx->programEnd.requests},
                     {u"messages"_qs, messages.join(',')}};
    for (const QString &name : QDir().entryList(QDir::Files))
        seen.insert(u"file "_qs + name, QString::fromUtf8(m_fx->dir.read(name)).left(10));
    return seen;
}

void TestMainWindow::entryPoints_data()
{
    QTest::addColumn<QString>("entryPoint");
    QTest::addColumn<QString>("effect");
    // Files show their first ten characters. The dialog's kinds: 0 open, 1 save, 2 colour, 3 font. It answers
    // with the file "in.txt" or the name after '>', red, or Liberation Serif. "Name:Key" presses the key on
    // that control, a key alone in the text field.
    const QString saved =
        u"file color=\"-21474836; file dirct=\"True\",\"Fa; file speed=\"False\",\"F; file text=\"\u2588\"\r\n"_qs;
    const auto add = [](const char *name, const char *effect) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(effect);
    };
    for (const char *clear : {"Command5", "o4", "f3"})
        add(clear, "ink=#ffffff; text=");
    for (const char *fore : {"Command2", "o1", "Escape", "Command1:Escape"})
        add(fore, "dialog=2; ink=#ff0000");
    for (const char *back : {"Command3", "o2"})
        add(back, "dialog=2; paper=#ff0000");
    for (const char *font : {"Command4", "o5"})
        add(font, "dialog=3; file font=\"Liberatio; font=Liberation Serif; ink=#ffffff");
    for (const char *import : {"Command7", "f1"})
        add(import, "dialog=0; ink=#ffffff; text=one two");
    for (const char *exporter : {"Command11>out.txt", "f2>out.txt"})
        add(exporter, "dialog=1; file out.txt=\u2588\r\n");
    for (const char *html : {"Command10>out.htm", "Return>out.htm", "Opt3:Return>out.htm"})
        add(html, "dialog=1; file out.htm=<MARQUEE> ");
    add("Command9:Return", qPrintable(saved));
    add("Command8", "ink=#ffffff; text=old");
    add("Command6", "file text=");
    add("Command1", qPrintable(u"end=1; "_qs + saved));
    add("a2", "messages=256 Million Colors, ");
    add("a1", qPrintable(u"messages="_qs + AboutMessages::about().left(20)));
    for (int item = 1; item <= 12; ++item) // items 02 and 11 swapped
        QTest::addRow("s%d", item) << QStringLiteral("s%1").arg(item)
                                   << QStringLiteral("options=Opt%1,optLeft")
                                          .arg(item == 2    ? 11
                                               : item == 11 ? 2
                                                            : item);
}

void TestMainWindow::entryPoints()
{
    QFETCH(QString, entryPoint);
    QFETCH(QString, effect);
    m_fx->dir.write(u"in.txt"_qs, "one two");
    m_fx->dir.write(u"text"_qs, "\"old\"\r\n");
    m_fx->window->setText(u"\u2588"_qs); // a full block: the field's left shows the text colour
    m_fx->window->setSpeedSelected(InitialState::kSpeedLevel, false); // no speed: each item shows
    const QVariantMap before = observed();
    const QString kind = effect.section(';', 0, 0);
    if (kind == u"dialog=0" || kind == u"dialog=1")
        m_fx->dialog.expect(entryPoint.contains('>') ? entryPoint.section('>', 1) : u"in.txt"_qs);
    else if (kind == u"dialog=2")
        m_fx->dialog.expect(Colours::rgb(255, 0, 0));
    else if (kind == u"dialog=3")
        m_fx->dialog.expect(MarqueeFont{u"Liberation Serif"_qs, 10.5, false, true, true});
    const QString name = entryPoint.section('>', 0, 0);
    QWidget *focus = m_fx->field();
    if (name.contains(':'))
        focus = child<QWidget>(name.section(':', 0, 0));
    if (name.endsWith(u"Return") || name.endsWith(u"Escape")) {
        focus->setFocus();
        QTest::keyClick(focus, name.endsWith(u"Return") ? Qt::Key_Return : Qt::Key_Escape);
    } else if (auto *button = m_fx->window->findChild<QPushButton *>(name)) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        child<QAction>(name)->trigger();
    }
    QVariantMap after = observed();
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        after.insert(it.key(), after.value(it.key())); // what is gone is empty
    QStringList changes;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (it.value() != before.value(it.key()))
            changes << it.key() + '=' + it.value().toString();
    }
    QCOMPARE(changes.join(u"; "), effect);
}

void TestMainWindow::ownMessageBox()
{
    // The window's own message box: titled with the product, no icon, one OK button; the
    // scrolling goes on behind it.
    QVERIFY(m_fx->start(nullptr));
    m_fx->window->setText(u"HELLO"_qs);
    child<QPushButton>(u"cmdStart"_qs)->click();
    QStringList seen;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen << box->windowTitle() << box->text() << QString::number(box->icon());
            for (QAbstractButton *button : box->buttons())
                seen << button->text().remove('&');
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll.start(10);
    child<QAction>(u"a2"_qs)->trigger();
    QCOMPARE(seen,
             (QStringList{"Tickora", AboutMessages::specs(), QString::number(QMessageBox::NoIcon), "OK"}));
    QVERIFY(m_fx->window->isScrollTimerEnabled());
}

void TestMainWindow::presentation_data()
{
    QTest::addColumn<QString>("way");
    for (const char *way : {"Escape", "F11", "double-click", "close"})
        QTest::newRow(way) << QString::fromLatin1(way);
}

// The presentation view covers the screen with the window's text in letters most of the
// screen's height tall, moves with every tick, and leaves by each of its ways out without
// a dialog, a message or a file.
void TestMainWindow::presentation()
{
    QFETCH(QString, way);
    MainWindow &window = *m_fx->window;
    window.setText(u"HELLO"_qs);
    QTest::keyClick(m_fx->field(), Qt::Key_F11);
    PresentationView *view = window.presentation();
    QVERIFY(view && QTest::qWaitForWindowExposed(view));
    const QRect screen = window.screen()->geometry();
    QCOMPARE(view->geometry(), screen);
    const double share = double(view->field().characterRect(0).height()) / screen.height();
    QVERIFY2(share > 0.7 && share < 0.9, qPrintable(QString::number(share)));
    child<QPushButton>(u"cmdStart"_qs)->click();
    QTRY_VERIFY(window.text() != u"HELLO"_qs);
    QCOMPARE(view->field().accessibleText(), u"HELLO"_qs); // read as typed here too
    child<QPushButton>(u"cmdStart"_qs)->click();
    QCOMPARE(view->field().text(), window.text());

    if (way == u"double-click")
        QTest::mouseDClick(view, Qt::LeftButton, {}, view->rect().center());
    else if (way == u"close")
        view->close();
    else
        QTest::keyClick(view, way == u"F11" ? Qt::Key_F11 : Qt::Key_Escape);
    QVERIFY(!window.isPresenting() && window.isVisible());
    QTRY_VERIFY(window.findChildren<PresentationView *>().isEmpty());
    QVERIFY(m_fx->dialog.calls().isEmpty() && m_fx->messages.messages.isEmpty());
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
