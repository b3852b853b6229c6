// SPDX-License-Identifier: MIT
#pragma once

#include "app/mainwindow.h"
#include "scriptedservices.h"
#include "tempcurrentdir.h"

#include <QTest>

#include <memory>

// The real window in a temporary current directory, with the dialogs and the program's
// end scripted: what every window test starts from.
struct WindowFixture
{
    // Builds and shows the window (again, after stop()); false if it never showed. No
    // message box: the window's own.
    [[nodiscard]] bool start(MessageBox *messageBox)
    {
        window = std::make_unique<MainWindow>(WindowServices{&dialog, messageBox, &programEnd});
        window->show();
        return dir.isValid() && QTest::qWaitForWindowExposed(window.get());
    }
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

    TempCurrentDir dir;
    ScriptedDialog dialog;
    RecordingMessageBox messages;
    RecordingProgramEnd programEnd;
    std::unique_ptr<MainWindow> window;
};
