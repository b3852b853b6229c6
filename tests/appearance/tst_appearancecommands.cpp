#include "appearance/appearancecommands.h"
#include "corefixture.h"
#include "window/initialstate.h"

#include <QDir>
#include <QTest>

namespace {

enum class Target { Fore, Back };

const QByteArray kEmptyFontRecord = "\"\",\"\",\"\",\"\",\"\"\r\n";

} // namespace

Q_DECLARE_METATYPE(Target)

class TestAppearanceCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void colourPicked_data();
    void colourPicked();
    void colourCancelOrRefusedChangesNothing_data();
    void colourCancelOrRefusedChangesNothing();
    void colourDialogOpensOnLastPick();
    void fontPicked_data();
    void fontPicked();
    void fontCancelStillWritesFile();
    void fontRefusedPartway();
    void fontFileFailureReported();
    void clearEmptiesOnlyTheText();

private:
    void chooseColour(Target target);
    [[nodiscard]] ColourValue colourOf(Target target) const;
    [[nodiscard]] QString recordOf(Target target) const;

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
    m_commands.reset();
    m_fx.reset();
}

void TestAppearanceCommands::chooseColour(Target target)
{
    if (target == Target::Fore)
        m_commands->chooseForeColour();
    else
        m_commands->chooseBackColour();
}

ColourValue TestAppearanceCommands::colourOf(Target target) const
{
    return target == Target::Fore ? m_fx->window.foreColour() : m_fx->window.backColour();
}

QString TestAppearanceCommands::recordOf(Target target) const
{
    return target == Target::Fore ? m_fx->record.foreColour : m_fx->record.backColour;
}

void TestAppearanceCommands::colourPicked_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<ColourValue>("picked");
    QTest::addColumn<QString>("recorded");
    QTest::newRow("fore pure red") << Target::Fore << Colours::rgb(255, 0, 0) << "255";
    QTest::newRow("back blue above green above red")
        << Target::Back << Colours::rgb(0x11, 0x22, 0x33) << "3351057";
    QTest::newRow("back system colour") << Target::Back << Colours::systemColour(15) << "-2147483633";
}

