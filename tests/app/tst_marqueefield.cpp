#include "app/marqueefield.h"
#include "window/initialstate.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {

constexpr int kLongest = InitialState::kMaxTextLength;

QFont marqueeFont(double points = 320)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

// The text with `middle` placed about halfway in a text `length` long, or as it is when
// `length` is no longer than it.
QString around(const QString &middle, int length)
{
    if (middle.size() >= length)
        return middle;
    const qsizetype before = (length - middle.size()) / 2;
    return QString(before, QLatin1Char('a')) + middle +
           QString(length - middle.size() - before, QLatin1Char('b'));
}

// How many pixels of two renderings differ by more than `tolerance` in any channel, and
// the largest difference.
struct Difference
{
    int pixels = 0;
    int largest = 0;
};

Difference compare(const QImage &first, const QImage &second, int tolerance)
{
    Difference difference;
    const QImage a = first.convertToFormat(QImage::Format_RGB32);
    const QImage b = second.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size())
        return {a.width() * a.height(), 255};
    for (int y = 0; y < a.height(); ++y) {
        const auto *rowA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *rowB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int delta =
                qMax(qAbs(qRed(rowA[x]) - qRed(rowB[x])),
                     qMax(qAbs(qGreen(rowA[x]) - qGreen(rowB[x])), qAbs(qBlue(rowA[x]) - qBlue(rowB[x]))));
            difference.largest = qMax(difference.largest, delta);
            if (delta > tolerance)
                ++difference.pixels;
        }
    }
    return difference;
}

// Whether a rectangle of the field lies inside it from left to right. The letters are
// taller than the field: a line edit centres them and cuts them at top and bottom.
bool isInViewAcross(const QWidget *field, const QRect &rect)
{
    return rect.isValid() && rect.left() >= 0 && rect.right() < field->width();
}

} // namespace

class TestMarqueeField : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void typingInsertsAtTheCaret_data();
    void typingInsertsAtTheCaret();
    void lengthIsCapped();
    void keysTakeWholeCharacters_data();
    void keysTakeWholeCharacters();
    void wordsHomeAndEnd_data();
    void wordsHomeAndEnd();
    void shiftSelectsAndTypingReplaces_data();
    void shiftSelectsAndTypingReplaces();
    void clipboard_data();
    void clipboard();
    void undoAndRedo();
    void windowKeysAreLeftToTheWindow_data();
    void windowKeysAreLeftToTheWindow();
    void tabLeavesTheField();
    void caretStaysInView_data();
    void caretStaysInView();
    void settingTextShowsTheStart();
    void mouseSelects_data();
    void mouseSelects();
    void draggingPastTheEdgeScrolls();
    void contextMenu();
    void inputMethodComposes();
    void inputMethodSeesTextNearTheCaret();
    void accessibleText();
    void controlCharactersShowOnOneLine();
    void rendersAsAFullLayout_data();
    void rendersAsAFullLayout();

private:
    void useText(const QString &text, qsizetype cursor);

    std::unique_ptr<QWidget> m_window;
    MarqueeField *m_field = nullptr;
    QPushButton *m_button = nullptr;
};

void TestMarqueeField::init()
{
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    m_field = new MarqueeField(m_window.get());
    m_field->setFont(marqueeFont());
    m_field->setFixedSize(761, 417);
    m_button = new QPushButton(QStringLiteral("next"), m_window.get());
    layout->addWidget(m_field);
    layout->addWidget(m_button);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->activateWindow();
    m_field->setFocus();
    QTRY_VERIFY(m_field->hasFocus());
}

void TestMarqueeField::cleanup()
{
    m_window.reset();
    QGuiApplication::clipboard()->clear();
}

void TestMarqueeField::useText(const QString &text, qsizetype cursor)
{
    m_field->setText(text);
    m_field->setCursorPosition(cursor);
}

void TestMarqueeField::typingInsertsAtTheCaret_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("short") << 10;
    QTest::newRow("longest") << kLongest;
}

