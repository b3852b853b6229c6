// SPDX-License-Identifier: MIT
#include "corefixture.h"
#include "settings/hostilefiles.h"
#include "settings/settingscommands.h"
#include "windowstate.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

using Files = QMap<QString, QByteArray>;

namespace {

QByteArray speedRecord(int selected)
{
    QByteArrayList values;
    for (int level = 1; level <= kSpeedLevelCount; ++level)
        values.append(level == selected ? "\"True\"" : "\"False\"");
    return values.join(',') + "\r\n";
}

// The state after a restore with no files, the initial values with the preset size, and
// the changes given.
QVariantMap restoredDefaults(const QVariantMap &changes = {})
{
    PlainWindow window;
    window.setFontSize(320);
    QVariantMap state = stateOf(window);
    state.insert(changes);
    return state;
}

const QStringList kSavedNames{u"text"_qs, u"color"_qs, u"speed"_qs, u"dirct"_qs};

enum class Links { None, Own, Foreign };

} // namespace

Q_DECLARE_METATYPE(Links)

class TestSettingsCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { m_fx.reset(); }
    void restore_data();
    void restore();
    void saveThenLoadRoundTrip();
    void loadReappliesRecordWhenFilesAreMissing();
    void permissionsAndLinks_data();
    void permissionsAndLinks();

