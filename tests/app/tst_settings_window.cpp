// SPDX-License-Identifier: MIT
#include "windowfixture.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>

#include <optional>

// The settings store in the real window: the restore before it shows, Save on its button,
// and a run that ends by the close box. The record-level cases are the core's.
class TestSettingsWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { m_fx.emplace(); }
    void cleanup() { m_fx.reset(); }
    void restoresBeforeShowing();
    void savedStateComesBackAfterCloseBox();

private:
    [[nodiscard]] bool checked(const char *name) const
    {
        return m_fx->child<QRadioButton>(QString::fromLatin1(name))->isChecked();
    }

    std::optional<WindowFixture> m_fx;
};

void TestSettingsWindow::restoresBeforeShowing()
{
    m_fx->dir.write("text", "\"stored, \"\"quoted\"\"\"\r\n");
    m_fx->dir.write("color", "\"255\",\"16711680\"\r\n");
    m_fx->dir.write("speed", "\"False\",\"False\",\"True\"\r\n");
    m_fx->dir.write("dirct", "\"False\",\"True\"\r\n");
    m_fx->dir.write("font", "\"DejaVu Sans\",\"10.5\",\"False\",\"True\",\"True\"\r\n");
    QVERIFY(m_fx->start());
    QCOMPARE(m_fx->window->text(), QStringLiteral("stored, \"quoted\""));
    QCOMPARE(m_fx->window->backColour(), 0xFF0000);
    QVERIFY(checked("Opt3") && checked("optRight") && !checked("optLeft"));
    const QFont font = m_fx->field()->font();
    QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(font.pointSizeF(), 10.5);
    QVERIFY(font.italic());
    QVERIFY(m_fx->messages.messages.isEmpty());
    m_fx->stop();
}

void TestSettingsWindow::savedStateComesBackAfterCloseBox()
{
    QVERIFY(m_fx->start());
    QTest::keyClicks(m_fx->field(), QStringLiteral("Hello, \"world\""));
    QTest::mouseClick(m_fx->child<QRadioButton>(u"Opt3"_qs), Qt::LeftButton);
    QTest::mouseClick(m_fx->child<QRadioButton>(u"optRight"_qs), Qt::LeftButton);
    m_fx->activate(u"Command9"_qs);
    QVERIFY(m_fx->messages.messages.isEmpty());

    // Changes after the Save are lost by the close box, which writes nothing.
    QTest::keyClicks(m_fx->field(), QStringLiteral(" more"));
    QTest::mouseClick(m_fx->child<QRadioButton>(u"Opt5"_qs), Qt::LeftButton);
    QVERIFY(m_fx->window->close());
    QCOMPARE(m_fx->programEnd.requests, 0);
    m_fx->stop();

    QVERIFY(m_fx->start());
    QCOMPARE(m_fx->window->text(), QStringLiteral("Hello, \"world\""));
    QVERIFY(checked("Opt3") && checked("optRight") && !checked("optLeft"));

    // Delete removes the files; Exit saves again and asks the program to end.
    m_fx->activate(u"Command6"_qs);
    QVERIFY(!m_fx->dir.exists(u"text"_qs));
    m_fx->activate(u"Command1"_qs);
    QCOMPARE(m_fx->programEnd.requests, 1);
    QCOMPARE(m_fx->dir.read(u"text"_qs), QByteArray("\"Hello, \"\"world\"\"\"\r\n"));
    m_fx->stop();
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window.moc"