void TestMarqueeField::typingInsertsAtTheCaret()
{
    QFETCH(int, length);
    const QString text(length - 3, QLatin1Char('a'));
    useText(text, text.size() / 2);
    QTest::keyClicks(m_field, QStringLiteral("xyZ"));
    QString expected = text;
    expected.insert(text.size() / 2, QStringLiteral("xyZ"));
    QCOMPARE(m_field->text(), expected);
    QCOMPARE(m_field->cursorPosition(), text.size() / 2 + 3);
}

void TestMarqueeField::lengthIsCapped()
{
    // Typing beyond the longest text is cut, and never between the halves of a
    // character outside the Basic Multilingual Plane.
    useText(QString(kLongest - 2, QLatin1Char('a')), 5);
    QTest::keyClicks(m_field, QStringLiteral("xyz"));
    QCOMPARE(m_field->text().size(), kLongest);
    QCOMPARE(m_field->text().mid(5, 3), QStringLiteral("xya"));

    useText(QString(kLongest - 1, QLatin1Char('a')), 0);
    QGuiApplication::clipboard()->setText(QStringLiteral("\U0001D11E"));
    QTest::keySequence(m_field, QKeySequence::Paste);
    QCOMPARE(m_field->text().size(), kLongest - 1);

    m_field->setText(QString(kLongest + 10, QLatin1Char('c')));
    QCOMPARE(m_field->text().size(), kLongest);
}

void TestMarqueeField::keysTakeWholeCharacters_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("length");
    const QList<std::pair<const char *, QString>> characters{
        {"accent", QStringLiteral("e\u0301")},
        {"family", QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467")},
        {"flag", QStringLiteral("\U0001F1EB\U0001F1F7")},
        {"skin tone", QStringLiteral("\U0001F44D\U0001F3FD")},
        {"clef", QStringLiteral("\U0001D11E")},
        {"line feed", QStringLiteral("\n")},
    };
    for (const auto &[name, character] : characters) {
        QTest::addRow("%s, short", name) << character << 12;
        QTest::addRow("%s, longest", name) << character << kLongest;
    }
}

void TestMarqueeField::keysTakeWholeCharacters()
{
    QFETCH(QString, character);
    QFETCH(int, length);
    // Two of the character side by side: exactly one goes, or is passed, at a time.
    const QString pair = character + character;
    const QString text = around(pair, length);
    const qsizetype start = text.indexOf(pair);
    const QString withOne = QString(text).remove(start, character.size());

    useText(text, start + pair.size());
    QTest::keyClick(m_field, Qt::Key_Backspace);
    QCOMPARE(m_field->text(), withOne);
    QCOMPARE(m_field->cursorPosition(), start + character.size());

    useText(text, start);
    QTest::keyClick(m_field, Qt::Key_Delete);
    QCOMPARE(m_field->text(), withOne);
    QCOMPARE(m_field->cursorPosition(), start);

    useText(text, start);
    QTest::keyClick(m_field, Qt::Key_Right);
    QCOMPARE(m_field->cursorPosition(), start + character.size());
    QTest::keyClick(m_field, Qt::Key_Right);
    QCOMPARE(m_field->cursorPosition(), start + pair.size());
    QTest::keyClick(m_field, Qt::Key_Left);
    QCOMPARE(m_field->cursorPosition(), start + character.size());
    QTest::keyClick(m_field, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(m_field->selectedText(), character);

    // A caret put inside a character from outside stands at its start.
    if (character.size() > 1) {
        m_field->setCursorPosition(start + 1);
        QCOMPARE(m_field->cursorPosition(), start);
    }
}

void TestMarqueeField::wordsHomeAndEnd_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("short") << 20;
    QTest::newRow("longest") << kLongest;
}

