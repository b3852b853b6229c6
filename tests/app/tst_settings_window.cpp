#include "app/mainwindow.h"
#include "scriptedservices.h"
#include "settings/hostilefiles.h"
#include "tempcurrentdir.h"

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
    void start()
    {
        m_window = std::make_unique<MainWindow>(WindowServices{&m_dialog, &m_messages, &m_programEnd});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    template<typename T> T *child(const QString &name) const
    {
        T *widget = m_window->findChild<T *>(name);
        if (!widget)
            qFatal("no child %s", qPrintable(name));
        return widget;
    }
    QWidget *field() const { return child<QWidget>(QStringLiteral("txtMarquee")); }
    QRadioButton *radio(const QString &name) const { return child<QRadioButton>(name); }
    void click(const char *button) const
    {
        QTest::mouseClick(child<QPushButton>(QString::fromLatin1(button)), Qt::LeftButton);
    }

    std::unique_ptr<TempCurrentDir> m_dir;
    ScriptedDialog m_dialog;
    RecordingMessageBox m_messages;
    RecordingProgramEnd m_programEnd;
    std::unique_ptr<MainWindow> m_window;
};

void TestSettingsWindow::initTestCase()
{
    // Closing the test's windows must not end the test.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestSettingsWindow::init()
{
    m_dir = std::make_unique<TempCurrentDir>();
    QVERIFY(m_dir->isValid());
    m_messages.messages.clear();
    m_programEnd.requests = 0;
}

void TestSettingsWindow::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

void TestSettingsWindow::restoresBeforeShowing()
{
    m_dir->write("text", "\"stored, \"\"quoted\"\"\"\r\n");
    m_dir->write("color", "\"255\",\"16711680\"\r\n");
    m_dir->write("speed", "\"False\",\"False\",\"True\",\"False\",\"False\",\"False\",\"False\",\"False\","
                          "\"False\",\"False\",\"False\",\"False\"\r\n");
    m_dir->write("dirct", "\"False\",\"True\"\r\n");
    m_dir->write("font", "\"DejaVu Sans\",\"10.5\",\"False\",\"True\",\"True\"\r\n");
    start();

    QCOMPARE(m_window->text(), QStringLiteral("stored, \"quoted\""));
    QCOMPARE(m_window->foreColour(), 255);
    QCOMPARE(m_window->backColour(), 0xFF0000);
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        QCOMPARE(radio(QStringLiteral("Opt%1").arg(level))->isChecked(), level == 3);
    QVERIFY(!radio(QStringLiteral("optLeft"))->isChecked());
    QVERIFY(radio(QStringLiteral("optRight"))->isChecked());
    const QFont font = field()->font();
    QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(font.pointSizeF(), 10.5);
    QVERIFY(!font.bold());
    QVERIFY(font.italic());
    QVERIFY(font.underline());
    QVERIFY(m_messages.messages.isEmpty());
    QCOMPARE(m_window->settingsRecord().strFontSize, QStringLiteral("10.5"));
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
    QVERIFY(m_messages.messages.isEmpty());

    // Changes after the Save are lost by the close box, which writes nothing.
    QTest::keyClicks(field(), QStringLiteral(" more"));
    QTest::mouseClick(radio(QStringLiteral("Opt5")), Qt::LeftButton);
    QVERIFY(m_window->close());
    QCOMPARE(m_programEnd.requests, 0);
    m_window.reset();

    start();
    QCOMPARE(m_window->text(), QStringLiteral("Hello, \"world\""));
    QVERIFY(radio(QStringLiteral("Opt3"))->isChecked());
    QVERIFY(radio(QStringLiteral("optRight"))->isChecked());
    QVERIFY(!radio(QStringLiteral("optLeft"))->isChecked());
}

void TestSettingsWindow::readOnlyDirectoryKeepsWindowOpen()
{
    m_dir->write("text", "\"old\"\r\n");
    m_dir->write("dirct", "\"True\",\"False\"\r\n");
    start();
    QCOMPARE(m_window->text(), QStringLiteral("old"));
    QTest::keyClick(field(), Qt::Key_End);
    QTest::keyClicks(field(), QStringLiteral(" and new"));

    QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                     QFileDevice::ReadOther | QFileDevice::ExeOther));
    {
        const AsUnprivilegedUser nobody;
        QVERIFY(nobody.isValid());
        click("Command9");
        click("Command1");
    }
    QVERIFY(QFile::setPermissions(m_dir->path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));

    QCOMPARE(m_messages.messages.size(), 2);
    for (const RecordingMessageBox::Message &message : std::as_const(m_messages.messages)) {
        QCOMPARE(message.icon, MessageBox::Icon::Warning);
        QVERIFY2(message.text.contains(QStringLiteral("\"text\", \"color\", \"speed\", \"dirct\"")),
                 qPrintable(message.text));
    }
    QCOMPARE(m_programEnd.requests, 0);
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->text(), QStringLiteral("old and new"));
    QCOMPARE(m_dir->read("text"), QByteArray("\"old\"\r\n"));
    QCOMPARE(m_dir->read("dirct"), QByteArray("\"True\",\"False\"\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{"dirct", "text"}));

    // Once the folder can be written again, Exit saves and ends.
    click("Command1");
    QCOMPARE(m_programEnd.requests, 1);
    QCOMPARE(m_dir->read("text"), QByteArray("\"old and new\"\r\n"));
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window.moc"
