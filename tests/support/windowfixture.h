// SPDX-License-Identifier: MIT
#pragma once

#include "app/mainwindow.h"
#include "scriptedservices.h"
#include "tempcurrentdir.h"

#include <memory>

// The real window in a temporary current directory, with the dialogs and the program's
// end scripted: what every window test starts from.
class WindowFixture
{
public:
    // Builds and shows the window (again, after stop()); false if it never showed.
    [[nodiscard]] bool start(MessageBox *messageBox);
    [[nodiscard]] bool start() { return start(&messages); }
    void stop() { window.reset(); }

    template<typename T> T *child(const QString &name) const
    {
        T *object = window->findChild<T *>(name);
        if (!object)
            qFatal("no child %s", qPrintable(name));
        return object;
    }
    [[nodiscard]] QWidget *field() const { return child<QWidget>(QStringLiteral("txtMarquee")); }
    // Clicks a button or triggers a menu item by its name; "Return" and "Escape" press
    // that key in the text field.
    void activate(const QString &entryPoint) const;

    TempCurrentDir dir;
    ScriptedDialog dialog;
    RecordingMessageBox messages;
    RecordingProgramEnd programEnd;
    std::unique_ptr<MainWindow> window;
};
