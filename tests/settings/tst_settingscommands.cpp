#include "scriptedservices.h"
#include "settings/hostilefiles.h"
#include "settings/settingscommands.h"
#include "tempcurrentdir.h"
#include "window/initialstate.h"
#include "window/plainwindow.h"

#include <QDir>
#include <QTest>

using Files = QMap<QString, QByteArray>;

namespace {

const QByteArray kCrLf("\r\n");

QByteArray speedRecord(int selected)
{
    QByteArrayList values;
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        values.append(level == selected ? "\"True\"" : "\"False\"");
    return values.join(',') + kCrLf;
}

// The window's state that the settings store touches, in one comparable value.
struct Shown
{
    QString text;
    ColourValue fore;
    ColourValue back;
    int speed; // 0: none selected
    bool left;
    bool right;
    MarqueeFont font;

    friend bool operator==(const Shown &, const Shown &) = default;
};

Shown shown(const PlainWindow &window)
{
    int speed = 0;
    for (int level = 1; level <= kSpeedLevelCount; ++level) {
        if (window.isSpeedSelected(level))
            speed = level;
    }
    return {window.text(),
            window.foreColour(),
            window.backColour(),
            speed,
            window.isDirectionSelected(Direction::Left),
            window.isDirectionSelected(Direction::Right),
            window.font()};
}

// The state after a restore with no files: the initial values with the preset size.
Shown restoredDefaults()
{
    MarqueeFont font = InitialState::font();
    font.size = 320;
    return {QString(),
            InitialState::kForeColour,
            InitialState::kBackColour,
            InitialState::kSpeedLevel,
            true,
            false,
            font};
}

char *toString(const Shown &state)
{
    return qstrdup(QStringLiteral("text=%1 fore=%2 back=%3 speed=%4 left=%5 right=%6 font=%7/%8/%9%10%11")
                       .arg(state.text)
                       .arg(state.fore)
                       .arg(state.back)
                       .arg(state.speed)
                       .arg(state.left)
                       .arg(state.right)
                       .arg(state.font.name)
                       .arg(state.font.size)
                       .arg(state.font.bold)
                       .arg(state.font.italic)
                       .arg(state.font.underline)
                       .toUtf8()
                       .constData());
}

} // namespace

class TestSettingsCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void restore_data();
    void restore();
    void saveWritesWorkedRecords();
    void saveGathersEveryState();
    void saveThenLoadRoundTrip();
    void loadReappliesRecordWhenFilesAreMissing();
    void deleteRemovesFiveFilesOnly();
    void exitWritesAndEnds();
    void failedWriteIsReported_data();
    void failedWriteIsReported();
    void fifoNamedTextNeverBlocks();
    void fontFile();

private:
    void writeFiles(const Files &files) const
    {
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            m_dir->write(it.key(), it.value());
    }
    [[nodiscard]] Files readFiles() const
    {
        Files files;
        for (const QString &name : QDir(m_dir->path()).entryList(QDir::Files))
            files.insert(name, m_dir->read(name));
        return files;
    }

    std::unique_ptr<TempCurrentDir> m_dir;
    std::unique_ptr<PlainWindow> m_window;
    std::unique_ptr<SettingsRecord> m_record;
    std::unique_ptr<RecordingMessageBox> m_messages;
    std::unique_ptr<RecordingProgramEnd> m_programEnd;
    std::unique_ptr<SettingsCommands> m_commands;
};

void TestSettingsCommands::init()
{
    m_dir = std::make_unique<TempCurrentDir>();
    QVERIFY(m_dir->isValid());
    m_window = std::make_unique<PlainWindow>();
    m_record = std::make_unique<SettingsRecord>();
    m_messages = std::make_unique<RecordingMessageBox>();
    m_programEnd = std::make_unique<RecordingProgramEnd>();
    m_commands = std::make_unique<SettingsCommands>(*m_window, *m_record, *m_messages, *m_programEnd);
}

void TestSettingsCommands::cleanup()
{
    m_commands.reset();
    m_dir.reset();
}

