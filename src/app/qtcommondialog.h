#pragma once

#include "window/commondialog.h"

class QWidget;

// The shared dialog on Qt's own file, colour and font dialogs, modal over the window.
class QtCommonDialog final : public CommonDialog
{
public:
    explicit QtCommonDialog(QWidget *parent) : m_parent(parent) {}

    [[nodiscard]] bool showOpen() override;
    [[nodiscard]] bool showSave() override;
    [[nodiscard]] bool showColour() override;
    [[nodiscard]] bool showFont() override;

private:
    QWidget *m_parent;
};
