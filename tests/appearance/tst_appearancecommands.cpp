// SPDX-License-Identifier: MIT
#include "appearance/appearancecommands.h"
#include "corefixture.h"

#include <QDir>
#include <QTest>

namespace {

enum class Target { Fore, Back };

QStringList entries()
{
    return QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

} // namespace

Q_DECLARE_METATYPE(Target)
Q_DECLARE_METATYPE(ScriptedDialog::Answer)

// The colour, font and Clear commands on the plain window, with the dialog scripted.
class TestAppearanceCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void colour_data();
    void colour();
    void colourDialogOpensOnLastPick();
    void font_data();
    void font();
    void fontFileFailureReported();
    void clearEmptiesOnlyTheText();

private:
    std::unique_ptr<CoreFixture> m_fx;
    std::unique_ptr<AppearanceCommands> m_commands;
};

void TestAppearanceCommands::init()
{
    m_fx = std::make_unique<CoreFixture>();
    QVERIFY(m_fx->dir.isValid());
    m_commands =
        std::make_unique<AppearanceCommands>(m_fx->window, m_fx->dialog, m_fx->record, m_fx->messages);
}

void TestAppearanceCommands::cleanup()
{
    QVERIFY(m_fx->dialog.allAnswersUsed());
    QVERIFY(m_fx->messages.messages.isEmpty());
    m_commands.reset();
    m_fx.reset();
}

void TestAppearanceCommands::colour_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<ScriptedDialog::Answer>("answer");
    QTest::addColumn<QString>("recorded"); // empty: nothing changes
    QTest::newRow("fore pure red") << Target::Fore << ScriptedDialog::Answer(Colours::rgb(255, 0, 0))
                                   << "255";
    QTest::newRow("back blue above green above red")
        << Target::Back << ScriptedDialog::Answer(Colours::rgb(0x11, 0x22, 0x33)) << "3351057";
    QTest::newRow("back system colour")
        << Target::Back << ScriptedDialog::Answer(Colours::systemColour(15)) << "-2147483633";
    QTest::newRow("fore cancel") << Target::Fore << ScriptedDialog::Answer(ScriptedDialog::Cancel{}) << "";
    QTest::newRow("back not a colour")
        << Target::Back << ScriptedDialog::Answer(ColourValue{0x1000000}) << "";
}

void TestAppearanceCommands::colour()
{
    QFETCH(Target, target);
    QFETCH(ScriptedDialog::Answer, answer);
    QFETCH(QString, recorded);
    const bool fore = target == Target::Fore;
    m_fx->record.foreColour = m_fx->record.backColour = QStringLiteral("77");
    const ColourValue before[] = {m_fx->window.foreColour(), m_fx->window.backColour()};
    m_fx->dialog.expect(answer);
    fore ? m_commands->chooseForeColour() : m_commands->chooseBackColour();
    QCOMPARE(m_fx->dialog.calls().constFirst().kind, ScriptedDialog::Kind::Colour);
    const ColourValue expected = recorded.isEmpty() ? before[fore ? 0 : 1] : recorded.toInt();
    QCOMPARE(fore ? m_fx->window.foreColour() : m_fx->window.backColour(), expected);
    QCOMPARE(fore ? m_fx->window.backColour() : m_fx->window.foreColour(), before[fore ? 1 : 0]);
    QCOMPARE(fore ? m_fx->record.foreColour : m_fx->record.backColour,
             recorded.isEmpty() ? QStringLiteral("77") : recorded);
    QCOMPARE(fore ? m_fx->record.backColour : m_fx->record.foreColour, QStringLiteral("77"));
    QVERIFY(entries().isEmpty()); // a colour reaches a file only by Save or Exit
}

void TestAppearanceCommands::colourDialogOpensOnLastPick()
{
    m_fx->window.setBackColour(Colours::rgb(0, 0, 255));
    for (const ScriptedDialog::Answer &answer :
         {ScriptedDialog::Answer(Colours::rgb(255, 0, 0)), ScriptedDialog::Answer(ScriptedDialog::Cancel{}),
          ScriptedDialog::Answer(Colours::rgb(0, 255, 0)), ScriptedDialog::Answer(ScriptedDialog::Cancel{})})
        m_fx->dialog.expect(answer);
    m_commands->chooseForeColour();
    m_commands->chooseBackColour();
    m_commands->chooseBackColour();
    m_commands->chooseForeColour();
    QList<ColourValue> offered;
    for (const ScriptedDialog::Call &call : m_fx->dialog.calls())
        offered << call.colour;
    // The background dialog starts on the foreground just picked, not on the field's blue.
    QCOMPARE(offered.mid(1),
             (QList<ColourValue>{Colours::rgb(255, 0, 0), Colours::rgb(255, 0, 0), Colours::rgb(0, 255, 0)}));
}

