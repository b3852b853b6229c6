#include "app/aboutmessages.h"
#include "app/mainwindow.h"
#include "io/texttransfer.h"
#include "scriptedservices.h"
#include "tempcurrentdir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// The commands of the window through its real buttons, menus and keys, with the
// dialogs scripted and the files real.
class TestWindowCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void clearFromEveryEntryPoint_data();
    void clearFromEveryEntryPoint();
    void enterExportsHtml();
    void importAndExportEntryPoints_data();
    void importAndExportEntryPoints();
    void coloursReachTheField_data();
    void coloursReachTheField();
    void fontReachesTheField_data();
    void fontReachesTheField();
    void aboutAndSpecs_data();
    void aboutAndSpecs();
    void realMessageBox_data();
    void realMessageBox();

private:
    template<typename T> T *child(const QString &name) const
    {
        T *object = m_window->findChild<T *>(name);
        if (!object)
            qFatal("no child %s", qPrintable(name));
        return object;
    }
    QWidget *field() const { return child<QWidget>(QStringLiteral("txtMarquee")); }
    // Clicks a button or triggers a menu item by its name; "Return" and "Escape" press
    // that key in the text field.
    void activate(const QString &entryPoint);
    void startScrolling();
    [[nodiscard]] QColor pixelAtCentre(QWidget *widget) const;

    std::unique_ptr<TempCurrentDir> m_dir;
    std::unique_ptr<ScriptedDialog> m_dialog;
    std::unique_ptr<RecordingMessageBox> m_messages;
    std::unique_ptr<RecordingProgramEnd> m_programEnd;
    std::unique_ptr<MainWindow> m_window;
};

void TestWindowCommands::init()
{
    m_dir = std::make_unique<TempCurrentDir>();
    QVERIFY(m_dir->isValid());
    m_dialog = std::make_unique<ScriptedDialog>();
    m_messages = std::make_unique<RecordingMessageBox>();
    m_programEnd = std::make_unique<RecordingProgramEnd>();
    m_window =
        std::make_unique<MainWindow>(WindowServices{m_dialog.get(), m_messages.get(), m_programEnd.get()});
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestWindowCommands::cleanup()
{
    QVERIFY(m_dialog->allAnswersUsed());
    m_window.reset();
    m_dir.reset();
}

void TestWindowCommands::activate(const QString &entryPoint)
{
    if (entryPoint == QLatin1String("Return") || entryPoint == QLatin1String("Escape")) {
        field()->setFocus();
        QTest::keyClick(field(), entryPoint == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);
    } else if (auto *button = m_window->findChild<QPushButton *>(entryPoint)) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        child<QAction>(entryPoint)->trigger();
    }
}

void TestWindowCommands::startScrolling()
{
    QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdStart")), Qt::LeftButton);
    QVERIFY(m_window->isScrollTimerEnabled());
}

QColor TestWindowCommands::pixelAtCentre(QWidget *widget) const
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

void TestWindowCommands::clearFromEveryEntryPoint_data()
{
    QTest::addColumn<QString>("entryPoint");
    QTest::newRow("Clear button") << "Command5";
    QTest::newRow("Options, TextClear") << "o4";
    QTest::newRow("Files, New") << "f3";
}

void TestWindowCommands::clearFromEveryEntryPoint()
{
    QFETCH(QString, entryPoint);
    m_dialog->expect(QStringLiteral("before.txt"));
    m_dir->write(QStringLiteral("before.txt"), "HELLO");
    activate(QStringLiteral("Command7"));
    m_window->setForeColour(255);
    startScrolling();
    QTRY_VERIFY(m_window->text() != QLatin1String("HELLO "));

    activate(entryPoint);
    QCOMPARE(m_window->text(), QString());
    QCOMPARE(m_window->startCaption(), QStringLiteral("Stop"));
    QVERIFY(m_window->isScrollTimerEnabled());
    QCOMPARE(m_window->foreColour(), 255);
    // The ticks go on over the empty text, and text typed now scrolls.
    QTest::qWait(2 * m_window->scrollInterval() + 50);
    QCOMPARE(m_window->text(), QString());
    QTest::keyClicks(field(), QStringLiteral("AB"));
    QTRY_COMPARE(m_window->text(), QStringLiteral("BA"));
    QTRY_COMPARE(m_window->text(), QStringLiteral("AB"));
    // "New" resets nothing else: the last path is still offered.
    QCOMPARE(m_window->commonDialog().fileName(), QStringLiteral("before.txt"));
    QVERIFY(m_window->settingsRecord().strText.isEmpty());
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{QStringLiteral("before.txt")});
    QVERIFY(m_messages->messages.isEmpty());
}

