// SPDX-License-Identifier: MIT
// Fuzz target: the display field. Each input is a script of steps for a fresh field in an
// offscreen application: new texts and rotations of them (any plane, combining runs,
// direction controls, line breaks), typing, deleting, caret and selection moves, clicks,
// composed text, undo and redo, font and size changes, and paints. Besides crashes and
// sanitizer reports it checks that the caret, the anchor and the position under any
// point never stand inside a character, and that every edit since the last new text
// undoes back to it and redoes to where it was.

#include "characters/characters.h"
#include "field/marqueefield.h"
#include "fuzzcheck.h"
#include "scroll/rotation.h"

#include <QApplication>
#include <QKeyEvent> // and the other events

namespace {

QWidget *window = nullptr; // that each input's field is put in

// Reads the input a few bits at a time, in order; past its end every answer is zero.
struct Script
{
    const std::uint8_t *data;
    std::size_t size;
    std::size_t next = 0;

    std::uint32_t byte() { return next < size ? data[next++] : 0; }
    bool bit() { return byte() & 1; }
    std::uint32_t below(std::uint32_t bound) { return word({byte(), byte(), byte()}) % bound; }
    // Three bytes, the first the highest; a braced list reads them in order.
    static std::uint32_t word(std::array<std::uint32_t, 3> b) { return b[0] << 16 | b[1] << 8 | b[2]; }
};

// A piece of text from the corners of Unicode that shaping and the characters unit find
// hard: scripts of either direction, runs of combining marks, joiners, direction
// controls, line breaks, any plane and lone surrogates.
QString textFrom(Script &script)
{
    static const QString kHard =
        u"\u0301\u0308\u05B4\u0651\u200D\u200C\u200E\u200F\u202A\u202B\u202C\u202D\u202E"
        u"\u2066\u2067\u2068\u2069\u061C\n\r\t\u2028\u2029\uFE0F\u1100\u1161\u11A8"
        u"\uFFFC\u0E33\u0BCD"_qs;
    QString text;
    for (std::uint32_t count = script.below(24); count > 0 && script.next < script.size; --count) {
        const std::uint32_t kind = script.byte();
        const char32_t any = kind % 8 == 5 ? script.below(0x110000) : 0;
        const char16_t letters[] = {char16_t(u'a' + kind / 8 % 26), char16_t(0x05D0 + kind / 8 % 27),
                                    char16_t(0x0627 + kind / 8 % 20), kHard[kind / 8 % 30].unicode()};
        if (kind % 8 < 4) // a Latin, Hebrew or Arabic letter, or a hard one
            text += QChar(letters[kind % 8]);
        else if (kind % 8 == 4) // a run of combining marks
            text += QString(int(kind / 8 % 12) + 1, QChar(u'\u0300' + kind % 7));
        else if (kind % 8 == 5) // anything, in any plane
            text += QString::fromUcs4(&any, 1);
        else if (kind % 8 == 6) // half of a pair on its own
            text += QChar(char16_t(0xD800 + (kind & 0x40 ? 0x400 : 0) + script.byte()));
        else // a family, a flag
            text += kind & 8 ? u"\U0001F468\u200D\U0001F469\u200D\U0001F467"_qs : u"\U0001F1E9\U0001F1EA"_qs;
    }
    return text;
}

// A fresh field, so that what an input finds replays from that input alone (the window
// it is put in, made once, keeps nothing of it), and the steps of the script on it.
struct Session : Script
{
    MarqueeField field{window};
    MarqueeEditor &editor = field.editor();
    const QString &text = editor.text();
    QString base; // what undoing every edit brings back
    Qt::KeyboardModifiers shift;

