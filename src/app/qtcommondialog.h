// SPDX-License-Identifier: MIT
#pragma once

#include "window/commondialog.h"

#include <QFileDialog>

class QWidget;

// The shared dialog on Qt's file, colour and font dialogs, modal over the window. Where the
// desktop's platform theme offers dialogs of its own (GTK, KDE, the desktop portal), Qt
// shows those; elsewhere, and in the tests, Qt's widgets. Either way they get the filter
// list as given, the path and colour of the last use and the font handed in, and report
// Cancel.
class QtCommonDialog final : public CommonDialog
{
public:
    explicit QtCommonDialog(QWidget *parent) : m_parent(parent) {}

    [[nodiscard]] bool showOpen() override;
    [[nodiscard]] bool showSave() override;
    [[nodiscard]] bool showColour() override;
    [[nodiscard]] bool showFont() override;

private:
    [[nodiscard]] bool showFile(QFileDialog::AcceptMode mode);

    QWidget *m_parent;
};