void TestWindowCommands::enterExportsHtml()
{
    m_window->setText(QStringLiteral("Hello <b>World</b>"));
    m_dialog->expect(QStringLiteral("page.htm"));
    activate(QStringLiteral("Return"));
    QCOMPARE(m_dialog->calls().size(), 1);
    QCOMPARE(m_dialog->calls()[0].kind, ScriptedDialog::Kind::Save);
    QCOMPARE(m_dialog->calls()[0].filter, QString(TextTransfer::kHtmlFilter));
    QCOMPARE(m_dir->read(QStringLiteral("page.htm")),
             QByteArray("<MARQUEE> Hello <b>World</b> </MARQUEE>\r\n"));
    QCOMPARE(m_window->text(), QStringLiteral("Hello <b>World</b>"));
}

void TestWindowCommands::importAndExportEntryPoints_data()
{
    QTest::addColumn<QString>("importer");
    QTest::addColumn<QString>("exporter");
    QTest::newRow("buttons") << "Command7"
                             << "Command11";
    QTest::newRow("Files menu") << "f1"
                                << "f2";
}

void TestWindowCommands::importAndExportEntryPoints()
{
    QFETCH(QString, importer);
    QFETCH(QString, exporter);
    m_dir->write(QStringLiteral("three.txt"), "one\r\ntwo\r\nthree");
    m_dialog->expect(QStringLiteral("three.txt"));
    m_dialog->expect(QStringLiteral("copy.txt"));
    activate(importer);
    QCOMPARE(m_window->text(), QStringLiteral("one\r\ntwo\r\nthree"));
    activate(exporter);
    QCOMPARE(m_dir->read(QStringLiteral("copy.txt")), QByteArray("one\r\ntwo\r\nthree\r\n"));
    QCOMPARE(m_dialog->calls()[0].kind, ScriptedDialog::Kind::Open);
    QCOMPARE(m_dialog->calls()[1].kind, ScriptedDialog::Kind::Save);
    QCOMPARE(m_dialog->calls()[1].filter, QString(TextTransfer::kExportFilter));
}

void TestWindowCommands::coloursReachTheField_data()
{
    QTest::addColumn<QString>("entryPoint");
    QTest::addColumn<bool>("fore");
    QTest::newRow("FG Color") << "Command2" << true;
    QTest::newRow("Options, ForeGround") << "o1" << true;
    QTest::newRow("Esc") << "Escape" << true;
    QTest::newRow("BG Color") << "Command3" << false;
    QTest::newRow("Options, BackGround") << "o2" << false;
}

void TestWindowCommands::coloursReachTheField()
{
    QFETCH(QString, entryPoint);
    QFETCH(bool, fore);
    // A full block fills the middle of the field with the text colour.
    m_window->setText(fore ? QString(8, QChar(0x2588)) : QString());
    startScrolling();
    QVERIFY(pixelAtCentre(field()) != QColor(Qt::red));
    m_dialog->expect(Colours::rgb(255, 0, 0));
    activate(entryPoint);
    QCOMPARE(m_dialog->calls()[0].kind, ScriptedDialog::Kind::Colour);
    QCOMPARE(fore ? m_window->foreColour() : m_window->backColour(), 255);
    QCOMPARE(fore ? m_window->settingsRecord().strForeColor : m_window->settingsRecord().strBackColor,
             QStringLiteral("255"));
    QVERIFY(m_window->isScrollTimerEnabled());
    QCOMPARE(pixelAtCentre(field()), QColor(Qt::red));
}

