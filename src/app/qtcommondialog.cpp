#include "qtcommondialog.h"

bool QtCommonDialog::showOpen()
{
    return false;
}

bool QtCommonDialog::showSave()
{
    return false;
}

bool QtCommonDialog::showColour()
{
    return false;
}

bool QtCommonDialog::showFont()
{
    return false;
}