void TestAppearanceCommands::font_data()
{
    QTest::addColumn<ScriptedDialog::Answer>("answer");
    QTest::addColumn<MarqueeFont>("applied");
    QTest::addColumn<QByteArray>("fontFile");
    const MarqueeFont initial = PlainWindow().font();
    QTest::newRow("10.5 bold underlined")
        << ScriptedDialog::Answer(MarqueeFont{QStringLiteral("Liberation Sans"), 10.5, true, false, true})
        << MarqueeFont{QStringLiteral("Liberation Sans"), 10.5, true, false, true}
        << QByteArray("\"Liberation Sans\",\"10.5\",\"True\",\"False\",\"True\"\r\n");
    QTest::newRow("12.3 in single precision, a comma in the name")
        << ScriptedDialog::Answer(MarqueeFont{QStringLiteral("Odd, Face"), 12.3, false, true, false})
        << MarqueeFont{QStringLiteral("Odd, Face"), double(12.3f), false, true, false}
        << QByteArray("\"Odd, Face\",\"12.3\",\"False\",\"True\",\"False\"\r\n");
    // Cancel still writes the file, with what the record holds: nothing picked yet.
    QTest::newRow("cancel") << ScriptedDialog::Answer(ScriptedDialog::Cancel{}) << initial
                            << QByteArray("\"\",\"\",\"\",\"\",\"\"\r\n");
    // The field refuses the size: the name stays applied and recorded, the rest is neither.
    MarqueeFont named = initial;
    named.name = QStringLiteral("Serif");
    QTest::newRow("size refused") << ScriptedDialog::Answer(
                                         MarqueeFont{QStringLiteral("Serif"), 0.5, false, true, true})
                                  << named << QByteArray("\"Serif\",\"\",\"\",\"\",\"\"\r\n");
}

void TestAppearanceCommands::font()
{
    QFETCH(ScriptedDialog::Answer, answer);
    QFETCH(MarqueeFont, applied);
    QFETCH(QByteArray, fontFile);
    // The separator of the size is a point whatever the locale says.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    m_fx->dialog.expect(answer);
    m_commands->chooseFont();
    QLocale::setDefault(QLocale::c());
    QCOMPARE(m_fx->dialog.calls().constFirst().kind, ScriptedDialog::Kind::Font);
    QCOMPARE(m_fx->window.font(), applied);
    QCOMPARE(m_fx->dir.read(QStringLiteral("font")), fontFile);

    // After the file's removal, Cancel writes the record's values again, not the window's.
    QVERIFY(QFile::remove(QStringLiteral("font")));
    m_fx->window.setFontName(QStringLiteral("Other"));
    m_fx->dialog.expect(ScriptedDialog::Cancel{});
    m_commands->chooseFont();
    QCOMPARE(m_fx->dir.read(QStringLiteral("font")), fontFile);
    QCOMPARE(m_fx->window.font().name, QStringLiteral("Other"));
    // The dialog opened on the field's font, not on the one it returned last.
    QCOMPARE(m_fx->dialog.calls().constLast().font, m_fx->window.font());
}

void TestAppearanceCommands::fontFileFailureReported()
{
    // A folder in the way cannot be replaced, not even by root.
    QVERIFY(QDir::current().mkdir(QStringLiteral("font")));
    m_fx->dialog.expect(MarqueeFont{QStringLiteral("Serif"), 30, true, false, false});
    m_commands->chooseFont();
    QCOMPARE(m_fx->window.font(), (MarqueeFont{QStringLiteral("Serif"), 30, true, false, false}));
    QCOMPARE(m_fx->record.fontSize, QStringLiteral("30"));
    const QList<RecordingMessageBox::Message> messages = std::exchange(m_fx->messages.messages, {});
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].icon, MessageBox::Icon::Warning);
    QVERIFY2(
        messages[0].text.contains(QDir::toNativeSeparators(QDir::current().absoluteFilePath(u"font"_qs))),
        qPrintable(messages[0].text));
}

void TestAppearanceCommands::clearEmptiesOnlyTheText()
{
    m_fx->window.setText(QStringLiteral("ELLO H"));
    m_fx->window.setStartCaption(QStringLiteral("Stop"));
    m_fx->window.setScrollTimerEnabled(true);
    m_fx->record.text = QStringLiteral("saved");
    m_commands->clearText();
    QCOMPARE(m_fx->window.text(), QString());
    QVERIFY(m_fx->window.isScrollTimerEnabled());
    QCOMPARE(m_fx->window.startCaption(), QStringLiteral("Stop"));
    QCOMPARE(m_fx->record.text, QStringLiteral("saved"));
    QVERIFY(m_fx->dialog.calls().isEmpty());
    QVERIFY(entries().isEmpty());
}

QTEST_GUILESS_MAIN(TestAppearanceCommands)
#include "tst_appearancecommands.moc"