void TestSettingsCommands::restore_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<Shown>("expected");
    const Shown defaults = restoredDefaults();

    QTest::newRow("no files") << Files{} << defaults;

    Shown all = defaults;
    all.text = QStringLiteral("line one\r\nline \"two\", \u00e9");
    all.fore = 255;
    all.back = Colours::systemColour(15);
    all.speed = 3;
    all.left = false;
    all.right = true;
    all.font = {QStringLiteral("DejaVu Serif"), 10.5, false, true, true};
    QTest::newRow("all files") << Files{{"text", "\"line one\r\nline \"\"two\"\", \xc3\xa9\"\r\n"},
                                        {"color", "\"255\",\"-2147483633\"\r\n"},
                                        {"speed", speedRecord(3)},
                                        {"dirct", "\"False\",\"True\"\r\n"},
                                        {"font", "\"DejaVu Serif\",\"10.5\",\"False\",\"True\",\"True\"\r\n"}}
                               << all;

    Shown onlyFont = defaults;
    onlyFont.font = {QStringLiteral("Courier"), 24, true, false, false};
    QTest::newRow("only font") << Files{{"font", "\"Courier\",\"24\",\"True\",\"False\",\"False\"\r\n"}}
                               << onlyFont;

    QTest::newRow("font of five empty values") << Files{{"font", "\"\",\"\",\"\",\"\",\"\"\r\n"}} << defaults;
    Shown garbledFont = defaults;
    garbledFont.font.italic = true;
    QTest::newRow("garbled font") << Files{{"font", "\"  \",\"0\",\"maybe\",\"-1\",\"nan\"\r\n"}}
                                  << garbledFont;
    QTest::newRow("absurd font sizes") << Files{{"font", "\"\",\"1e999\"\r\n"}} << defaults;

    Shown noSpeed = defaults;
    noSpeed.speed = 0;
    QTest::newRow("all speeds false") << Files{{"speed", speedRecord(0)}} << noSpeed;
    Shown laterSpeed = defaults;
    laterSpeed.speed = 9;
    QTest::newRow("two speeds true: the later")
        << Files{{"speed", "\"False\",\"1\",\"False\",\"False\",\"False\",\"False\",\"False\",\"False\","
                           "\"TRUE\",\"False\",\"False\",\"False\"\r\n"}}
        << laterSpeed;
    Shown shortSpeed = defaults;
    shortSpeed.speed = 2;
    QTest::newRow("short speed file") << Files{{"speed", "\"False\",\"True\"\r\n"}} << shortSpeed;
    QTest::newRow("garbled speed file") << Files{{"speed", "junk,junk,junk"}} << defaults;

    Shown right = defaults;
    right.left = false;
    right.right = true;
    QTest::newRow("both directions true: right") << Files{{"dirct", "\"True\",\"True\"\r\n"}} << right;
    QTest::newRow("False then True: right") << Files{{"dirct", "\"False\",\"True\"\r\n"}} << right;
    Shown noDirection = defaults;
    noDirection.left = false;
    QTest::newRow("both directions false") << Files{{"dirct", "\"False\",\"False\"\r\n"}} << noDirection;

    Shown foreOnly = defaults;
    foreOnly.fore = 0xFF00;
    QTest::newRow("one colour value") << Files{{"color", "\"65280\"\r\n"}} << foreOnly;
    Shown backOnly = defaults;
    backOnly.back = 0;
    QTest::newRow("garbled text colour") << Files{{"color", "\"abc\",\"0\"\r\n"}} << backOnly;
    QTest::newRow("colours out of range") << Files{{"color", "\"16777216\",\"-1\"\r\n"}} << defaults;

    Shown spaced = defaults;
    spaced.text = QStringLiteral(" x ");
    QTest::newRow("text with surplus") << Files{{"text", "\" x \"junk\r\n\"more\"\r\n"}} << spaced;
    Shown legacy = defaults;
    legacy.text = QStringLiteral("caf\u00e9 \u20ac");
    QTest::newRow("single-byte text") << Files{{"text", "\"caf\xe9 \x80\"\r\n"}} << legacy;

    QTest::newRow("folders in place of files")
        << Files{{"text/x", ""}, {"color/x", ""}, {"speed/x", ""}, {"dirct/x", ""}, {"font/x", ""}}
        << defaults;
}

void TestSettingsCommands::restore()
{
    QFETCH(Files, files);
    QFETCH(Shown, expected);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key().contains(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(it.key()));
        else
            m_dir->write(it.key(), it.value());
    }
    m_commands->restoreAtStartup();
    QCOMPARE(shown(*m_window), expected);
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(m_window->startCaption(), QStringLiteral("Start"));
    QVERIFY(!m_window->isScrollTimerEnabled());
}

void TestSettingsCommands::saveWritesWorkedRecords()
{
    m_window->setText(QStringLiteral("Hello"));
    m_window->setSpeedSelected(3, true);
    QVERIFY(m_window->setForeColour(255));
    QVERIFY(m_window->setBackColour(0));
    m_commands->save();
    const Files expected{{"text", "\"Hello\"\r\n"},
                         {"color", "\"255\",\"0\"\r\n"},
                         {"speed", speedRecord(3)},
                         {"dirct", "\"True\",\"False\"\r\n"}};
    QCOMPARE(readFiles(), expected);

    // A second Save without a change writes the same bytes.
    m_commands->save();
    QCOMPARE(readFiles(), expected);
    QVERIFY(m_messages->messages.isEmpty());
}