    Session(const std::uint8_t *data, std::size_t size) : Script{data, size} {}
    qsizetype position() { return qsizetype(below(std::uint32_t(text.size()) + 2)); }
    int x() { return int(below(440)) - 20; }
    bool isBetweenCharacters(qsizetype at) const { return Characters::startAtOrBefore(text, at) == at; }
    void send(QEvent &&event) { QCoreApplication::sendEvent(&field, &event); }
    void key(int key, Qt::KeyboardModifiers with) { send(QKeyEvent(QEvent::KeyPress, key, with | ctrl())); }
    Qt::KeyboardModifiers ctrl() { return bit() ? Qt::ControlModifier : Qt::NoModifier; }
    void setFont() { field.setFont(QFont(u"DejaVu Sans"_qs, std::array{9, 24, 72, 320}[below(4)])); }
    void setText(const std::optional<QString> &next) { base = next ? (field.setText(*next), text) : base; }
    void select(std::array<qsizetype, 2> ends) { editor.setSelection(ends[0], ends[1]); }
    void replace(std::array<qsizetype, 2> ends) { editor.replace(ends[0], ends[1], textFrom(*this)); }
    void click(QPointF at) { press(QEvent::MouseButtonPress, at), press(QEvent::MouseButtonRelease, at); }
    void press(QEvent::Type type, QPointF at)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        send(QMouseEvent(type, at, field.mapToGlobal(at), Qt::LeftButton, held, shift));
    }
    void compose(const QString &composing)
    {
        send(QInputMethodEvent(composing,
                               {{QInputMethodEvent::Cursor, int(below(composing.size() + 1)), 1, {}}}));
        (void)field.grab();
        QInputMethodEvent commit; // committed or dropped
        commit.setCommitString(bit() ? composing : QString());
        send(std::move(commit));
    }
    void step()
    {
        static constexpr int kMoves[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End};
        const std::function<void()> steps[] = {
            [&] { setText(textFrom(*this)); },
            [&] { setText(bit() ? Rotation::left(text) : Rotation::right(text)); },
            [&] { send(QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, textFrom(*this))); },
            [&] { key(kMoves[below(4)], shift); },
            [&] { key(bit() ? Qt::Key_Backspace : Qt::Key_Delete, Qt::NoModifier); },
            [&] { field.setCursorPosition(position()); },
            [&] {
                select({position(), position()});
            },
            [&] {
                replace({position(), position()});
            },
            [&] { editor.undo(); },
            [&] { editor.redo(); },
            [&] { compose(textFrom(*this)); },
            [&] { click(QPointF(x(), field.height() / 2)); },
            [&] { setFont(); },
            [&] { field.resize(int(below(600)) + 20, field.height()); },
            [&] { editor.selectAll(), bit() ? editor.cut() : void(); },
            [&] { (void)field.grab(); },
        };
        shift = bit() ? Qt::ShiftModifier : Qt::NoModifier;
        steps[byte() % 16]();
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Both live until the process ends: destroyed at exit, after the toolkit's own statics,
    // they would take them down with them.
    new QApplication(*argc, *argv);
    window = new QWidget;
    window->show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Session session(data, size);
    session.field.resize(400, 120);
    session.field.show();
    session.field.setFocus();
    session.setFont();
    session.setText(textFrom(session));
    const QString &text = session.text;
    const MarqueeDocument &document = session.editor.document();
    for (int step = 0; step < 64 && session.next < size; ++step) {
        session.step();
        FUZZ_CHECK(session.isBetweenCharacters(document.cursor()));
        FUZZ_CHECK(session.isBetweenCharacters(document.anchor()));
        FUZZ_CHECK(session.isBetweenCharacters(session.field.positionAt(QPoint(session.x(), 10))));
        (void)session.field.cursorRect(), (void)session.field.characterRect(session.position());
    }
    (void)session.field.grab();

    // Every edit since the last new text undoes back to it, and redoes to where it was.
    const QString edited = text;
    int undone = 0;
    for (; document.canUndo(); ++undone)
        session.editor.undo();
    FUZZ_CHECK(text == session.base);
    for (int step = 0; step < undone; ++step)
        session.editor.redo();
    FUZZ_CHECK(text == edited);
    return 0;
}