void TestMarqueeField::wordsHomeAndEnd()
{
    QFETCH(int, length);
    const QString words = QStringLiteral(" one two,  three ");
    const QString text = around(words, length);
    const qsizetype start = text.indexOf(words);

    // Ctrl+Right goes to the start of the next word, Ctrl+Left to the start of this one.
    useText(text, start + 1);
    QTest::keySequence(m_field, QKeySequence::MoveToNextWord);
    QCOMPARE(m_field->cursorPosition(), start + 5);
    QTest::keySequence(m_field, QKeySequence::MoveToNextWord);
    QCOMPARE(m_field->cursorPosition(), start + 8);
    QTest::keySequence(m_field, QKeySequence::MoveToPreviousWord);
    QCOMPARE(m_field->cursorPosition(), start + 5);
    QTest::keySequence(m_field, QKeySequence::SelectPreviousWord);
    QCOMPARE(m_field->selectedText(), QStringLiteral("one "));

    QTest::keyClick(m_field, Qt::Key_End);
    QCOMPARE(m_field->cursorPosition(), text.size());
    QVERIFY(!m_field->hasSelectedText());
    QTest::keyClick(m_field, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(m_field->selectedText().size(), text.size());
    QTest::keyClick(m_field, Qt::Key_Home);
    QCOMPARE(m_field->cursorPosition(), 0);
}

void TestMarqueeField::shiftSelectsAndTypingReplaces_data()
{
    wordsHomeAndEnd_data();
}

void TestMarqueeField::shiftSelectsAndTypingReplaces()
{
    QFETCH(int, length);
    const QString text = around(QStringLiteral("[abc]"), length);
    const qsizetype start = text.indexOf(QLatin1Char('[')) + 1;
    useText(text, start);
    for (int step = 0; step < 3; ++step)
        QTest::keyClick(m_field, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(m_field->selectedText(), QStringLiteral("abc"));
    QTest::keyClick(m_field, Qt::Key_X);
    QCOMPARE(m_field->text().mid(start - 1, 3), QStringLiteral("[x]"));
    QCOMPARE(m_field->text().size(), text.size() - 2);

    // An arrow without Shift ends a selection at its edge.
    m_field->setSelection(start - 1, start + 1);
    QTest::keyClick(m_field, Qt::Key_Left);
    QCOMPARE(m_field->cursorPosition(), start - 1);
    QVERIFY(!m_field->hasSelectedText());
}

void TestMarqueeField::clipboard_data()
{
    wordsHomeAndEnd_data();
}

void TestMarqueeField::clipboard()
{
    QFETCH(int, length);
    const QString text = around(QStringLiteral("cut me"), length);
    const qsizetype start = text.indexOf(QStringLiteral("cut me"));
    useText(text, start);
    m_field->setSelection(start, start + 3);
    QTest::keySequence(m_field, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("cut"));
    QCOMPARE(m_field->text(), text);

    QTest::keySequence(m_field, QKeySequence::Cut);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("cut"));
    QCOMPARE(m_field->text(), QString(text).remove(start, 3));

    QTest::keyClick(m_field, Qt::Key_End);
    QTest::keySequence(m_field, QKeySequence::Paste);
    QCOMPARE(m_field->text(), QString(text).remove(start, 3) + QStringLiteral("cut"));

    QTest::keySequence(m_field, QKeySequence::SelectAll);
    QCOMPARE(m_field->selectedText().size(), text.size());
    QTest::keySequence(m_field, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text().size(), text.size());
}

void TestMarqueeField::undoAndRedo()
{
    useText(QStringLiteral("base"), 4);
    QTest::keyClicks(m_field, QStringLiteral("abc"));
    QTest::keyClick(m_field, Qt::Key_Backspace);
    QTest::keyClick(m_field, Qt::Key_Backspace);
    QCOMPARE(m_field->text(), QStringLiteral("basea"));

    // A run of typing and a run of Backspace are one step each.
    QTest::keySequence(m_field, QKeySequence::Undo);
    QCOMPARE(m_field->text(), QStringLiteral("baseabc"));
    QTest::keySequence(m_field, QKeySequence::Undo);
    QCOMPARE(m_field->text(), QStringLiteral("base"));
    QCOMPARE(m_field->cursorPosition(), 4);
    QVERIFY(!m_field->isUndoAvailable());
    QTest::keySequence(m_field, QKeySequence::Redo);
    QCOMPARE(m_field->text(), QStringLiteral("baseabc"));

    // A new edit drops what was undone; setting the text forgets everything.
    QTest::keySequence(m_field, QKeySequence::Undo);
    QTest::keyClick(m_field, Qt::Key_Home);
    QTest::keyClick(m_field, Qt::Key_X);
    QVERIFY(!m_field->isRedoAvailable());
    m_field->setText(QStringLiteral("new"));
    QVERIFY(!m_field->isUndoAvailable());
    QTest::keySequence(m_field, QKeySequence::Undo);
    QCOMPARE(m_field->text(), QStringLiteral("new"));
}

void TestMarqueeField::windowKeysAreLeftToTheWindow_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("fieldsOwn");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << false;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier) << false;
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << true;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << true;
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << true;
}

