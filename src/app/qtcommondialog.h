#pragma once

#include "window/commondialog.h"

#include <QFileDialog>

class QWidget;

// The shared dialog on Qt's own file, colour and font dialogs, modal over the window.
// Qt's widget-based dialogs are used on every platform, so that the dialogs behave the
// same everywhere: the filter list as given, no extension added to a typed name, and
// the path, colour and font of the last use offered again.
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
