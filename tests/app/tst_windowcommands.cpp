#include "app/aboutmessages.h"
#include "windowfixture.h"

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
    void realMessageBox_data();
    void realMessageBox();

private:
    template<typename T> T *child(const QString &name) const { return m_fx->child<T>(name); }
    QWidget *field() const { return m_fx->field(); }
    void activate(const QString &entryPoint) { m_fx->activate(entryPoint); }
    void startScrolling();
    [[nodiscard]] QColor pixelAtCentre(QWidget *widget) const;

    [[nodiscard]] MainWindow *window() const { return m_fx->window.get(); }

    std::unique_ptr<WindowFixture> m_fx;
};

void TestWindowCommands::init()
{
    m_fx = std::make_unique<WindowFixture>();
    QVERIFY(m_fx->start());
}

void TestWindowCommands::cleanup()
{
    QVERIFY(m_fx->dialog.allAnswersUsed());
    m_fx.reset();
}

void TestWindowCommands::startScrolling()
{
    QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdStart")), Qt::LeftButton);
    QVERIFY(window()->isScrollTimerEnabled());
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
    m_fx->dialog.expect(QStringLiteral("before.txt"));
    m_fx->dir.write(QStringLiteral("before.txt"), "HELLO");
    activate(QStringLiteral("Command7"));
    window()->setForeColour(255);
    startScrolling();
    QTRY_VERIFY(window()->text() != QLatin1String("HELLO "));

    activate(entryPoint);
    QCOMPARE(window()->text(), QString());
    QCOMPARE(window()->startCaption(), QStringLiteral("Stop"));
    QVERIFY(window()->isScrollTimerEnabled());
    QCOMPARE(window()->foreColour(), 255);
    // The ticks go on over the empty text, and text typed now scrolls.
    QTest::qWait(2 * window()->scrollInterval() + 50);
    QCOMPARE(window()->text(), QString());
    QTest::keyClicks(field(), QStringLiteral("AB"));
    QTRY_COMPARE(window()->text(), QStringLiteral("BA"));
    QTRY_COMPARE(window()->text(), QStringLiteral("AB"));
    // "New" resets nothing else: the last path is still offered.
    QCOMPARE(m_fx->dialog.fileName(), QStringLiteral("before.txt"));
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{QStringLiteral("before.txt")});
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestWindowCommands::enterExportsHtml()
{
    window()->setText(QStringLiteral("Hello <b>World</b>"));
    m_fx->dialog.expect(QStringLiteral("page.htm"));
    activate(QStringLiteral("Return"));
    QCOMPARE(m_fx->dir.read(QStringLiteral("page.htm")),
             QByteArray("<MARQUEE> Hello <b>World</b> </MARQUEE>\r\n"));
    QCOMPARE(window()->text(), QStringLiteral("Hello <b>World</b>"));
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
    m_fx->dir.write(QStringLiteral("three.txt"), "one\r\ntwo\r\nthree");
    m_fx->dialog.expect(QStringLiteral("three.txt"));
    m_fx->dialog.expect(QStringLiteral("copy.txt"));
    activate(importer);
    QCOMPARE(window()->text(), QStringLiteral("one\r\ntwo\r\nthree"));
    activate(exporter);
    QCOMPARE(m_fx->dir.read(QStringLiteral("copy.txt")), QByteArray("one\r\ntwo\r\nthree\r\n"));
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
    window()->setText(fore ? QString(8, QChar(0x2588)) : QString());
    startScrolling();
    QVERIFY(pixelAtCentre(field()) != QColor(Qt::red));
    m_fx->dialog.expect(Colours::rgb(255, 0, 0));
    activate(entryPoint);
    QCOMPARE(m_fx->dialog.calls()[0].kind, ScriptedDialog::Kind::Colour);
    QCOMPARE(fore ? window()->foreColour() : window()->backColour(), 255);
    QVERIFY(window()->isScrollTimerEnabled());
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
    m_fx->dialog.expect(MarqueeFont{QStringLiteral("Liberation Serif"), 10.5, false, true, true});
    activate(entryPoint);
    const QFont shown = field()->font();
    QCOMPARE(shown.family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(shown.pointSizeF(), 10.5);
    QVERIFY(!shown.bold());
    QVERIFY(shown.italic());
    QVERIFY(shown.underline());
    QCOMPARE(m_fx->dir.read(QStringLiteral("font")),
             QByteArray("\"Liberation Serif\",\"10.5\",\"False\",\"True\",\"True\"\r\n"));
}

void TestWindowCommands::realMessageBox_data()
{
    QTest::addColumn<QString>("entryPoint");
    QTest::addColumn<QString>("text");
    QTest::newRow("Specs") << "a2"
                           << "256 Million Colors, 12 Speeds, 2 Directions, Import / Export (4 file types), "
                              "scrolls up to 64k of text, autosave.";
    QTest::newRow("About") << "a1" << AboutMessages::about();
}

void TestWindowCommands::realMessageBox()
{
    QFETCH(QString, entryPoint);
    QFETCH(QString, text);
    // The window's own message box: titled with the product, no icon, one OK button;
    // the scrolling goes on behind it.
    QVERIFY(m_fx->start(nullptr));
    window()->setText(QStringLiteral("HELLO"));
    startScrolling();
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
    QVERIFY(window()->isScrollTimerEnabled());
    QCOMPARE(window()->startCaption(), QStringLiteral("Stop"));
}

QTEST_MAIN(TestWindowCommands)
#include "tst_windowcommands.moc"