void TestMarqueeField::windowKeysAreLeftToTheWindow()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, fieldsOwn);
    useText(QStringLiteral("abc"), 1);
    const auto mods = Qt::KeyboardModifiers(modifiers);
    const QString text = key == Qt::Key_A ? QStringLiteral("a") : QString();
    // The field claims its own keys before the window's shortcuts see them, and no others.
    QKeyEvent override(QEvent::ShortcutOverride, key, mods, text);
    override.ignore();
    QCoreApplication::sendEvent(m_field, &override);
    QCOMPARE(override.isAccepted(), fieldsOwn);
    if (!fieldsOwn) {
        QKeyEvent press(QEvent::KeyPress, key, mods,
                        key == Qt::Key_Escape ? QString() : QStringLiteral("\r"));
        QCoreApplication::sendEvent(m_field, &press);
        QVERIFY(!press.isAccepted());
        QCOMPARE(m_field->text(), QStringLiteral("abc"));
    }
}

void TestMarqueeField::tabLeavesTheField()
{
    useText(QStringLiteral("abc"), 1);
    QTest::keyClick(m_field, Qt::Key_Tab);
    QTRY_VERIFY(m_button->hasFocus());
    QCOMPARE(m_field->text(), QStringLiteral("abc"));
    QTest::keyClick(m_button, Qt::Key_Tab, Qt::ShiftModifier);
    QTRY_VERIFY(m_field->hasFocus());
    // Coming back by the keyboard selects the text, as in a line edit.
    QCOMPARE(m_field->selectedText(), QStringLiteral("abc"));
}

void TestMarqueeField::caretStaysInView_data()
{
    wordsHomeAndEnd_data();
}

void TestMarqueeField::caretStaysInView()
{
    QFETCH(int, length);
    QString text;
    for (int index = 0; text.size() < length; ++index)
        text += QChar(u'A' + index % 26);
    text.truncate(length);
    useText(text, 0);

    QTest::keyClick(m_field, Qt::Key_End);
    QVERIFY(isInViewAcross(m_field, m_field->cursorRect()));
    QVERIFY2(isInViewAcross(m_field, m_field->characterRect(text.size() - 1)),
             "the last character shows at the end");
    if (length > 10)
        QVERIFY(m_field->firstVisiblePosition() > 0);
    else
        QCOMPARE(m_field->firstVisiblePosition(), 0);

    // One character at a time back to the start, the caret always in view.
    m_field->setCursorPosition(text.size() / 2);
    for (int step = 0; step < 8; ++step) {
        QTest::keyClick(m_field, step % 2 ? Qt::Key_Right : Qt::Key_Left);
        QTest::keyClick(m_field, Qt::Key_Left);
        QVERIFY(isInViewAcross(m_field, m_field->cursorRect()));
        QVERIFY(m_field->characterRect(m_field->cursorPosition()).isValid());
    }
    QTest::keyClick(m_field, Qt::Key_Home);
    QCOMPARE(m_field->firstVisiblePosition(), 0);
}