void TestSettingsCommands::saveGathersEveryState()
{
    // Before any colour is picked the system colours are written; no speed level
    // selected gives twelve "False".
    m_window->setSpeedSelected(7, false);
    m_window->setDirectionSelected(Direction::Right, true);
    m_record->strFontName = QStringLiteral("kept");
    m_commands->save();
    QCOMPARE(m_dir->read("text"), QByteArray("\"\"\r\n"));
    QCOMPARE(m_dir->read("color"), QByteArray("\"-2147483640\",\"-2147483643\"\r\n"));
    QCOMPARE(m_dir->read("speed"), speedRecord(0));
    QCOMPARE(m_dir->read("dirct"), QByteArray("\"False\",\"True\"\r\n"));
    QVERIFY(!m_dir->exists("font"));
    QCOMPARE(m_record->strRight, QStringLiteral("True"));
    QCOMPARE(m_record->strFontName, QStringLiteral("kept"));
}

void TestSettingsCommands::saveThenLoadRoundTrip()
{
    m_window->setText(QStringLiteral("a, \"b\"\r\nc \u00e9\u20ac\U0001F600 \"\""));
    m_window->setSpeedSelected(12, true);
    m_window->setDirectionSelected(Direction::Right, true);
    QVERIFY(m_window->setForeColour(Colours::systemColour(0)));
    QVERIFY(m_window->setBackColour(0x123456));
    const Shown saved = shown(*m_window);
    m_commands->save();

    // A fresh window and record, as at the next start.
    PlainWindow next;
    SettingsRecord record;
    SettingsCommands commands(next, record, *m_messages, *m_programEnd);
    commands.restoreAtStartup();
    Shown expected = saved;
    expected.font.size = 320;
    QCOMPARE(shown(next), expected);

    // Load in this run puts the saved state back after changes.
    m_window->setText(QStringLiteral("changed"));
    m_window->setSpeedSelected(1, true);
    m_window->setDirectionSelected(Direction::Left, true);
    m_commands->load();
    QCOMPARE(shown(*m_window), saved);
}

void TestSettingsCommands::loadReappliesRecordWhenFilesAreMissing()
{
    // Nothing read or written yet: Load empties the text and leaves the rest.
    m_window->setText(QStringLiteral("typed"));
    m_window->setSpeedSelected(2, true);
    m_commands->load();
    QCOMPARE(m_window->text(), QString());
    QVERIFY(m_window->isSpeedSelected(2));

    m_window->setText(QStringLiteral("saved"));
    m_window->setDirectionSelected(Direction::Right, true);
    m_commands->save();
    m_record->strBackColor = QStringLiteral("255"); // as a colour command leaves it
    m_record->strFontName = QStringLiteral("Chosen");
    m_record->strFontSize = QStringLiteral("12");
    m_commands->deleteFiles();
    QVERIFY(readFiles().isEmpty());

    m_window->setText(QStringLiteral("changed"));
    m_window->setSpeedSelected(5, true);
    m_window->setDirectionSelected(Direction::Left, true);
    m_commands->load();
    QCOMPARE(m_window->text(), QStringLiteral("saved"));
    QVERIFY(m_window->isSpeedSelected(2));
    QVERIFY(m_window->isDirectionSelected(Direction::Right));
    QCOMPARE(m_window->backColour(), 255);
    QCOMPARE(m_window->font().name, QStringLiteral("Chosen"));
    QCOMPARE(m_window->font().size, 12.0);
    QVERIFY(m_messages->messages.isEmpty());
}

void TestSettingsCommands::deleteRemovesFiveFilesOnly()
{
    m_commands->deleteFiles(); // none there: nothing happens
    writeFiles(
        {{"text", "1"}, {"color", "2"}, {"speed", "3"}, {"dirct", "4"}, {"font", "5"}, {"other", "6"}});
    QVERIFY(QDir().mkdir(QStringLiteral("sub")));
    m_dir->write(QStringLiteral("sub/text"), "7");
    const Shown before = shown(*m_window);
    m_commands->deleteFiles();
    QCOMPARE(readFiles(), (Files{{"other", "6"}}));
    QVERIFY(m_dir->exists("sub/text"));
    QCOMPARE(shown(*m_window), before);
    QVERIFY(m_messages->messages.isEmpty());
}

void TestSettingsCommands::exitWritesAndEnds()
{
    m_window->setText(QStringLiteral("bye"));
    m_commands->exit();
    QCOMPARE(m_programEnd->requests, 1);
    QCOMPARE(readFiles().keys(), (QStringList{"color", "dirct", "speed", "text"}));
    QCOMPARE(m_dir->read("text"), QByteArray("\"bye\"\r\n"));
    QVERIFY(m_messages->messages.isEmpty());
}

