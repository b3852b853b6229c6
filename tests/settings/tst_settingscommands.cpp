// SPDX-License-Identifier: MIT
#include "corefixture.h"
#include "settings/hostilefiles.h"
#include "settings/settingscommands.h"
#include "window/initialstate.h"
#include "windowstate.h"

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

// The state after a restore with no files: the initial values with the preset size.
QVariantMap restoredDefaults()
{
    PlainWindow window;
    window.setFontSize(320);
    return stateOf(window);
}

QVariantMap with(QVariantMap state, const QVariantMap &changes)
{
    state.insert(changes);
    return state;
}

const QStringList kSavedNames{QStringLiteral("text"), QStringLiteral("color"), QStringLiteral("speed"),
                              QStringLiteral("dirct")};

enum class Links { None, Own, Foreign };

// The head of the one message that a command shows for the files it could not write or
// remove; no message when there are none.
QStringList messageHeads(const QString &verb, const QStringList &names)
{
    if (names.isEmpty())
        return {};
    QStringList quoted;
    for (const QString &name : names)
        quoted.append(QLatin1Char('"') + name + QLatin1Char('"'));
    return {QStringLiteral("Could not %1 %2").arg(verb, quoted.join(QStringLiteral(", ")))};
}

} // namespace

Q_DECLARE_METATYPE(Links)

class TestSettingsCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void restore_data();
    void restore();
    void saveThenLoadRoundTrip();
    void loadReappliesRecordWhenFilesAreMissing();
    void deleteRemovesFiveFilesOnly();
    void permissionsAndLinks_data();
    void permissionsAndLinks();
    void saveLeavesFifosAlone();

private:
    void writeFiles(const Files &files) const
    {
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            m_fx->dir.write(it.key(), it.value());
    }
    [[nodiscard]] Files readFiles() const
    {
        Files files;
        for (const QString &name : QDir(m_fx->dir.path()).entryList(QDir::Files))
            files.insert(name, m_fx->dir.read(name));
        return files;
    }

    std::unique_ptr<CoreFixture> m_fx;
    std::unique_ptr<SettingsCommands> m_commands;
};

void TestSettingsCommands::init()
{
    m_fx = std::make_unique<CoreFixture>();
    QVERIFY(m_fx->dir.isValid());
    m_commands =
        std::make_unique<SettingsCommands>(m_fx->window, m_fx->record, m_fx->messages, m_fx->programEnd);
}

void TestSettingsCommands::cleanup()
{
    m_commands.reset();
    m_fx.reset();
}

void TestSettingsCommands::restore_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QVariantMap>("expected");
    const QVariantMap defaults = restoredDefaults();
    const auto add = [&](const char *name, const Files &files, const QVariantMap &changes) {
        QTest::newRow(name) << files << with(defaults, changes);
    };

    add("no files", {}, {});
    add("all files",
        {{"text", "\"line one\r\nline \"\"two\"\", \xc3\xa9\"\r\n"},
         {"color", "\"255\",\"-2147483633\"\r\n"},
         {"speed", speedRecord(3)},
         {"dirct", "\"False\",\"True\"\r\n"},
         {"font", "\"DejaVu Serif\",\"10.5\",\"False\",\"True\",\"True\"\r\n"}},
        {{"text", QStringLiteral("line one\r\nline \"two\", \u00e9")},
         {"fore", 255},
         {"back", Colours::systemColour(15)},
         {"speed", 3},
         {"direction", 2},
         {"fontName", "DejaVu Serif"},
         {"fontSize", 10.5},
         {"bold", false},
         {"italic", true},
         {"underline", true}});
    add("font of five empty values", {{"font", "\"\",\"\",\"\",\"\",\"\"\r\n"}}, {});
    add("garbled font", {{"font", "\"  \",\"0\",\"maybe\",\"-1\",\"nan\"\r\n"}}, {{"italic", true}});
    add("all speeds false", {{"speed", speedRecord(0)}}, {{"speed", 0}});
    add("two speeds true: the later",
        {{"speed", "\"False\",\"1\",\"False\",\"False\",\"False\",\"False\",\"False\",\"False\","
                   "\"TRUE\",\"False\",\"False\",\"False\"\r\n"}},
        {{"speed", 9}});
    add("short speed file", {{"speed", "\"False\",\"True\"\r\n"}}, {{"speed", 2}});
    add("both directions true: right", {{"dirct", "\"True\",\"True\"\r\n"}}, {{"direction", 2}});
    add("both directions false", {{"dirct", "\"False\",\"False\"\r\n"}}, {{"direction", 0}});
    add("one colour value", {{"color", "\"65280\"\r\n"}}, {{"fore", 0xFF00}});
    add("garbled text colour", {{"color", "\"abc\",\"0\"\r\n"}}, {{"back", 0}});
    add("text with surplus", {{"text", "\" x \"junk\r\n\"more\"\r\n"}}, {{"text", " x "}});
}