void TestMarqueeField::settingTextShowsTheStart()
{
    const QString text(kLongest, QLatin1Char('W'));
    m_field->setText(text);
    const QRect first = m_field->characterRect(0);
    QVERIFY(isInViewAcross(m_field, first));
    m_field->setCursorPosition(text.size());
    QTest::keyClick(m_field, Qt::Key_Left, Qt::ShiftModifier);
    QVERIFY(m_field->firstVisiblePosition() > 0);
    m_field->setText(text);
    QCOMPARE(m_field->cursorPosition(), 0);
    QVERIFY(!m_field->hasSelectedText());
    QCOMPARE(m_field->firstVisiblePosition(), 0);
    QCOMPARE(m_field->characterRect(0), first);
}

void TestMarqueeField::mouseSelects_data()
{
    wordsHomeAndEnd_data();
}

void TestMarqueeField::mouseSelects()
{
    QFETCH(int, length);
    const QString text = around(QStringLiteral(" ab cd "), length);
    const qsizetype start = text.indexOf(QStringLiteral("ab cd"));
    // Coming from the end, the caret stops at the left edge of the line.
    useText(text, text.size());
    m_field->repaint();
    m_field->setCursorPosition(start);
    QCOMPARE(m_field->firstVisiblePosition(), start);

    const auto pointIn = [this](qsizetype position, double fraction) {
        const QRect rect = m_field->characterRect(position);
        return QPoint(rect.left() + int(rect.width() * fraction), rect.center().y());
    };
    // A click puts the caret at the nearer edge of the character.
    QTest::mouseClick(m_field, Qt::LeftButton, {}, pointIn(start + 1, 0.2));
    QCOMPARE(m_field->cursorPosition(), start + 1);
    QTest::mouseClick(m_field, Qt::LeftButton, {}, pointIn(start + 1, 0.8));
    QCOMPARE(m_field->cursorPosition(), start + 2);

    // Dragging selects from where the button went down.
    QTest::mousePress(m_field, Qt::LeftButton, {}, pointIn(start, 0.1));
    QTest::mouseMove(m_field, pointIn(start + 2, 0.2));
    QTest::mouseRelease(m_field, Qt::LeftButton, {}, pointIn(start + 2, 0.2));
    QCOMPARE(m_field->selectedText(), QStringLiteral("ab"));

    // A click with Shift extends the selection.
    QTest::mouseClick(m_field, Qt::LeftButton, Qt::ShiftModifier, pointIn(start + 3, 0.1));
    QCOMPARE(m_field->selectedText(), QStringLiteral("ab "));

    // A double-click selects the word under the pointer.
    QTest::mouseDClick(m_field, Qt::LeftButton, {}, pointIn(start + 1, 0.5));
    QCOMPARE(m_field->selectedText(), QStringLiteral("ab"));
}

void TestMarqueeField::draggingPastTheEdgeScrolls()
{
    // Each drag past the right edge moves the caret on by whole characters and the view
    // with it; dragging back past the left edge returns.
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString text = family.repeated(40);
    useText(text, 0);
    const QPoint inside(20, m_field->height() / 2);
    const QPoint beyondRight(m_field->width() + 40, inside.y());
    QTest::mousePress(m_field, Qt::LeftButton, {}, inside);
    qsizetype previous = m_field->cursorPosition();
    for (int step = 0; step < 6; ++step) {
        QTest::mouseMove(m_field, beyondRight);
        QVERIFY(m_field->cursorPosition() > previous);
        QCOMPARE(m_field->cursorPosition() % family.size(), 0);
        QVERIFY(isInViewAcross(m_field, m_field->cursorRect()));
        previous = m_field->cursorPosition();
    }
    QVERIFY(m_field->firstVisiblePosition() > 0);
    for (int step = 0; step < 40 && m_field->firstVisiblePosition() > 0; ++step) {
        QTest::mouseMove(m_field, QPoint(-40, inside.y()));
        QCOMPARE(m_field->cursorPosition() % family.size(), 0);
    }
    QCOMPARE(m_field->firstVisiblePosition(), 0);
    QTest::mouseRelease(m_field, Qt::LeftButton, {}, QPoint(-40, inside.y()));
    QCOMPARE(m_field->selectionStart(), 0);
}