private:
    [[nodiscard]] Files readFiles() const
    {
        Files files;
        for (const QString &name : QDir().entryList(QDir::Files))
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

void TestSettingsCommands::restore_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QVariantMap>("expected");
    const auto add = [](const char *name, const Files &files, const QVariantMap &changes) {
        QTest::newRow(name) << files << restoredDefaults(changes);
    };
    add("no files", {}, {});
    add("font of five empty values", {{"font", "\"\",\"\",\"\",\"\",\"\"\r\n"}}, {});
    add("garbled font", {{"font", "\"  \",\"0\",\"maybe\",\"-1\",\"nan\"\r\n"}}, {{"italic", true}});
    add("all speeds false", {{"speed", speedRecord(0)}}, {{"speed", 0}});
    add("two speeds true: the later",
        {{"speed",
          "\"False\",\"1\",\"False\",\"False\",\"False\",\"False\",\"False\",\"False\",\"TRUE\"\r\n"}},
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
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        m_fx->dir.write(it.key(), it.value());
    m_commands->restoreAtStartup();
    QCOMPARE(stateDifferences(stateOf(m_fx->window), expected), QString());
    QVERIFY(m_fx->messages.messages.isEmpty());
    QVERIFY(!m_fx->window.isScrollTimerEnabled());
}

void TestSettingsCommands::saveThenLoadRoundTrip()
{
    // Save writes four files byte for byte; "font" is the font command's. Before any colour
    // is picked the system colours are written. Which file each value goes to, and back,
    // is the bad-input table's.
    PlainWindow &window = m_fx->window;
    window.setText(u"Hello"_qs);
    window.setSpeedSelected(3, true);
    window.setDirectionSelected(Direction::Right, true);
    m_commands->save();
    QCOMPARE(readFiles(), (Files{{"text", "\"Hello\"\r\n"},
                                 {"color", "\"-2147483640\",\"-2147483643\"\r\n"},
                                 {"speed", speedRecord(3)},
                                 {"dirct", "\"False\",\"True\"\r\n"}}));

    window.setText(u"a, \"b\"\r\nc \u00e9\u20ac\U0001F600 \"\""_qs);
    window.setSpeedSelected(1, true);
    QVERIFY(window.setForeColour(Colours::systemColour(0)) && window.setBackColour(0x123456));
    const QVariantMap saved = stateOf(window);
    m_commands->save();

    // A fresh window and record, as at the next start.
    CoreFixture next;
    QDir::setCurrent(m_fx->dir.path());
    SettingsCommands(next.window, next.record, next.messages, next.programEnd).restoreAtStartup();
    QVariantMap restored = saved;
    restored.insert(u"fontSize"_qs, 320);
    QCOMPARE(stateDifferences(stateOf(next.window), restored), QString());

    // Load in this run puts the saved state back after changes; Exit saves and ends.
    window.setText(u"changed"_qs);
    window.setSpeedSelected(12, true);
    window.setDirectionSelected(Direction::Left, true);
    m_commands->load();
    QCOMPARE(stateDifferences(stateOf(window), saved), QString());
    window.setText(u"bye"_qs);
    m_commands->exit();
    QCOMPARE(m_fx->programEnd.requests, 1);
    QCOMPARE(m_fx->dir.read("text"), QByteArray("\"bye\"\r\n"));
    QVERIFY(!m_fx->dir.exists("font") && m_fx->messages.messages.isEmpty());
}

void TestSettingsCommands::loadReappliesRecordWhenFilesAreMissing()
{
    // Nothing read or written yet: Load empties the text and leaves the rest.
    PlainWindow &window = m_fx->window;
    window.setText(u"typed"_qs);
    window.setSpeedSelected(2, true);
    m_commands->load();
    QCOMPARE(window.text(), QString());
    QVERIFY(window.isSpeedSelected(2));

    // Delete removes the five files, none else; Load then applies what the record holds.
    window.setText(u"saved"_qs);
    window.setDirectionSelected(Direction::Right, true);
    m_commands->save();
    m_fx->record.backColour = u"255"_qs; // as a colour command leaves it
    m_fx->record.fontName = u"Chosen"_qs;
    m_fx->record.fontSize = u"12"_qs;
    m_fx->dir.write(u"font"_qs, "5");
    m_fx->dir.write(u"other"_qs, "6");
    QVERIFY(QDir().mkdir(u"sub"_qs));
    m_fx->dir.write(u"sub/text"_qs, "7");
    m_commands->deleteFiles();
    QCOMPARE(readFiles(), (Files{{"other", "6"}}));
    QVERIFY(m_fx->dir.exists("sub/text"));
    QCOMPARE(window.text(), u"saved"_qs);

    window.setText(u"changed"_qs);
    window.setSpeedSelected(5, true);
    window.setDirectionSelected(Direction::Left, true);
    m_commands->load();
    QCOMPARE(stateDifferences(stateOf(window), restoredDefaults({{"text", "saved"},
                                                                 {"speed", 2},
                                                                 {"direction", 2},
                                                                 {"back", 255},
                                                                 {"fontName", "Chosen"},
                                                                 {"fontSize", 12}})),
             QString());
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
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("read-only folder") << Links::None << 0555 << 0444 << "old" << false << false;
    QTest::newRow("writable files in a read-only folder")
        << Links::None << 0555 << 0644 << "old" << true << false;
    QTest::newRow("links of another user") << Links::Foreign << 0755 << 0644 << "" << false << true;
    QTest::newRow("own links, folder others may write to")
        << Links::Own << 0777 << 0644 << "" << false << true;
    QTest::newRow("own links, sticky folder") << Links::Own << 01777 << 0644 << "old" << true << true;
    QTest::newRow("own links, own folder") << Links::Own << 0755 << 0644 << "old" << true << true;
}

void TestSettingsCommands::permissionsAndLinks()
{
    QFETCH(Links, links);
    QFETCH(int, folderMode);
    QFETCH(int, fileMode);
    QFETCH(QString, loaded);
    QFETCH(bool, saved);
    QFETCH(bool, deleted);
    const bool asRoot = ::geteuid() == 0;
    if (links == Links::Foreign && !asRoot)
        QSKIP("only root can give a link to another user");
    const auto give = [asRoot](const QString &path, uid_t user) {
        return !asRoot || path.isEmpty() ||
               ::lchown(QFile::encodeName(path).constData(), user, AsUnprivilegedUser::groupId()) == 0;
    };

    // The files, or the files elsewhere that the settings names lead to; everything
    // belongs to the user who runs the commands, but the links of another user.
    const QString target = links == Links::None ? QString() : u"elsewhere/"_qs;
    QVERIFY(target.isEmpty() || QDir().mkdir(target));
    QVERIFY(give(u"."_qs, AsUnprivilegedUser::userId()) && give(target, AsUnprivilegedUser::userId()));
    for (const QString &name : kSavedNames) {
        m_fx->dir.write(target + name, "\"old\"\r\n");
        QCOMPARE(::chmod(QFile::encodeName(target + name).constData(), mode_t(fileMode)), 0);
        QVERIFY(give(target + name, AsUnprivilegedUser::userId()));
        QVERIFY(target.isEmpty() || (QFile::link(target + name, name) &&
                                     give(name, links == Links::Own ? AsUnprivilegedUser::userId() : 0)));
    }
    QCOMPARE(::chmod(".", mode_t(folderMode)), 0);
    // The one message a command shows names every file it could not write or remove.
    const auto shownMessages = [this] {
        QStringList heads;
        for (const RecordingMessageBox::Message &message : std::as_const(m_fx->messages.messages))
            heads << message.text.section(':', 0, 0);
        m_fx->messages.messages.clear();
        return heads;
    };
    const auto failed = [](const char *verb, bool done) {
        return done ? QStringList()
                    : QStringList{
                          QStringLiteral("Could not %1 \"text\", \"color\", \"speed\", \"dirct\"").arg(verb)};
    };
    {
        const AsUnprivilegedUser nobody;
        QVERIFY(nobody.isValid());
        m_commands->load();
        QCOMPARE(m_fx->window.text(), loaded);
        m_fx->window.setText(u"new"_qs);
        m_commands->save();
        QCOMPARE(shownMessages(), failed("save", saved));
        m_commands->exit();
        QCOMPARE(shownMessages(), failed("save", saved));
        QCOMPARE(m_fx->programEnd.requests, saved ? 1 : 0);
        QCOMPARE(m_fx->dir.read(target + u"text"_qs), saved ? "\"new\"\r\n" : "\"old\"\r\n");
        const QStringList leftoverFilter{u"*tickora-save*"_qs};
        const auto leftovers = QDir::AllEntries | QDir::Hidden | QDir::System;
        QCOMPARE(QDir().entryList(leftoverFilter, leftovers) +
                     QDir(target).entryList(leftoverFilter, leftovers),
                 QStringList());

        // Delete removes a link, never what it leads to.
        m_commands->deleteFiles();
        QCOMPARE(shownMessages(), failed("delete", deleted));
        QCOMPARE(m_fx->dir.exists(target + u"text"_qs), !target.isEmpty() || !deleted);
    }
    QCOMPARE(::chmod(".", 0700), 0);
}

QTEST_GUILESS_MAIN(TestSettingsCommands)
#include "tst_settingscommands.moc"
