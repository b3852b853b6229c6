// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// A modal message over the main window, with one OK button.
class MessageBox
{
public:
    enum class Icon { None, Warning };

    virtual ~MessageBox() = default;
    virtual void showMessage(const QString &text, Icon icon) = 0;
};

// Ends the program at once, without asking any window whether it may close.
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;
    virtual void endProgram() = 0;
};