void TestMarqueeField::contextMenu()
{
    useText(QStringLiteral("menu"), 0);
    std::unique_ptr<QMenu> menu(m_field->createStandardContextMenu());
    QStringList enabled;
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (!action->isSeparator() && action->isEnabled())
            enabled << action->objectName();
    }
    QCOMPARE(enabled, QStringList{QStringLiteral("select-all")});

    menu->findChild<QAction *>(QStringLiteral("select-all"))->trigger();
    menu.reset(m_field->createStandardContextMenu());
    menu->findChild<QAction *>(QStringLiteral("edit-cut"))->trigger();
    QCOMPARE(m_field->text(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("menu"));
    menu.reset(m_field->createStandardContextMenu());
    QVERIFY(menu->findChild<QAction *>(QStringLiteral("edit-undo"))->isEnabled());
    menu->findChild<QAction *>(QStringLiteral("edit-paste"))->trigger();
    QCOMPARE(m_field->text(), QStringLiteral("menu"));
}

void TestMarqueeField::inputMethodComposes()
{
    useText(QStringLiteral("ab"), 1);
    const QImage before = m_field->grab().toImage();
    // Composing shows text that is not yet in the document.
    QInputMethodEvent composing(QStringLiteral("e"), {{QInputMethodEvent::Cursor, 1, 1, {}}});
    QCoreApplication::sendEvent(m_field, &composing);
    QCOMPARE(m_field->text(), QStringLiteral("ab"));
    QVERIFY(compare(before, m_field->grab().toImage(), 112).pixels > 1000);

    QInputMethodEvent committing;
    committing.setCommitString(QStringLiteral("\u00E9"));
    QCoreApplication::sendEvent(m_field, &committing);
    QCOMPARE(m_field->text(), QStringLiteral("a\u00E9b"));
    QCOMPARE(m_field->cursorPosition(), 2);

    // A commit may replace text before the caret.
    QInputMethodEvent replacing;
    replacing.setCommitString(QStringLiteral("E"), -1, 1);
    QCoreApplication::sendEvent(m_field, &replacing);
    QCOMPARE(m_field->text(), QStringLiteral("aEb"));
    QTest::keySequence(m_field, QKeySequence::Undo);
    QCOMPARE(m_field->text(), QStringLiteral("a\u00E9b"));
}

void TestMarqueeField::inputMethodSeesTextNearTheCaret()
{
    const QString text = around(QStringLiteral("<caret>"), kLongest);
    const qsizetype caret = text.indexOf(QLatin1Char('>'));
    useText(text, caret);
    const QString surrounding = m_field->inputMethodQuery(Qt::ImSurroundingText).toString();
    const int position = m_field->inputMethodQuery(Qt::ImCursorPosition).toInt();
    QVERIFY(surrounding.size() < 4096);
    QCOMPARE(surrounding.mid(position - 6, 7), QStringLiteral("<caret>"));
    QCOMPARE(m_field->inputMethodQuery(Qt::ImAbsolutePosition).toInt(), caret);
    QCOMPARE(m_field->inputMethodQuery(Qt::ImMaximumTextLength).toInt(), kLongest);
    QVERIFY(isInViewAcross(m_field, m_field->inputMethodQuery(Qt::ImCursorRectangle).toRect()));

    // A selection the input method asks for is counted within the text it was given.
    QInputMethodEvent selecting(QString(), {{QInputMethodEvent::Selection, position - 5, 5, {}}});
    QCoreApplication::sendEvent(m_field, &selecting);
    QCOMPARE(m_field->selectedText(), QStringLiteral("caret"));
}

void TestMarqueeField::accessibleText()
{
    m_field->setAccessibleName(QStringLiteral("Marquee text"));
    useText(QStringLiteral("hello world"), 5);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_field);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Marquee text"));
    QCOMPARE(accessible->text(QAccessible::Value), QStringLiteral("hello world"));
    QVERIFY(accessible->state().editable);

    QAccessibleTextInterface *text = accessible->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 11);
    QCOMPARE(text->cursorPosition(), 5);
    QCOMPARE(text->text(6, 11), QStringLiteral("world"));
    int start = 0;
    int end = 0;
    QCOMPARE(text->textAtOffset(7, QAccessible::WordBoundary, &start, &end), QStringLiteral("world"));
    text->setSelection(0, 0, 5);
    QCOMPARE(m_field->selectedText(), QStringLiteral("hello"));
    QVERIFY(text->characterRect(0).isValid());

    QAccessibleEditableTextInterface *editable = accessible->editableTextInterface();
    QVERIFY(editable);
    editable->replaceText(0, 5, QStringLiteral("goodbye"));
    QCOMPARE(m_field->text(), QStringLiteral("goodbye world"));
    editable->deleteText(7, 13);
    QCOMPARE(m_field->text(), QStringLiteral("goodbye"));
}

