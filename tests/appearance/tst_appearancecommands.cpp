#include "appearance/appearancecommands.h"
#include "scriptedservices.h"
#include "settings/settingsrecord.h"
#include "tempcurrentdir.h"
#include "window/initialstate.h"
#include "window/plainwindow.h"

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

    std::unique_ptr<TempCurrentDir> m_dir;
    std::unique_ptr<PlainWindow> m_window;
    std::unique_ptr<ScriptedDialog> m_dialog;
    std::unique_ptr<RecordingMessageBox> m_messages;
    std::unique_ptr<SettingsRecord> m_record;
    std::unique_ptr<AppearanceCommands> m_commands;
};

void TestAppearanceCommands::init()
{
    m_dir = std::make_unique<TempCurrentDir>();
    QVERIFY(m_dir->isValid());
    m_window = std::make_unique<PlainWindow>();
    m_dialog = std::make_unique<ScriptedDialog>();
    m_messages = std::make_unique<RecordingMessageBox>();
    m_record = std::make_unique<SettingsRecord>();
    m_commands = std::make_unique<AppearanceCommands>(*m_window, *m_dialog, *m_record, *m_messages);
}

void TestAppearanceCommands::cleanup()
{
    QVERIFY(m_dialog->allAnswersUsed());
    m_commands.reset();
    m_dir.reset();
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
    return target == Target::Fore ? m_window->foreColour() : m_window->backColour();
}

QString TestAppearanceCommands::recordOf(Target target) const
{
    return target == Target::Fore ? m_record->strForeColor : m_record->strBackColor;
}

void TestAppearanceCommands::colourPicked_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<ColourValue>("picked");
    QTest::addColumn<QString>("recorded");
    QTest::newRow("fore pure red") << Target::Fore << Colours::rgb(255, 0, 0) << "255";
    QTest::newRow("back pure red") << Target::Back << Colours::rgb(255, 0, 0) << "255";
    QTest::newRow("fore black") << Target::Fore << 0 << "0";
    QTest::newRow("back blue above green above red")
        << Target::Back << Colours::rgb(0x11, 0x22, 0x33) << "3351057";
    QTest::newRow("fore white") << Target::Fore << Colours::rgb(255, 255, 255) << "16777215";
    QTest::newRow("back system colour") << Target::Back << Colours::systemColour(15) << "-2147483633";
}

