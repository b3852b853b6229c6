// SPDX-License-Identifier: MIT
#include "field/marqueeeditor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr qsizetype kLongest = 65535;

// The text without its caret, written as '|', and its anchor, written as '^' when there is
// a selection.
QString unmarked(QString marked)
{
    return marked.remove(u'|').remove(u'^');
}

QString marked(const MarqueeDocument &document)
{
    QString text = document.text();
    const bool selects = document.hasSelection();
    if (selects && document.anchor() > document.cursor())
        text.insert(document.anchor(), u'^');
    text.insert(document.cursor(), u'|');
    if (selects && document.anchor() < document.cursor())
        text.insert(document.anchor(), u'^');
    return text;
}

void start(MarqueeEditor &editor, const QString &marked)
{
    const qsizetype caret = marked.indexOf(u'|');
    const qsizetype anchor = marked.indexOf(u'^');
    editor.setText(unmarked(marked));
    if (anchor < 0)
        editor.setSelection(caret, caret);
    else
        editor.setSelection(anchor < caret ? anchor : anchor - 1, anchor < caret ? caret - 1 : caret);
}

// A key press as the keyboard sends it: its name as a key sequence spells it ("Ctrl+Del",
// "x"), with the letter of a printable key as its text, whatever the modifiers.
QKeyEvent keyPress(const QString &name)
{
    const QKeyCombination combination = QKeySequence::fromString(name, QKeySequence::PortableText)[0];
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    const int key = int(combination.key());
    QString text;
    if (key < Qt::Key_Escape)
        text = modifiers & Qt::ShiftModifier ? QString(QChar(key)).toUpper() : QString(QChar(key)).toLower();
    return QKeyEvent(QEvent::KeyPress, key, modifiers, text);
}

bool press(MarqueeEditor &editor, const QString &name)
{
    const QKeyEvent event = keyPress(name);
    return editor.handleKey(&event);
}

} // namespace

class TestMarqueeEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("clip")); }
    void keys_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("clipboard");
        const auto row = [](const QByteArray &name, const QString &before, const char *keys,
                            const QString &after, const char *clipboard = "clip") {
            QTest::newRow(name.constData())
                << before << QString::fromLatin1(keys) << after << QString::fromLatin1(clipboard);
        };
        row("typing", "ab|c", "x Shift+Y", "abxY|c");
        row("typing replaces the selection", "a^bc|d", "x", "ax|d");
        row("Left at the start", "|abc", "Left", "|abc");
        row("Right at the end", "abc|", "Right", "abc|");
        row("Left ends a selection at its start", "a^bc|d", "Left", "a|bcd");
        row("Right ends a selection at its end", "a|bc^d", "Right", "abc|d");
        row("Shift+Right, Shift+Left", "a|bcd", "Shift+Right Shift+Right Shift+Left", "a^b|cd");
        row("Home", "ab|c", "Home", "|abc");
        row("End", "a|bc", "End", "abc|");
        row("Shift+Home", "ab|c", "Shift+Home", "|ab^c");
        row("Shift+End", "a|bc", "Shift+End", "a^bc|");
        row("Ctrl+Home, Ctrl+Shift+End", "a|bc", "Ctrl+Home Ctrl+Shift+End", "^abc|");
        row("Ctrl+Right", " |one two,  three ", "Ctrl+Right Ctrl+Right", " one two|,  three ");
        row("Ctrl+Left", " one two|,  three ", "Ctrl+Left", " one |two,  three ");
        row("Ctrl+Shift+Left", " one |two", "Ctrl+Shift+Left", " |one ^two");
        row("Ctrl+Shift+Right", " |one two", "Ctrl+Shift+Right", " ^one |two");
        const QString word(100, u'w'); // longer than the window first looked at
        row("Ctrl+Right over a long word", "|" + word + " x", "Ctrl+Right", word + " |x");
        row("Ctrl+Left over a long word", "x " + word + "|", "Ctrl+Left", "x |" + word);
        row("Backspace", "ab|c", "Backspace", "a|c");
        row("Backspace at the start", "|abc", "Backspace", "|abc");
        row("Delete", "a|bc", "Del", "a|c");
        row("Delete at the end", "abc|", "Del", "abc|");
        row("Delete takes the selection", "a^bc|d", "Del", "a|d");
        row("Ctrl+Delete", "one |two three", "Ctrl+Del", "one |three");
        row("Ctrl+Backspace", "one two| three", "Ctrl+Backspace", "one | three");
        row("Ctrl+A", "ab|c", "Ctrl+A", "^abc|");
        row("Ctrl+C", "a^bc|d", "Ctrl+C", "a^bc|d", "bc");
        row("Ctrl+C without a selection", "ab|cd", "Ctrl+C", "ab|cd");
        row("Ctrl+X", "a^bc|d", "Ctrl+X", "a|d", "bc");
        row("Ctrl+V", "a|d", "Ctrl+V", "aclip|d");
        row("Ctrl+V over a selection", "a^bc|d", "Ctrl+V", "aclip|d");
        // A run of typing and a run of Backspace are one step each.
        row("undo", "base|", "a b c Backspace Backspace Ctrl+Z", "baseabc|");
        row("undo twice", "base|", "a b c Backspace Backspace Ctrl+Z Ctrl+Z", "base|");
        row("undo a paste", "a|d", "x Ctrl+V Ctrl+Z", "ax|d");
        row("redo", "base|", "a b Ctrl+Z Ctrl+Shift+Z", "baseab|");
        row("a new edit drops the redo", "base|", "a Ctrl+Z Home x Ctrl+Shift+Z", "x|base");
        row("undo restores the selection", "a^bc|d", "x Ctrl+Z", "a^bc|d");
        row("Ctrl+letter types nothing, the window's keys do nothing", "ab|",
            "Ctrl+Q Alt+W Return Enter Esc F1", "ab|");
        row("keypad keys are typed", "a|b", "Num+5", "a5|b");
        row("moving ends a run of typing", "base|", "a Left Right b Ctrl+Z", "basea|");

        // Whole characters: Backspace, Delete and the arrows take or pass exactly one.
        const QList<std::pair<const char *, QString>> characters{
            {"accent", QStringLiteral("e\u0301")},
            {"family", QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467")},
            {"flag", QStringLiteral("\U0001F1EB\U0001F1F7")},
            {"skin tone", QStringLiteral("\U0001F44D\U0001F3FD")},
            {"clef", QStringLiteral("\U0001D11E")},
            {"CR LF", QStringLiteral("\r")},
        };
        for (const auto &[name, c] : characters) {
            // "CR LF" stands for a CR before an LF: each is a character of its own.
            const QString next = c == u"\r" ? QStringLiteral("\n") : c;
            const QByteArray tag = QByteArray(name) + ": ";
            row(tag + "Backspace", c + next + "|", "Backspace", c + "|");
            row(tag + "Delete", "|" + c + next, "Del", "|" + next);
            row(tag + "Right", "|" + c + next, "Right", c + "|" + next);
            row(tag + "Shift+Left", c + next + "|", "Shift+Left", c + "|" + next + "^");
        }
    }

    void keys()
    {
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(QString, clipboard);
        MarqueeEditor editor(kLongest);
        start(editor, before);
        // The editor claims and uses its own keys before the window's shortcuts see them, and
        // no others.
        const QStringList windowKeys{"Return", "Enter", "Esc", "F1", "Ctrl+Q", "Alt+W"};
        for (const QString &key : keys.split(u' ')) {
            const QKeyEvent event = keyPress(key);
            QCOMPARE(MarqueeEditor::isOwnKey(&event), !windowKeys.contains(key));
            QCOMPARE(editor.handleKey(&event), !windowKeys.contains(key));
        }
        QCOMPARE(marked(editor.document()), after);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    }

    void lengthIsCapped()
    {
        // What does not fit is cut, never between the halves of a character.
        MarqueeEditor editor(6);
        start(editor, QStringLiteral("ab|cd"));
        for (const char *key : {"x", "y", "z"})
            QVERIFY(press(editor, QString::fromLatin1(key)));
        QCOMPARE(marked(editor.document()), QStringLiteral("abxy|cd"));
        QGuiApplication::clipboard()->setText(QStringLiteral("\U0001D11E"));
        start(editor, QStringLiteral("abcde|"));
        QVERIFY(press(editor, QStringLiteral("Ctrl+V")));
        QCOMPARE(editor.text(), QStringLiteral("abcde"));
        editor.setText(QStringLiteral("abc\U0001F1EB\U0001F1F7"));
        QCOMPARE(editor.text(), QStringLiteral("abc"));
        // A caret put inside a character stands at its start.
        editor.setText(QStringLiteral("a\U0001F44D\U0001F3FDb"));
        editor.setSelection(2, 5);
        QCOMPARE(marked(editor.document()), QStringLiteral("a^\U0001F44D\U0001F3FD|b"));
    }

    void inputMethod_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("composing");
        QTest::addColumn<int>("composingCursor");
        QTest::addColumn<QString>("commit");
        QTest::addColumn<int>("replaceFrom");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("shownCursor");
        const auto row = [](const char *name, const char *before, const char *composing, int cursor,
                            const char *commit, int from, const char *after, int shown) {
            QTest::newRow(name) << QString::fromUtf8(before) << QString::fromUtf8(composing) << cursor
                                << QString::fromUtf8(commit) << from << QString::fromUtf8(after) << shown;
        };
        row("composing", "a|b", "xyz", 1, "", 0, "a|b", 1);
        row("caret at the end", "a|b", "xyz", 3, "", 0, "a|b", 3);
        row("no caret given", "a|b", "xyz", -1, "", 0, "a|b", 3);
        row("composing replaces the selection", "a^bc|d", "x", 1, "", 0, "a|d", 1);
        row("commit", "a|b", "", -1, "\u00E9", 0, "a\u00E9|b", 0);
        row("commit replaces the selection", "a^bc|d", "", -1, "e", 0, "ae|d", 0);
        row("commit before the caret", "a\u00E9|b", "", -1, "E", -1, "aE|b", 0);
    }

    void inputMethod()
    {
        QFETCH(QString, before);
        QFETCH(QString, composing);
        QFETCH(int, composingCursor);
        QFETCH(QString, commit);
        QFETCH(int, replaceFrom);
        QFETCH(QString, after);
        QFETCH(int, shownCursor);
        MarqueeEditor editor(kLongest);
        start(editor, before);
        QList<QInputMethodEvent::Attribute> attributes;
        if (composingCursor >= 0)
            attributes.append({QInputMethodEvent::Cursor, composingCursor, 1, {}});
        QInputMethodEvent event(composing, attributes);
        event.setCommitString(commit, replaceFrom, replaceFrom ? 1 : 0);
        editor.handleInputMethod(&event);
        QCOMPARE(marked(editor.document()), after);
        QCOMPARE(editor.composition(), composing);
        QCOMPARE(editor.compositionCursor(), shownCursor);
        // What came in is undone as edits; the composition is none.
        while (editor.document().canUndo())
            editor.undo();
        QCOMPARE(editor.text(), unmarked(before));
    }

    void inputMethodSeesTextNearTheCaret()
    {
        const QString caret = QStringLiteral("<caret>");
        const QString text = QString(40000, u'a') + caret + QString(kLongest - 40000 - caret.size(), u'b');
        MarqueeEditor editor(kLongest);
        editor.setText(text);
        editor.moveCursor(text.indexOf(u'>'), MarqueeDocument::Move::Jump);
        const QString surrounding = editor.inputMethodQuery(Qt::ImSurroundingText).toString();
        const int position = editor.inputMethodQuery(Qt::ImCursorPosition).toInt();
        QVERIFY(surrounding.size() < 4096);
        QCOMPARE(surrounding.mid(position - 6, 7), caret);
        QCOMPARE(editor.inputMethodQuery(Qt::ImTextBeforeCursor).toString().right(6), caret.first(6));
        QCOMPARE(editor.inputMethodQuery(Qt::ImTextAfterCursor).toString().left(2), QStringLiteral(">b"));
        QCOMPARE(editor.inputMethodQuery(Qt::ImAbsolutePosition).toInt(), text.indexOf(u'>'));
        QCOMPARE(editor.inputMethodQuery(Qt::ImMaximumTextLength).toInt(), kLongest);

        // A selection the input method asks for is counted within the text it was given.
        QInputMethodEvent selecting(QString(), {{QInputMethodEvent::Selection, position - 5, 5, {}}});
        editor.handleInputMethod(&selecting);
        QCOMPARE(editor.inputMethodQuery(Qt::ImCurrentSelection).toString(), QStringLiteral("caret"));
        QCOMPARE(editor.inputMethodQuery(Qt::ImAnchorPosition).toInt(), position - 5);
    }

    void editsAreSignalled()
    {
        // What an edit changed goes out for assistive technology; a move changes nothing.
        MarqueeEditor editor(kLongest);
        QSignalSpy edits(&editor, &MarqueeEditor::edited);
        start(editor, QStringLiteral("ab^cd|"));
        QVERIFY(press(editor, QStringLiteral("x")) && press(editor, QStringLiteral("Left")));
        QCOMPARE(edits.size(), 1);
        const auto change = edits.constFirst().constFirst().value<MarqueeDocument::Change>();
        QCOMPARE(std::tuple(change.position, change.removed, change.inserted),
                 std::tuple(qsizetype(2), QStringLiteral("cd"), QStringLiteral("x")));
    }
};

QTEST_MAIN(TestMarqueeEditor)
#include "tst_marqueeeditor.moc"