void TestWindowCommands::fontReachesTheField_data()
{
    QTest::addColumn<QString>("entryPoint");
    QTest::newRow("Fonts") << "Command4";
    QTest::newRow("Options, TextFonts") << "o5";
}

void TestWindowCommands::fontReachesTheField()
{
    QFETCH(QString, entryPoint);
    m_dialog->expect(MarqueeFont{QStringLiteral("Liberation Serif"), 10.5, false, true, true});
    activate(entryPoint);
    const QFont shown = field()->font();
    QCOMPARE(shown.family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(shown.pointSizeF(), 10.5);
    QVERIFY(!shown.bold());
    QVERIFY(shown.italic());
    QVERIFY(shown.underline());
    QCOMPARE(m_dir->read(QStringLiteral("font")),
             QByteArray("\"Liberation Serif\",\"10.5\",\"False\",\"True\",\"True\"\r\n"));
}

void TestWindowCommands::aboutAndSpecs_data()
{
    QTest::addColumn<QString>("entryPoint");
    QTest::addColumn<QString>("text");
    QTest::newRow("Specs") << "a2"
                           << "256 Million Colors, 12 Speeds, 2 Directions, Import / Export (4 file types), "
                              "scrolls up to 64k of text, autosave.";
    QTest::newRow("About") << "a1" << AboutMessages::about();
}

void TestWindowCommands::aboutAndSpecs()
{
    QFETCH(QString, entryPoint);
    QFETCH(QString, text);
    m_window->setText(QStringLiteral("HELLO"));
    startScrolling();
    activate(entryPoint);
    activate(entryPoint);
    QCOMPARE(m_messages->messages.size(), 2);
    for (const RecordingMessageBox::Message &message : std::as_const(m_messages->messages)) {
        QCOMPARE(message.text, text);
        QCOMPARE(message.icon, MessageBox::Icon::None);
    }
    QVERIFY(!text.contains(QLatin1Char('\n')));
    if (entryPoint == QLatin1String("a1")) {
        QVERIFY(text.contains(QStringLiteral("Tickora")));
        QVERIFY(text.contains(QStringLiteral("Ver 1.7")));
        QVERIFY(text.endsWith(QStringLiteral("@example.org")));
    }
    QVERIFY(m_window->isScrollTimerEnabled());
    QCOMPARE(m_window->startCaption(), QStringLiteral("Stop"));
}

void TestWindowCommands::realMessageBox_data()
{
    QTest::addColumn<QString>("entryPoint");
    QTest::addColumn<QString>("text");
    QTest::newRow("Specs") << "a2" << AboutMessages::specs();
    QTest::newRow("About") << "a1" << AboutMessages::about();
}

void TestWindowCommands::realMessageBox()
{
    QFETCH(QString, entryPoint);
    QFETCH(QString, text);
    // The window's own message box: titled with the product, no icon, one OK button.
    m_window = std::make_unique<MainWindow>(WindowServices{m_dialog.get(), nullptr, m_programEnd.get()});
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QString title;
    QString shown;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QStringList buttons;
    bool seen = false;
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&, poll] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        seen = true;
        title = box->windowTitle();
        shown = box->text();
        icon = box->icon();
        const QList<QAbstractButton *> all = box->buttons();
        for (QAbstractButton *button : all)
            buttons << button->text().remove(QLatin1Char('&'));
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    poll->start(10);
    QTimer::singleShot(10000, poll, &QTimer::stop);
    activate(entryPoint);
    delete poll;
    QVERIFY(seen);
    QCOMPARE(title, QStringLiteral("Tickora"));
    QCOMPARE(shown, text);
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
}

QTEST_MAIN(TestWindowCommands)
#include "tst_windowcommands.moc"
