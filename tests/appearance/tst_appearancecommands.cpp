// SPDX-License-Identifier: MIT
#include "appearance/appearancecommands.h"
#include "corefixture.h"

#include <QDir>
#include <QTest>

Q_DECLARE_METATYPE(ScriptedDialog::Answer)

// The colour, font and Clear commands on the plain window, with the dialog scripted.
class TestAppearanceCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<CoreFixture>();
        QVERIFY(m_fx->dir.isValid());
        m_commands =
            std::make_unique<AppearanceCommands>(m_fx->window, m_fx->dialog, m_fx->record, m_fx->messages);
    }

    void cleanup()
    {
        QVERIFY(m_fx->dialog.allAnswersUsed());
        QVERIFY(m_fx->messages.messages.isEmpty());
        // A colour or a Clear reaches a file only by Save or Exit; only the font command writes one.
        const QStringList files = QDir::current().entryList(QDir::Files);
        QVERIFY(files.isEmpty() || files == QStringList{u"font"_qs});
        m_commands.reset();
        m_fx.reset();
    }

    void colours()
    {
        // Each dialog opens on the last colour picked in either, not on the field's own; a
        // pick is applied and recorded as its number, a system colour as its negative one;
        // Cancel and a value that is no colour change nothing.
        m_fx->window.setBackColour(Colours::rgb(0, 0, 255));
        m_fx->record.foreColour = m_fx->record.backColour = QStringLiteral("77");
        const ColourValue fore = m_fx->window.foreColour();
        const struct
        {
            bool fore;
            ScriptedDialog::Answer answer;
            QString recordedFore, recordedBack;
        } steps[]{
            {true, Colours::rgb(255, 0, 0), u"255"_qs, u"77"_qs},
            {false, ScriptedDialog::Cancel{}, u"255"_qs, u"77"_qs},
            {false, Colours::rgb(0x11, 0x22, 0x33), u"255"_qs, u"3351057"_qs},
            {false, ColourValue{0x1000000}, u"255"_qs, u"3351057"_qs},
            {true, ScriptedDialog::Cancel{}, u"255"_qs, u"3351057"_qs},
            {true, Colours::systemColour(15), u"-2147483633"_qs, u"3351057"_qs},
        };
        for (const auto &step : steps) {
            m_fx->dialog.expect(step.answer);
            step.fore ? m_commands->chooseForeColour() : m_commands->chooseBackColour();
            QCOMPARE(m_fx->dialog.calls().constLast().kind, ScriptedDialog::Kind::Colour);
            QCOMPARE(m_fx->record.foreColour, step.recordedFore);
            QCOMPARE(m_fx->record.backColour, step.recordedBack);
            QCOMPARE(m_fx->window.foreColour(),
                     step.recordedFore == u"77" ? fore : step.recordedFore.toInt());
            QCOMPARE(m_fx->window.backColour(),
                     step.recordedBack == u"77" ? Colours::rgb(0, 0, 255) : step.recordedBack.toInt());
        }
        QList<ColourValue> offered;
        for (const ScriptedDialog::Call &call : m_fx->dialog.calls())
            offered << call.colour;
        const ColourValue red = Colours::rgb(255, 0, 0);
        const ColourValue dark = Colours::rgb(0x11, 0x22, 0x33);
        QCOMPARE(offered.mid(1, 3), (QList<ColourValue>{red, red, dark}));
    }

    void font_data()
    {
        QTest::addColumn<ScriptedDialog::Answer>("answer");
        QTest::addColumn<MarqueeFont>("applied");
        QTest::addColumn<QByteArray>("fontFile");
        const MarqueeFont initial = PlainWindow().font();
        QTest::newRow("10.5 bold underlined")
            << ScriptedDialog::Answer(MarqueeFont{u"Liberation Sans"_qs, 10.5, true, false, true})
            << MarqueeFont{u"Liberation Sans"_qs, 10.5, true, false, true}
            << QByteArray("\"Liberation Sans\",\"10.5\",\"True\",\"False\",\"True\"\r\n");
        QTest::newRow("12.3 in single precision, a comma in the name")
            << ScriptedDialog::Answer(MarqueeFont{u"Odd, Face"_qs, 12.3, false, true, false})
            << MarqueeFont{u"Odd, Face"_qs, double(12.3f), false, true, false}
            << QByteArray("\"Odd, Face\",\"12.3\",\"False\",\"True\",\"False\"\r\n");
        // Cancel still writes the file, with what the record holds: nothing picked yet.
        QTest::newRow("cancel") << ScriptedDialog::Answer(ScriptedDialog::Cancel{}) << initial
                                << QByteArray("\"\",\"\",\"\",\"\",\"\"\r\n");
        // The field refuses the size: the name stays applied and recorded, the rest is neither.
        MarqueeFont named = initial;
        named.name = QStringLiteral("Serif");
        QTest::newRow("size refused")
            << ScriptedDialog::Answer(MarqueeFont{u"Serif"_qs, 0.5, false, true, true}) << named
            << QByteArray("\"Serif\",\"\",\"\",\"\",\"\"\r\n");
    }

    void font()
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

    void fontFileFailureReported()
    {
        // A folder in the way cannot be replaced, not even by root: the font still applies.
        QVERIFY(QDir::current().mkdir(QStringLiteral("font")));
        const MarqueeFont serif{QStringLiteral("Serif"), 30, true, false, false};
        m_fx->dialog.expect(serif);
        m_commands->chooseFont();
        QCOMPARE(m_fx->window.font(), serif);
        QCOMPARE(m_fx->record.fontSize, QStringLiteral("30"));
        const QList<RecordingMessageBox::Message> messages = std::exchange(m_fx->messages.messages, {});
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].icon, MessageBox::Icon::Warning);
        QVERIFY(messages[0].text.contains(
            QDir::toNativeSeparators(QDir::current().absoluteFilePath(u"font"_qs))));
    }

    void clearEmptiesOnlyTheText()
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
    }

private:
    std::unique_ptr<CoreFixture> m_fx;
    std::unique_ptr<AppearanceCommands> m_commands;
};

QTEST_GUILESS_MAIN(TestAppearanceCommands)
#include "tst_appearancecommands.moc"
