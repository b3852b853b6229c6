// SPDX-License-Identifier: MIT
// Fuzz target: the display field. Each input is a script of steps for one field, made
// once in an offscreen application: new texts and rotations of them (any plane,
// combining runs, direction controls, line breaks), typing, deleting, caret and
// selection moves, clicks, composed text, undo and redo, font and size changes, and
// paints. Besides crashes and sanitizer reports it checks that the caret and the anchor
// never stand inside a character, that every edit since the last new text undoes back to
// it and redoes to where it was, and that a point in the field maps to a caret position.

#include "characters/characters.h"
#include "field/marqueefield.h"
#include "fuzzcheck.h"
#include "scroll/rotation.h"
#include "window/initialstate.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cstdint>

namespace {

// Reads the input a few bits at a time; past its end every answer is zero.
class Script
{
public:
    Script(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    [[nodiscard]] bool atEnd() const { return m_next >= m_size; }
    std::uint32_t byte() { return m_next < m_size ? m_data[m_next++] : 0; }
    std::uint32_t below(std::uint32_t bound) { return bound == 0 ? 0 : word() % bound; }
    std::uint32_t word()
    {
        const std::uint32_t high = byte();
        return (high << 16) | (byte() << 8) | byte();
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_next = 0;
};

// A piece of text from the corners of Unicode that shaping and the characters unit find
// hard: scripts of either direction, runs of combining marks, joiners, direction
// controls, line breaks, any plane and lone surrogates.
QString textFrom(Script &script)
{
    static const char16_t kHard[] = {u'\u0301', u'\u0308', u'\u05B4', u'\u0651', u'\u200D', u'\u200C',
                                     u'\u200E', u'\u200F', u'\u202A', u'\u202B', u'\u202C', u'\u202D',
                                     u'\u202E', u'\u2066', u'\u2067', u'\u2068', u'\u2069', u'\u061C',
                                     u'\n',     u'\r',     u'\t',     u'\u2028', u'\u2029', u'\uFE0F',
                                     u'\u1100', u'\u1161', u'\u11A8', u'\uFFFC', u'\u0E33', u'\u0BCD'};
    QString text;
    const std::uint32_t length = script.below(24);
    for (std::uint32_t index = 0; index < length && !script.atEnd(); ++index) {
        const std::uint32_t kind = script.byte();
        switch (kind % 8) {
        case 0:
            text += QChar(u'a' + kind / 8 % 26);
            break;
        case 1:
            text += QChar(char16_t(0x05D0 + kind / 8 % 27)); // Hebrew letters
            break;
        case 2:
            text += QChar(char16_t(0x0627 + kind / 8 % 20)); // Arabic letters
            break;
        case 3:
            text += QChar(kHard[kind / 8 % std::size(kHard)]);
            break;
        case 4: // a run of combining marks
            text += QString(int(kind / 8 % 12) + 1, QChar(u'\u0300' + kind % 7));
            break;
        case 5: { // anything, in any plane
            const char32_t codePoint = script.word() % 0x110000;
            text += QString::fromUcs4(&codePoint, 1);
            break;
        }
        case 6: // half of a pair on its own
            text += QChar(char16_t(0xD800 + (kind & 0x40 ? 0x400 : 0) + script.byte()));
            break;
        default: // a family, a flag
            text += kind & 8 ? QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467")
                             : QStringLiteral("\U0001F1E9\U0001F1EA");
            break;
        }
    }
    return text;
}

bool isBetweenCharacters(const QString &text, qsizetype position)
{
    return position >= 0 && position <= text.size() &&
           (position == text.size() || Characters::startAtOrBefore(text, position) == position);
}

struct Session
{
    QWidget window;
    MarqueeField *field = new MarqueeField(&window);

    Session()
    {
        window.resize(400, 120);
        field->setGeometry(0, 0, 400, 120);
        window.show();
        field->setFocus();
    }
};

void sendKey(MarqueeField *field, int key, Qt::KeyboardModifiers modifiers, const QString &text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(field, &press);
}

void click(MarqueeField *field, QPoint point, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent press(QEvent::MouseButtonPress, point, field->mapToGlobal(point), Qt::LeftButton,
                      Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(field, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, point, field->mapToGlobal(point), Qt::LeftButton,
                        Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(field, &release);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype");
    static int argc = 1;
    static char name[] = "fuzz_field";
    static char *argv[] = {name, nullptr};
    // It lives until the process ends: destroyed at exit, after the toolkit's own
    // statics, it would take it down with them.
    new QApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Script script(data, size);
    // A field of its own, so that what an input finds replays from that input alone.
    Session session;
    MarqueeField *field = session.field;
    const MarqueeEditor &editor = field->editor();
    const MarqueeDocument &document = editor.document();
    static constexpr double kPoints[] = {9, 24, 72, 320};
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(kPoints[script.below(4)]);
    field->setFont(font);
    field->setText(textFrom(script));
    QString base = field->text(); // what undoing every edit brings back

    for (int step = 0; step < 64 && !script.atEnd(); ++step) {
        const QString &text = editor.text();
        const auto anyPosition = [&] {
            return qsizetype(script.below(std::uint32_t(text.size()) + 2));
        };
        const Qt::KeyboardModifiers shift = script.byte() & 1 ? Qt::ShiftModifier : Qt::NoModifier;
        const std::uint32_t action = script.byte() % 16;
        static const bool tracing = qEnvironmentVariableIsSet("TICKORA_FUZZ_TRACE");
        if (tracing)
            std::fprintf(stderr, "step %d: action %u on %s, caret %lld\n", step, action,
                         qPrintable(QString::fromLatin1(QStringView(text).toUtf8().toHex(' '))),
                         qlonglong(document.cursor()));
        switch (action) {
        case 0:
            field->setText(textFrom(script));
            base = field->text();
            break;
        case 1:
            if (const auto rotated = script.byte() & 1 ? Rotation::left(text) : Rotation::right(text)) {
                field->setText(*rotated);
                base = field->text();
            }
            break;
        case 2:
            sendKey(field, Qt::Key_A, Qt::NoModifier, textFrom(script));
            break;
        case 3: {
            static constexpr int kMoves[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End};
            sendKey(field, kMoves[script.below(4)],
                    shift | (script.byte() & 1 ? Qt::ControlModifier : Qt::NoModifier));
            break;
        }
        case 4:
            sendKey(field, script.byte() & 1 ? Qt::Key_Backspace : Qt::Key_Delete,
                    script.byte() & 1 ? Qt::ControlModifier : Qt::NoModifier);
            break;
        case 5:
            field->setCursorPosition(anyPosition());
            break;
        case 6:
            field->editor().setSelection(anyPosition(), anyPosition());
            break;
        case 7:
            field->editor().replace(anyPosition(), anyPosition(), textFrom(script));
            break;
        case 8:
            field->editor().undo();
            break;
        case 9:
            field->editor().redo();
            break;
        case 10: {
            // Composed text, then committed or dropped.
            const QString composing = textFrom(script);
            QInputMethodEvent compose(
                composing, {{QInputMethodEvent::Cursor, int(script.below(composing.size() + 1)), 1, {}}});
            QCoreApplication::sendEvent(field, &compose);
            (void)field->grab();
            QInputMethodEvent commit;
            if (script.byte() & 1)
                commit.setCommitString(composing);
            QCoreApplication::sendEvent(field, &commit);
            break;
        }
        case 11:
            click(field, QPoint(int(script.below(440)) - 20, field->height() / 2), shift);
            break;
        case 12:
            font.setPointSizeF(kPoints[script.below(4)]);
            field->setFont(font);
            break;
        case 13:
            field->resize(int(script.below(600)) + 20, field->height());
            break;
        case 14:
            field->editor().selectAll();
            if (script.byte() & 1)
                field->editor().cut();
            break;
        default:
            (void)field->grab();
            break;
        }
        if (tracing)
            std::fprintf(stderr, "  now %s, caret %lld, anchor %lld\n",
                         qPrintable(QString::fromLatin1(QStringView(text).toUtf8().toHex(' '))),
                         qlonglong(document.cursor()), qlonglong(document.anchor()));
        FUZZ_CHECK(text.size() <= InitialState::kMaxTextLength);
        FUZZ_CHECK(isBetweenCharacters(text, document.cursor()));
        FUZZ_CHECK(isBetweenCharacters(text, document.anchor()));
        FUZZ_CHECK(isBetweenCharacters(text, field->positionAt(QPoint(int(script.below(440)) - 20, 10))));
        (void)field->cursorRect();
        (void)field->characterRect(anyPosition());
    }
    (void)field->grab();

    // Every edit since the last new text undoes back to it, and redoes to where it was.
    const QString edited = field->text();
    int undone = 0;
    for (; document.canUndo(); ++undone)
        field->editor().undo();
    FUZZ_CHECK(field->text() == base);
    for (int step = 0; step < undone; ++step)
        field->editor().redo();
    FUZZ_CHECK(field->text() == edited);
    return 0;
}