void TestSettingsCommands::restore()
{
    QFETCH(Files, files);
    QFETCH(QVariantMap, expected);
    writeFiles(files);
    m_commands->restoreAtStartup();
    QCOMPARE(stateDifferences(stateOf(m_fx->window), expected), QString());
    QVERIFY(m_fx->messages.messages.isEmpty());
    QCOMPARE(m_fx->window.startCaption(), QStringLiteral("Start"));
    QVERIFY(!m_fx->window.isScrollTimerEnabled());
}

void TestSettingsCommands::saveThenLoadRoundTrip()
{
    // Save writes four files byte for byte, and twice the same; "font" is the font
    // command's. Before any colour is picked the system colours are written.
    m_fx->window.setText(QStringLiteral("Hello"));
    m_fx->window.setSpeedSelected(3, true);
    m_fx->window.setDirectionSelected(Direction::Right, true);
    for (int round = 0; round < 2; ++round) {
        m_commands->save();
        QCOMPARE(readFiles(), (Files{{"text", "\"Hello\"\r\n"},
                                     {"color", "\"-2147483640\",\"-2147483643\"\r\n"},
                                     {"speed", speedRecord(3)},
                                     {"dirct", "\"False\",\"True\"\r\n"}}));
    }
    m_fx->window.setSpeedSelected(3, false);
    m_commands->save();
    QCOMPARE(m_fx->dir.read("speed"), speedRecord(0)); // no level selected: twelve "False"

    m_fx->window.setText(QStringLiteral("a, \"b\"\r\nc \u00e9\u20ac\U0001F600 \"\""));
    m_fx->window.setSpeedSelected(12, true);
    QVERIFY(m_fx->window.setForeColour(Colours::systemColour(0)));
    QVERIFY(m_fx->window.setBackColour(0x123456));
    const QVariantMap saved = stateOf(m_fx->window);
    m_commands->save();

    // A fresh window and record, as at the next start.
    PlainWindow next;
    SettingsRecord record;
    SettingsCommands commands(next, record, m_fx->messages, m_fx->programEnd);
    commands.restoreAtStartup();
    QCOMPARE(stateDifferences(stateOf(next), with(saved, {{"fontSize", 320}})), QString());

    // Load in this run puts the saved state back after changes; Exit saves and ends.
    m_fx->window.setText(QStringLiteral("changed"));
    m_fx->window.setSpeedSelected(1, true);
    m_fx->window.setDirectionSelected(Direction::Left, true);
    m_commands->load();
    QCOMPARE(stateDifferences(stateOf(m_fx->window), saved), QString());
    m_fx->window.setText(QStringLiteral("bye"));
    m_commands->exit();
    QCOMPARE(m_fx->programEnd.requests, 1);
    QCOMPARE(m_fx->dir.read("text"), QByteArray("\"bye\"\r\n"));
    QVERIFY(!m_fx->dir.exists("font"));
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestSettingsCommands::loadReappliesRecordWhenFilesAreMissing()
{
    // Nothing read or written yet: Load empties the text and leaves the rest.
    m_fx->window.setText(QStringLiteral("typed"));
    m_fx->window.setSpeedSelected(2, true);
    m_commands->load();
    QCOMPARE(m_fx->window.text(), QString());
    QVERIFY(m_fx->window.isSpeedSelected(2));

    m_fx->window.setText(QStringLiteral("saved"));
    m_fx->window.setDirectionSelected(Direction::Right, true);
    m_commands->save();
    m_fx->record.backColour = QStringLiteral("255"); // as a colour command leaves it
    m_fx->record.fontName = QStringLiteral("Chosen");
    m_fx->record.fontSize = QStringLiteral("12");
    m_commands->deleteFiles();
    QVERIFY(readFiles().isEmpty());

    m_fx->window.setText(QStringLiteral("changed"));
    m_fx->window.setSpeedSelected(5, true);
    m_fx->window.setDirectionSelected(Direction::Left, true);
    m_commands->load();
    QCOMPARE(m_fx->window.text(), QStringLiteral("saved"));
    QVERIFY(m_fx->window.isSpeedSelected(2));
    QVERIFY(m_fx->window.isDirectionSelected(Direction::Right));
    QCOMPARE(m_fx->window.backColour(), 255);
    QCOMPARE(m_fx->window.font().name, QStringLiteral("Chosen"));
    QCOMPARE(m_fx->window.font().size, 12.0);
    QVERIFY(m_fx->messages.messages.isEmpty());
}

void TestSettingsCommands::deleteRemovesFiveFilesOnly()
{
    m_commands->deleteFiles(); // none there: nothing happens
    writeFiles(
        {{"text", "1"}, {"color", "2"}, {"speed", "3"}, {"dirct", "4"}, {"font", "5"}, {"other", "6"}});
    QVERIFY(QDir().mkdir(QStringLiteral("sub")));
    m_fx->dir.write(QStringLiteral("sub/text"), "7");
    const QVariantMap before = stateOf(m_fx->window);
    m_commands->deleteFiles();
    QCOMPARE(readFiles(), (Files{{"other", "6"}}));
    QVERIFY(m_fx->dir.exists("sub/text"));
    QCOMPARE(stateOf(m_fx->window), before);
    QVERIFY(m_fx->messages.messages.isEmpty());
}

// As the user "nobody" when run as root, who ignores permissions: the folder's and the
// files' modes, and settings names that are links to files elsewhere, of the user or of
// another user.
void TestSettingsCommands::permissionsAndLinks_data()
{
    QTest::addColumn<Links>("links");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QStringList>("unsaved");
    QTest::addColumn<QStringList>("undeleted");
    const QStringList all = kSavedNames;
    const QStringList none;
    QTest::newRow("read-only folder") << Links::None << 0555 << 0444 << "old" << all << all;
    QTest::newRow("writable files in a read-only folder")
        << Links::None << 0555 << 0644 << "old" << none << all;
    QTest::newRow("links of another user") << Links::Foreign << 0755 << 0644 << "" << all << none;
    QTest::newRow("own links, folder others may write to") << Links::Own << 0777 << 0644 << "" << all << none;
    QTest::newRow("own links, sticky folder") << Links::Own << 01777 << 0644 << "old" << none << none;
    QTest::newRow("own links, own folder") << Links::Own << 0755 << 0644 << "old" << none << none;
}

void TestSettingsCommands::permissionsAndLinks()
{
    QFETCH(Links, links);
    QFETCH(int, folderMode);
    QFETCH(int, fileMode);
    QFETCH(QString, loaded);
    QFETCH(QStringList, unsaved);
    QFETCH(QStringList, undeleted);
    const bool asRoot = ::geteuid() == 0;
    if (links == Links::Foreign && !asRoot)
        QSKIP("only root can give a link to another user");
    const auto give = [](const QString &path, uid_t user) {
        return ::lchown(QFile::encodeName(path).constData(), user, AsUnprivilegedUser::groupId()) == 0;
    };

    // The files, or the files elsewhere that the settings names lead to; everything
    // belongs to the user who runs the commands, but the links of another user.
    const QString target = links == Links::None ? QString() : QStringLiteral("elsewhere/");
    const QByteArray old("\"old\"\r\n");
    QVERIFY(target.isEmpty() || QDir().mkdir(target));
    QVERIFY(!asRoot || (give(QStringLiteral("."), AsUnprivilegedUser::userId()) &&
                        (target.isEmpty() || give(target, AsUnprivilegedUser::userId()))));
    for (const QString &name : kSavedNames) {
        m_fx->dir.write(target + name, old);
        QCOMPARE(::chmod(QFile::encodeName(target + name).constData(), mode_t(fileMode)), 0);
        QVERIFY(target.isEmpty() || QFile::link(target + name, name));
        QVERIFY(!asRoot || give(target + name, AsUnprivilegedUser::userId()));
        QVERIFY(!asRoot || target.isEmpty() ||
                give(name, links == Links::Own ? AsUnprivilegedUser::userId() : 0));
    }
    QCOMPARE(::chmod(".", mode_t(folderMode)), 0);
    const auto shownMessages = [this] {
        QStringList heads;
        for (const RecordingMessageBox::Message &message : std::as_const(m_fx->messages.messages))
            heads.append(message.text.section(QLatin1Char(':'), 0, 0));
        m_fx->messages.messages.clear();
        return heads;
    };
    const QStringList leftoverFilter{QStringLiteral("*tickora-save*")};
    const auto leftovers = QDir::AllEntries | QDir::Hidden | QDir::System;

    {
        std::optional<AsUnprivilegedUser> nobody;
        if (asRoot) {
            nobody.emplace();
            QVERIFY(nobody->isValid());
        }
        m_commands->load();
        QCOMPARE(m_fx->window.text(), loaded);

        m_fx->window.setText(QStringLiteral("new"));
        m_commands->save();
        QCOMPARE(shownMessages(), messageHeads(QStringLiteral("save"), unsaved));
        m_commands->exit();
        QCOMPARE(shownMessages(), messageHeads(QStringLiteral("save"), unsaved));
        QCOMPARE(m_fx->programEnd.requests, unsaved.isEmpty() ? 1 : 0);
        QCOMPARE(m_fx->dir.read(target + QStringLiteral("text")),
                 unsaved.isEmpty() ? QByteArray("\"new\"\r\n") : old);
        QCOMPARE(QDir().entryList(leftoverFilter, leftovers) +
                     QDir(target).entryList(leftoverFilter, leftovers),
                 QStringList());

        // Delete removes a link, never what it leads to.
        m_commands->deleteFiles();
        QCOMPARE(shownMessages(), messageHeads(QStringLiteral("delete"), undeleted));
        QCOMPARE(m_fx->dir.exists(target + QStringLiteral("text")),
                 !target.isEmpty() || !undeleted.isEmpty());
    }
    QCOMPARE(::chmod(".", 0700), 0);
}

void TestSettingsCommands::saveLeavesFifosAlone()
{
    // Reading one is the bad-input table's; Save replaces neither a FIFO named "text"
    // nor the FIFO that a link leads to.
    QVERIFY(makeFifo(m_fx->dir.filePath("text")));
    QVERIFY(QDir().mkdir(QStringLiteral("sub")));
    QVERIFY(makeFifo(m_fx->dir.filePath("sub/pipe")));
    QVERIFY(QFile::link(QStringLiteral("sub/pipe"), QStringLiteral("color")));
    m_fx->window.setText(QStringLiteral("written"));
    m_commands->save();
    QCOMPARE(m_fx->messages.messages.size(), 1);
    QVERIFY(m_fx->messages.messages.first().text.startsWith(
        QStringLiteral("Could not save \"text\", \"color\":")));
    QVERIFY(QFileInfo(QStringLiteral("text")).exists() && !QFileInfo(QStringLiteral("text")).isFile());
    QVERIFY(QFileInfo(QStringLiteral("sub/pipe")).exists() &&
            !QFileInfo(QStringLiteral("sub/pipe")).isFile());
    QCOMPARE(m_fx->dir.read("speed"), speedRecord(7));
}

QTEST_GUILESS_MAIN(TestSettingsCommands)
#include "tst_settingscommands.moc"
