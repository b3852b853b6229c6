// SPDX-License-Identifier: MIT
#pragma once

#include "window/commondialog.h"
#include "window/services.h"

#include <QList>
#include <QString>

#include <deque>
#include <variant>

// Stand-ins for the modal parts of the window, for tests: a message box that records
// what it was asked to show, a program end that records the request, and a common
// dialog that answers each show call with the next prepared answer.
class RecordingMessageBox final : public MessageBox
{
public:
    struct Message
    {
        QString text;
        Icon icon;
    };
    void showMessage(const QString &text, Icon icon) override { messages.append({text, icon}); }
    QList<Message> messages;
};

class RecordingProgramEnd final : public ProgramEnd
{
public:
    void endProgram() override { ++requests; }
    int requests = 0;
};

class ScriptedDialog final : public CommonDialog
{
public:
    struct Cancel
    {
    };
    using Answer = std::variant<Cancel, QString, ColourValue, MarqueeFont>;
    enum class Kind { Open, Save, Colour, Font };
    // The settings the dialog was shown with, including what it offered: the path,
    // colour and font left by earlier uses.
    struct Call
    {
        Kind kind;
        QString filter;
        int filterIndex;
        QString fileName;
        ColourValue colour;
        MarqueeFont font;
    };

    // The answer to the next show call: Cancel, a file name, a colour or a font.
    void expect(Answer answer) { m_answers.push_back(std::move(answer)); }
    [[nodiscard]] bool allAnswersUsed() const { return m_answers.empty(); }
    [[nodiscard]] const QList<Call> &calls() const { return m_calls; }

    [[nodiscard]] bool showOpen() override { return answer(Kind::Open); }
    [[nodiscard]] bool showSave() override { return answer(Kind::Save); }
    [[nodiscard]] bool showColour() override { return answer(Kind::Colour); }
    [[nodiscard]] bool showFont() override { return answer(Kind::Font); }

private:
    bool answer(Kind kind);

    std::deque<Answer> m_answers;
    QList<Call> m_calls;
};