void TestMarqueeField::controlCharactersShowOnOneLine()
{
    // A line feed, a tab and a carriage return each take a place of their own on the
    // one line; nothing after them moves to a line below.
    m_field->setFont(marqueeFont(24));
    useText(QStringLiteral("a\nb\tc\rd"), 0);
    int right = -1;
    int top = -1;
    for (qsizetype position = 0; position < 7; ++position) {
        const QRect rect = m_field->characterRect(position);
        QVERIFY2(rect.width() > 2, qPrintable(QString::number(position)));
        QVERIFY(rect.left() >= right - 1);
        if (top >= 0)
            QCOMPARE(rect.top(), top);
        right = rect.right();
        top = rect.top();
    }
}

void TestMarqueeField::rendersAsAFullLayout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("points");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("background");
    const QString sentence = QStringLiteral("Quick, AVAWAY fij! ");
    QString longest;
    while (longest.size() < kLongest)
        longest += sentence;
    longest.truncate(kLongest);
    QTest::newRow("short") << sentence << 320.0 << QColor(Qt::black) << QColor(Qt::white);
    QTest::newRow("longest") << longest << 320.0 << QColor(Qt::black) << QColor(Qt::white);
    QTest::newRow("longest, in colour") << longest << 320.0 << QColor(255, 220, 0) << QColor(0, 0, 128);
    QTest::newRow("longest, small letters") << longest << 20.0 << QColor(Qt::darkGreen) << QColor(Qt::white);
}

void TestMarqueeField::rendersAsAFullLayout()
{
    QFETCH(QString, text);
    QFETCH(double, points);
    QFETCH(QColor, colour);
    QFETCH(QColor, background);
    // The stock line edit lays out its whole text; the two must look alike at the start.
    auto *reference = new QLineEdit(m_window.get());
    m_window->layout()->addWidget(reference);
    for (QWidget *field : {static_cast<QWidget *>(m_field), static_cast<QWidget *>(reference)}) {
        field->setFont(marqueeFont(points));
        field->setFixedSize(761, 417);
    }
    m_field->setColours(colour, background);
    QPalette colours = reference->palette();
    colours.setColor(QPalette::Text, colour);
    colours.setColor(QPalette::Base, background);
    reference->setPalette(colours);
    reference->setMaxLength(kLongest);
    m_field->setText(text);
    reference->setText(text);
    reference->setCursorPosition(0);
    m_button->setFocus();
    QTRY_VERIFY(m_button->hasFocus());

    const QImage shown = m_field->grab().toImage();
    const QImage expected = reference->grab().toImage();
    // Glyphs are placed to a fraction of a pixel: edges may differ a little in shade,
    // but no pixel by much, and only along edges.
    const Difference any = compare(shown, expected, 24);
    const Difference large = compare(shown, expected, 112);
    const int pixels = shown.width() * shown.height();
    QVERIFY2(large.pixels == 0, qPrintable(QStringLiteral("largest difference %1").arg(large.largest)));
    QVERIFY2(any.pixels < pixels / 100, qPrintable(QStringLiteral("%1 pixels differ").arg(any.pixels)));
    // The comparison itself tells a wrong text apart.
    reference->setText(text.mid(1));
    reference->setCursorPosition(0);
    QVERIFY(compare(shown, reference->grab().toImage(), 112).pixels > pixels / 100);
}

QTEST_MAIN(TestMarqueeField)
#include "tst_marqueefield.moc"