void TestAppearanceCommands::colourPicked()
{
    QFETCH(Target, target);
    QFETCH(ColourValue, picked);
    QFETCH(QString, recorded);
    const Target other = target == Target::Fore ? Target::Back : Target::Fore;
    const ColourValue otherColour = colourOf(other);
    m_fx->dialog.expect(picked);

    chooseColour(target);

    QCOMPARE(m_fx->dialog.calls().size(), 1);
    const ScriptedDialog::Call &call = m_fx->dialog.calls().constFirst();
    QCOMPARE(call.kind, ScriptedDialog::Kind::Colour);
    QCOMPARE(colourOf(target), picked);
    QCOMPARE(recordOf(target), recorded);
    QCOMPARE(colourOf(other), otherColour);
    QVERIFY(recordOf(other).isEmpty());
    QVERIFY(m_fx->messages.messages.isEmpty());
    // The colour reaches a file only by Save or Exit.
    QVERIFY(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void TestAppearanceCommands::colourCancelOrRefusedChangesNothing_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<bool>("cancel");
    QTest::newRow("fore cancel") << Target::Fore << true;
    QTest::newRow("back not a colour") << Target::Back << false;
}

void TestAppearanceCommands::colourCancelOrRefusedChangesNothing()
{
    QFETCH(Target, target);
    QFETCH(bool, cancel);
    m_fx->record.foreColour = m_fx->record.backColour = QStringLiteral("77");
    const ColourValue before = colourOf(target);
    if (cancel)
        m_fx->dialog.expect(ScriptedDialog::Cancel{});
    else
        m_fx->dialog.expect(ColourValue{0x1000000});
    chooseColour(target);
    QCOMPARE(colourOf(target), before);
    QCOMPARE(recordOf(target), QStringLiteral("77"));
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestAppearanceCommands::colourDialogOpensOnLastPick()
{
    m_fx->window.setBackColour(Colours::rgb(0, 0, 255));
    m_fx->dialog.expect(Colours::rgb(255, 0, 0));
    m_fx->dialog.expect(ScriptedDialog::Cancel{});
    m_fx->dialog.expect(Colours::rgb(0, 255, 0));
    m_fx->dialog.expect(ScriptedDialog::Cancel{});
    m_commands->chooseForeColour();
    m_commands->chooseBackColour();
    m_commands->chooseBackColour();
    m_commands->chooseForeColour();
    const QList<ScriptedDialog::Call> &calls = m_fx->dialog.calls();
    QCOMPARE(calls.size(), 4);
    // The background dialog starts on the foreground just picked, not on the field's blue.
    QCOMPARE(calls[1].colour, Colours::rgb(255, 0, 0));
    QCOMPARE(calls[2].colour, Colours::rgb(255, 0, 0));
    QCOMPARE(calls[3].colour, Colours::rgb(0, 255, 0));
}

void TestAppearanceCommands::fontPicked_data()
{
    QTest::addColumn<MarqueeFont>("picked");
    QTest::addColumn<double>("appliedSize");
    QTest::addColumn<QByteArray>("fontFile");
    QTest::newRow("10.5 bold underlined")
        << MarqueeFont{QStringLiteral("Liberation Sans"), 10.5, true, false, true} << 10.5
        << QByteArray("\"Liberation Sans\",\"10.5\",\"True\",\"False\",\"True\"\r\n");
    QTest::newRow("24 plain") << MarqueeFont{QStringLiteral("Arial"), 24, false, false, false} << 24.0
                              << QByteArray("\"Arial\",\"24\",\"False\",\"False\",\"False\"\r\n");
    QTest::newRow("12.3 in single precision")
        << MarqueeFont{QStringLiteral("DejaVu Serif"), 12.3, false, true, false} << double(12.3f)
        << QByteArray("\"DejaVu Serif\",\"12.3\",\"False\",\"True\",\"False\"\r\n");
    QTest::newRow("name with blanks and comma")
        << MarqueeFont{QStringLiteral("Odd, Face"), 1.75, false, false, false} << 1.75
        << QByteArray("\"Odd, Face\",\"1.75\",\"False\",\"False\",\"False\"\r\n");
}

void TestAppearanceCommands::fontPicked()
{
    QFETCH(MarqueeFont, picked);
    QFETCH(double, appliedSize);
    QFETCH(QByteArray, fontFile);
    // The separator of the size is a point whatever the locale says.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    m_fx->dialog.expect(picked);
    m_commands->chooseFont();
    QLocale::setDefault(previous);

    QCOMPARE(m_fx->dialog.calls().size(), 1);
    QCOMPARE(m_fx->dialog.calls()[0].kind, ScriptedDialog::Kind::Font);
    MarqueeFont applied = picked;
    applied.size = appliedSize;
    QCOMPARE(m_fx->window.font(), applied);
    QCOMPARE(m_fx->record.fontName, picked.name);
    QCOMPARE(m_fx->record.fontSize, QString::fromLatin1(fontFile.split('"').at(3)));
    QCOMPARE(m_fx->record.fontBold, picked.bold ? QStringLiteral("True") : QStringLiteral("False"));
    QCOMPARE(m_fx->record.fontItalic, picked.italic ? QStringLiteral("True") : QStringLiteral("False"));
    QCOMPARE(m_fx->record.fontUnderline, picked.underline ? QStringLiteral("True") : QStringLiteral("False"));
    QCOMPARE(m_fx->dir.read(QStringLiteral("font")), fontFile);
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestAppearanceCommands::fontCancelStillWritesFile()
{
    const MarqueeFont initial = m_fx->window.font();
    m_fx->dialog.expect(ScriptedDialog::Cancel{});
    m_commands->chooseFont();
    // Nothing was ever loaded or picked: five empty values.
    QCOMPARE(m_fx->dir.read(QStringLiteral("font")), kEmptyFontRecord);
    QCOMPARE(m_fx->window.font(), initial);

    // After a pick and the file's removal, Cancel writes the record's values again.
    m_fx->dialog.expect(MarqueeFont{QStringLiteral("Serif"), 18, false, true, false});
    m_fx->dialog.expect(ScriptedDialog::Cancel{});
    m_commands->chooseFont();
    QVERIFY(QFile::remove(QStringLiteral("font")));
    m_fx->window.setFontName(QStringLiteral("Other"));
    m_commands->chooseFont();
    // The dialog opened on the field's font, not on the one it returned last.
    QCOMPARE(m_fx->dialog.calls().last().font, m_fx->window.font());
    QCOMPARE(m_fx->dir.read(QStringLiteral("font")),
             QByteArray("\"Serif\",\"18\",\"False\",\"True\",\"False\"\r\n"));
    QCOMPARE(m_fx->window.font().name, QStringLiteral("Other"));
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestAppearanceCommands::fontRefusedPartway()
{
    // The field refuses the size: the name stays applied and recorded, the rest is
    // neither, and the file holds what the record then holds.
    const MarqueeFont initial = m_fx->window.font();
    m_fx->dialog.expect(MarqueeFont{QStringLiteral("Serif"), 0.5, false, true, true});
    m_commands->chooseFont();
    QCOMPARE(m_fx->window.font().name, QStringLiteral("Serif"));
    QCOMPARE(m_fx->window.font().size, initial.size);
    QCOMPARE(m_fx->window.font().italic, initial.italic);
    QCOMPARE(m_fx->window.font().underline, initial.underline);
    QCOMPARE(m_fx->record.fontName, QStringLiteral("Serif"));
    QVERIFY(m_fx->record.fontSize.isEmpty());
    QVERIFY(m_fx->record.fontItalic.isEmpty());
    QCOMPARE(m_fx->dir.read(QStringLiteral("font")), QByteArray("\"Serif\",\"\",\"\",\"\",\"\"\r\n"));
}

void TestAppearanceCommands::fontFileFailureReported()
{
    // A folder in the way cannot be replaced, not even by root.
    QVERIFY(QDir::current().mkdir(QStringLiteral("font")));
    m_fx->dialog.expect(MarqueeFont{QStringLiteral("Serif"), 30, true, false, false});
    m_commands->chooseFont();
    QCOMPARE(m_fx->window.font(), (MarqueeFont{QStringLiteral("Serif"), 30, true, false, false}));
    QCOMPARE(m_fx->record.fontSize, QStringLiteral("30"));
    QCOMPARE(m_fx->messages.messages.size(), 1);
    QCOMPARE(m_fx->messages.messages[0].icon, MessageBox::Icon::Warning);
    QVERIFY2(m_fx->messages.messages[0].text.contains(
                 QDir::toNativeSeparators(QDir::current().absoluteFilePath(QStringLiteral("font")))),
             qPrintable(m_fx->messages.messages[0].text));
    QVERIFY(QFileInfo(QStringLiteral("font")).isDir());
}

void TestAppearanceCommands::clearEmptiesOnlyTheText()
{
    m_fx->window.setText(QStringLiteral("ELLO H"));
    m_fx->window.setStartCaption(QStringLiteral("Stop"));
    m_fx->window.setScrollTimerEnabled(true);
    m_fx->window.setForeColour(255);
    m_fx->record.text = QStringLiteral("saved");
    const MarqueeFont font = m_fx->window.font();
    m_commands->clearText();
    QCOMPARE(m_fx->window.text(), QString());
    QVERIFY(m_fx->window.isScrollTimerEnabled());
    QCOMPARE(m_fx->window.startCaption(), QStringLiteral("Stop"));
    QCOMPARE(m_fx->window.foreColour(), 255);
    QCOMPARE(m_fx->window.font(), font);
    QCOMPARE(m_fx->record.text, QStringLiteral("saved"));
    QVERIFY(m_fx->dialog.calls().isEmpty());
    QVERIFY(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

QTEST_GUILESS_MAIN(TestAppearanceCommands)
#include "tst_appearancecommands.moc"