void TestAppearanceCommands::colourPicked()
{
    QFETCH(Target, target);
    QFETCH(ColourValue, picked);
    QFETCH(QString, recorded);
    const Target other = target == Target::Fore ? Target::Back : Target::Fore;
    const ColourValue otherColour = colourOf(other);
    m_dialog->setCancelError(false);
    m_dialog->setFlags(259);
    m_dialog->expect(picked);

    chooseColour(target);

    QCOMPARE(m_dialog->calls().size(), 1);
    const ScriptedDialog::Call &call = m_dialog->calls().constFirst();
    QCOMPARE(call.kind, ScriptedDialog::Kind::Colour);
    QVERIFY(call.cancelError);
    QCOMPARE(call.flags, 1);
    QCOMPARE(colourOf(target), picked);
    QCOMPARE(recordOf(target), recorded);
    QCOMPARE(colourOf(other), otherColour);
    QVERIFY(recordOf(other).isEmpty());
    QVERIFY(m_messages->messages.isEmpty());
    // The colour reaches a file only by Save or Exit.
    QVERIFY(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void TestAppearanceCommands::colourCancelOrRefusedChangesNothing_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<bool>("cancel");
    QTest::newRow("fore cancel") << Target::Fore << true;
    QTest::newRow("back cancel") << Target::Back << true;
    QTest::newRow("fore not a colour") << Target::Fore << false;
    QTest::newRow("back not a colour") << Target::Back << false;
}

void TestAppearanceCommands::colourCancelOrRefusedChangesNothing()
{
    QFETCH(Target, target);
    QFETCH(bool, cancel);
    m_record->strForeColor = m_record->strBackColor = QStringLiteral("77");
    const ColourValue before = colourOf(target);
    if (cancel)
        m_dialog->expect(ScriptedDialog::Cancel{});
    else
        m_dialog->expect(ColourValue{0x1000000});
    chooseColour(target);
    QCOMPARE(colourOf(target), before);
    QCOMPARE(recordOf(target), QStringLiteral("77"));
    QVERIFY(m_messages->messages.isEmpty());
}

void TestAppearanceCommands::colourDialogOpensOnLastPick()
{
    m_window->setBackColour(Colours::rgb(0, 0, 255));
    m_dialog->expect(Colours::rgb(255, 0, 0));
    m_dialog->expect(ScriptedDialog::Cancel{});
    m_dialog->expect(Colours::rgb(0, 255, 0));
    m_dialog->expect(ScriptedDialog::Cancel{});
    m_commands->chooseForeColour();
    m_commands->chooseBackColour();
    m_commands->chooseBackColour();
    m_commands->chooseForeColour();
    const QList<ScriptedDialog::Call> &calls = m_dialog->calls();
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
    QTest::newRow("the initial size")
        << MarqueeFont{QStringLiteral("Arial"), 320.25, true, true, true} << 320.25
        << QByteArray("\"Arial\",\"320.25\",\"True\",\"True\",\"True\"\r\n");
    QTest::newRow("name with blanks and comma")
        << MarqueeFont{QStringLiteral("Odd, Face"), 0.75, false, false, false} << 0.75
        << QByteArray("\"Odd, Face\",\"0.75\",\"False\",\"False\",\"False\"\r\n");
}

void TestAppearanceCommands::fontPicked()
{
    QFETCH(MarqueeFont, picked);
    QFETCH(double, appliedSize);
    QFETCH(QByteArray, fontFile);
    // The separator of the size is a point whatever the locale says.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    m_dialog->setFlags(1);
    m_dialog->expect(picked);
    m_commands->chooseFont();
    QLocale::setDefault(previous);

    QCOMPARE(m_dialog->calls().size(), 1);
    QCOMPARE(m_dialog->calls()[0].kind, ScriptedDialog::Kind::Font);
    QCOMPARE(m_dialog->calls()[0].flags, 259);
    QVERIFY(m_dialog->calls()[0].cancelError);
    MarqueeFont applied = picked;
    applied.size = appliedSize;
    QCOMPARE(m_window->font(), applied);
    QCOMPARE(m_record->strFontName, picked.name);
    QCOMPARE(m_record->strFontSize, QString::fromLatin1(fontFile.split('"').at(3)));
    QCOMPARE(m_record->strFontBold, picked.bold ? QStringLiteral("True") : QStringLiteral("False"));
    QCOMPARE(m_record->strFontItalic, picked.italic ? QStringLiteral("True") : QStringLiteral("False"));
    QCOMPARE(m_record->strFontUnderline, picked.underline ? QStringLiteral("True") : QStringLiteral("False"));
    QCOMPARE(m_dir->read(QStringLiteral("font")), fontFile);
    QVERIFY(m_messages->messages.isEmpty());
}

void TestAppearanceCommands::fontCancelStillWritesFile()
{
    const MarqueeFont initial = m_window->font();
    m_dialog->expect(ScriptedDialog::Cancel{});
    m_commands->chooseFont();
    // Nothing was ever loaded or picked: five empty values.
    QCOMPARE(m_dir->read(QStringLiteral("font")), kEmptyFontRecord);
    QCOMPARE(m_window->font(), initial);

    // After a pick and the file's removal, Cancel writes the record's values again.
    m_dialog->expect(MarqueeFont{QStringLiteral("Serif"), 18, false, true, false});
    m_dialog->expect(ScriptedDialog::Cancel{});
    m_commands->chooseFont();
    QVERIFY(QFile::remove(QStringLiteral("font")));
    m_window->setFontName(QStringLiteral("Other"));
    m_commands->chooseFont();
    QCOMPARE(m_dir->read(QStringLiteral("font")),
             QByteArray("\"Serif\",\"18\",\"False\",\"True\",\"False\"\r\n"));
    QCOMPARE(m_window->font().name, QStringLiteral("Other"));
    QVERIFY(m_messages->messages.isEmpty());
}

void TestAppearanceCommands::fontRefusedPartway()
{
    // The field refuses the size: the name stays applied and recorded, the rest is
    // neither, and the file holds what the record then holds.
    const MarqueeFont initial = m_window->font();
    m_dialog->expect(MarqueeFont{QStringLiteral("Serif"), 0, false, true, true});
    m_commands->chooseFont();
    QCOMPARE(m_window->font().name, QStringLiteral("Serif"));
    QCOMPARE(m_window->font().size, initial.size);
    QCOMPARE(m_window->font().italic, initial.italic);
    QCOMPARE(m_window->font().underline, initial.underline);
    QCOMPARE(m_record->strFontName, QStringLiteral("Serif"));
    QVERIFY(m_record->strFontSize.isEmpty());
    QVERIFY(m_record->strFontItalic.isEmpty());
    QCOMPARE(m_dir->read(QStringLiteral("font")), QByteArray("\"Serif\",\"\",\"\",\"\",\"\"\r\n"));
}

void TestAppearanceCommands::fontFileFailureReported()
{
    // A folder in the way cannot be replaced, not even by root.
    QVERIFY(QDir::current().mkdir(QStringLiteral("font")));
    m_dialog->expect(MarqueeFont{QStringLiteral("Serif"), 30, true, false, false});
    m_commands->chooseFont();
    QCOMPARE(m_window->font(), (MarqueeFont{QStringLiteral("Serif"), 30, true, false, false}));
    QCOMPARE(m_record->strFontSize, QStringLiteral("30"));
    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages[0].icon, MessageBox::Icon::Warning);
    QVERIFY2(m_messages->messages[0].text.contains(
                 QDir::toNativeSeparators(QDir::current().absoluteFilePath(QStringLiteral("font")))),
             qPrintable(m_messages->messages[0].text));
    QVERIFY(QFileInfo(QStringLiteral("font")).isDir());
}

void TestAppearanceCommands::clearEmptiesOnlyTheText()
{
    m_window->setText(QStringLiteral("ELLO H"));
    m_window->setStartCaption(QStringLiteral("Stop"));
    m_window->setScrollTimerEnabled(true);
    m_window->setForeColour(255);
    m_record->strText = QStringLiteral("saved");
    const MarqueeFont font = m_window->font();
    m_commands->clearText();
    QCOMPARE(m_window->text(), QString());
    QVERIFY(m_window->isScrollTimerEnabled());
    QCOMPARE(m_window->startCaption(), QStringLiteral("Stop"));
    QCOMPARE(m_window->foreColour(), 255);
    QCOMPARE(m_window->font(), font);
    QCOMPARE(m_record->strText, QStringLiteral("saved"));
    QVERIFY(m_dialog->calls().isEmpty());
    QVERIFY(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

QTEST_GUILESS_MAIN(TestAppearanceCommands)
#include "tst_appearancecommands.moc"
