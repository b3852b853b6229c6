#include "settings/hostilefiles.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The settings store in the real window: the restore as it starts, Save and Exit on
// their buttons, and a run that ends by the close box.
class TestSettingsWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void restoresBeforeShowing();
    void savedStateComesBackAfterCloseBox();
    void readOnlyDirectoryKeepsWindowOpen();

private:
    void start() { QVERIFY(m_fx->start()); }
    [[nodiscard]] MainWindow *window() const { return m_fx->window.get(); }
    QWidget *field() const { return m_fx->field(); }
    QRadioButton *radio(const QString &name) const { return m_fx->child<QRadioButton>(name); }
    void click(const char *button) const { m_fx->activate(QString::fromLatin1(button)); }

    std::unique_ptr<WindowFixture> m_fx;
};

void TestSettingsWindow::initTestCase()
{
    // Closing the test's windows must not end the test.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestSettingsWindow::init()
{
    m_fx = std::make_unique<WindowFixture>();
}

void TestSettingsWindow::cleanup()
{
    m_fx.reset();
}

void TestSettingsWindow::restoresBeforeShowing()
{
    // The record-level cases are the core's; here only that every file reaches the
    // real widgets before the window shows.
    m_fx->dir.write("text", "\"stored, \"\"quoted\"\"\"\r\n");
    m_fx->dir.write("color", "\"255\",\"16711680\"\r\n");
    m_fx->dir.write("speed", "\"False\",\"False\",\"True\"\r\n");
    m_fx->dir.write("dirct", "\"False\",\"True\"\r\n");
    m_fx->dir.write("font", "\"DejaVu Sans\",\"10.5\",\"False\",\"True\",\"True\"\r\n");
    start();

    QCOMPARE(window()->text(), QStringLiteral("stored, \"quoted\""));
    QCOMPARE(window()->backColour(), 0xFF0000);
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        QCOMPARE(radio(QStringLiteral("Opt%1").arg(level))->isChecked(), level == 3);
    QVERIFY(!radio(QStringLiteral("optLeft"))->isChecked());
    QVERIFY(radio(QStringLiteral("optRight"))->isChecked());
    QCOMPARE(field()->font().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(field()->font().pointSizeF(), 10.5);
    QVERIFY(field()->font().italic());
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestSettingsWindow::savedStateComesBackAfterCloseBox()
{
    start();
    QTest::keyClicks(field(), QStringLiteral("Hello, \"world\""));
    QTest::mouseClick(radio(QStringLiteral("Opt3")), Qt::LeftButton);
    QTest::mouseClick(radio(QStringLiteral("optRight")), Qt::LeftButton);
    QVERIFY(radio(QStringLiteral("Opt3"))->isChecked());
    QVERIFY(radio(QStringLiteral("optRight"))->isChecked());
    click("Command9");
    QVERIFY(m_fx->messages.messages.isEmpty());

    // Changes after the Save are lost by the close box, which writes nothing.
    QTest::keyClicks(field(), QStringLiteral(" more"));
    QTest::mouseClick(radio(QStringLiteral("Opt5")), Qt::LeftButton);
    QVERIFY(window()->close());
    QCOMPARE(m_fx->programEnd.requests, 0);
    m_fx->stop();

    start();
    QCOMPARE(window()->text(), QStringLiteral("Hello, \"world\""));
    QVERIFY(radio(QStringLiteral("Opt3"))->isChecked());
    QVERIFY(radio(QStringLiteral("optRight"))->isChecked());
    QVERIFY(!radio(QStringLiteral("optLeft"))->isChecked());
}

void TestSettingsWindow::readOnlyDirectoryKeepsWindowOpen()
{
    m_fx->dir.write("text", "\"old\"\r\n");
    m_fx->dir.write("dirct", "\"True\",\"False\"\r\n");
    start();
    QCOMPARE(window()->text(), QStringLiteral("old"));
    QTest::keyClick(field(), Qt::Key_End);
    QTest::keyClicks(field(), QStringLiteral(" and new"));

    QVERIFY(QFile::setPermissions(m_fx->dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                        QFileDevice::ReadOther | QFileDevice::ExeOther));
    {
        const AsUnprivilegedUser nobody;
        QVERIFY(nobody.isValid());
        click("Command9");
        click("Command1");
    }
    QVERIFY(QFile::setPermissions(m_fx->dir.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));

    // The messages' wording is the core's; here the window stays open and whole.
    QCOMPARE(m_fx->messages.messages.size(), 2);
    QCOMPARE(m_fx->programEnd.requests, 0);
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->text(), QStringLiteral("old and new"));
    QCOMPARE(m_fx->dir.read("text"), QByteArray("\"old\"\r\n"));

    // Once the folder can be written again, Exit saves and ends.
    click("Command1");
    QCOMPARE(m_fx->programEnd.requests, 1);
    QCOMPARE(m_fx->dir.read("text"), QByteArray("\"old and new\"\r\n"));
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window.moc"
