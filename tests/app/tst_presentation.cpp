// SPDX-License-Identifier: MIT
#include "field/marqueefield.h"
#include "field/presentationview.h"
#include "windowfixture.h"

#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTest>

// The presentation view on the real window: it covers the screen with the window's text
// in letters most of the screen's height tall, moves with every tick, and leaves by each
// of its ways out without a dialog, a message or a file.
class TestPresentation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_fx.start()); }
    void cleanup() { m_fx.stop(); }
    void showsTheTextAloneAndLeaves_data();
    void showsTheTextAloneAndLeaves();

private:
    WindowFixture m_fx;
};

void TestPresentation::showsTheTextAloneAndLeaves_data()
{
    QTest::addColumn<QString>("way");
    for (const char *way : {"Escape", "F11", "double-click", "close"})
        QTest::newRow(way) << QString::fromLatin1(way);
}

void TestPresentation::showsTheTextAloneAndLeaves()
{
    QFETCH(QString, way);
    MainWindow &window = *m_fx.window;
    window.setText(QStringLiteral("HELLO"));
    QTest::keyClick(m_fx.field(), Qt::Key_F11);
    PresentationView *view = window.presentation();
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    const QRect screen = window.screen()->geometry();
    QCOMPARE(view->geometry(), screen);
    QCOMPARE(view->field().text(), QStringLiteral("HELLO"));
    const double share = double(view->field().characterRect(0).height()) / screen.height();
    QVERIFY2(share > 0.7 && share < 0.9, qPrintable(QString::number(share)));

    // Tick for tick with the window's own timer.
    m_fx.child<QPushButton>(QStringLiteral("cmdStart"))->click();
    QTRY_VERIFY(window.text() != QStringLiteral("HELLO "));
    // Assistive technology reads it as typed here too.
    QCOMPARE(view->field().accessibleText(), QStringLiteral("HELLO"));
    m_fx.child<QPushButton>(QStringLiteral("cmdStart"))->click();
    QCOMPARE(view->field().text(), window.text());

    if (way == QLatin1String("double-click"))
        QTest::mouseDClick(view, Qt::LeftButton, {}, view->rect().center());
    else if (way == QLatin1String("close"))
        view->close();
    else
        QTest::keyClick(view, way == QLatin1String("F11") ? Qt::Key_F11 : Qt::Key_Escape);
    QVERIFY(!window.isPresenting());
    QTRY_VERIFY(window.findChildren<PresentationView *>().isEmpty());
    QVERIFY(window.isVisible());
    QVERIFY(m_fx.dialog.calls().isEmpty());
    QVERIFY(m_fx.messages.messages.isEmpty());
    QCOMPARE(QDir(m_fx.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TestPresentation)
#include "tst_presentation.moc"