// Each way holds for root too: a folder in a file's place, or a folder without write
// access entered as an unprivileged user.
void TestSettingsCommands::failedWriteIsReported_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<QStringList>("failed");
    QTest::newRow("folder named color") << false << QStringList{"color"};
    QTest::newRow("read-only current directory") << true << QStringList{"text", "color", "speed", "dirct"};
}

void TestSettingsCommands::failedWriteIsReported()
{
    QFETCH(bool, readOnlyFolder);
    QFETCH(QStringList, failed);
    const Files old{{"text", "\"old\"\r\n"}, {"speed", speedRecord(1)}, {"dirct", "\"True\",\"False\"\r\n"}};
    writeFiles(old);
    if (!readOnlyFolder)
        QVERIFY(QDir().mkdir(QStringLiteral("color")));
    else
        m_dir->write("color", "\"1\",\"2\"\r\n");
    const Files before = readFiles();
    m_window->setText(QStringLiteral("new"));

    for (const bool exiting : {false, true}) {
        m_messages->messages.clear();
        {
            std::optional<AsUnprivilegedUser> nobody;
            if (readOnlyFolder) {
                QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                                 QFileDevice::ReadOther |
                                                                 QFileDevice::ExeOther));
                nobody.emplace();
                QVERIFY(nobody->isValid());
            }
            exiting ? m_commands->exit() : m_commands->save();
        }
        QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner));

        QCOMPARE(m_messages->messages.size(), 1);
        const RecordingMessageBox::Message message = m_messages->messages.first();
        QCOMPARE(message.icon, MessageBox::Icon::Warning);
        for (const QString name : {"text", "color", "speed", "dirct"})
            QCOMPARE(message.text.contains(QLatin1Char('"') + name + QLatin1Char('"')),
                     failed.contains(name));
        QCOMPARE(m_programEnd->requests, 0);
        QCOMPARE(m_record->strText, QStringLiteral("new"));
        if (readOnlyFolder)
            QCOMPARE(readFiles(), before);
        else
            QCOMPARE(m_dir->read("text"), QByteArray("\"new\"\r\n"));
    }
    // No temporary files are left behind.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 4);
}

void TestSettingsCommands::fifoNamedTextNeverBlocks()
{
    QVERIFY(makeFifo(m_dir->filePath("text")));
    m_dir->write("dirct", "\"False\",\"True\"\r\n");
    m_window->setText(QStringLiteral("typed"));
    m_commands->restoreAtStartup();
    QCOMPARE(m_window->text(), QString());
    QVERIFY(m_window->isDirectionSelected(Direction::Right));
    m_commands->load();
    QCOMPARE(m_window->text(), QString());

    // Save does not replace it, nor the FIFO that a link leads to.
    QVERIFY(QDir().mkdir(QStringLiteral("sub")));
    QVERIFY(makeFifo(m_dir->filePath("sub/pipe")));
    QVERIFY(QFile::link(QStringLiteral("sub/pipe"), QStringLiteral("color")));
    m_window->setText(QStringLiteral("written"));
    m_commands->save();
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(
        m_messages->messages.first().text.startsWith(QStringLiteral("Could not save \"text\", \"color\":")));
    QVERIFY(QFileInfo(QStringLiteral("text")).exists() && !QFileInfo(QStringLiteral("text")).isFile());
    QVERIFY(QFileInfo(QStringLiteral("sub/pipe")).exists() &&
            !QFileInfo(QStringLiteral("sub/pipe")).isFile());
    QCOMPARE(m_dir->read("speed"), speedRecord(7));
}

void TestSettingsCommands::fontFile()
{
    SettingsRecord record;
    QCOMPARE(SettingsCommands::writeFontFile(record), std::nullopt);
    QCOMPARE(m_dir->read("font"), QByteArray("\"\",\"\",\"\",\"\",\"\"\r\n"));

    record.strFontName = QStringLiteral("Arial");
    record.strFontSize = QStringLiteral("24");
    record.strFontBold = QStringLiteral("True");
    record.strFontItalic = record.strFontUnderline = QStringLiteral("False");
    QCOMPARE(SettingsCommands::writeFontFile(record), std::nullopt);
    QCOMPARE(m_dir->read("font"), QByteArray("\"Arial\",\"24\",\"True\",\"False\",\"False\"\r\n"));

    QVERIFY(QFile::remove(m_dir->filePath("font")));
    QVERIFY(QDir().mkdir(QStringLiteral("font")));
    QVERIFY(SettingsCommands::writeFontFile(record).has_value());
}

QTEST_GUILESS_MAIN(TestSettingsCommands)
#include "tst_settingscommands.moc"
