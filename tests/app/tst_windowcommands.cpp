// SPDX-License-Identifier: MIT
#include "app/aboutmessages.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
    [[nodiscard]] static QColor pixelAtCentre(QWidget *widget);

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

QColor TestWindowCommands::pixelAtCentre(QWidget *widget)
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
    window()->setText(QStringLiteral("HELLO"));
    window()->setForeColour(255);
    startScrolling();
    activate(entryPoint);
    QCOMPARE(window()->text(), QString());
    QCOMPARE(window()->startCaption(), QStringLiteral("Stop"));
    QCOMPARE(window()->foreColour(), 255);
    // The ticks go on, and text typed now scrolls.
    QTest::keyClicks(field(), QStringLiteral("AB"));
    QTRY_COMPARE(window()->text(), QStringLiteral("BA"));
    QVERIFY(QDir::current().entryList(QDir::Files).isEmpty());
    QVERIFY(m_fx->messages.messages.isEmpty());
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
    QCOMPARE(
        (MarqueeFont{shown.family(), shown.pointSizeF(), shown.bold(), shown.italic(), shown.underline()}),
        (MarqueeFont{QStringLiteral("Liberation Serif"), 10.5, false, true, true}));
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
    QStringList seen;
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&, poll] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        seen << box->windowTitle() << box->text() << QString::number(box->icon());
        const QList<QAbstractButton *> all = box->buttons();
        for (QAbstractButton *button : all)
            seen << button->text().remove(QLatin1Char('&'));
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    poll->start(10);
    QTimer::singleShot(10000, poll, &QTimer::stop);
    activate(entryPoint);
    delete poll;
    QCOMPARE(seen,
             (QStringList{QStringLiteral("Tickora"), text, QString::number(QMessageBox::NoIcon), "OK"}));
    QVERIFY(window()->isScrollTimerEnabled());
}

QTEST_MAIN(TestWindowCommands)
#include "tst_windowcommands.moc"
