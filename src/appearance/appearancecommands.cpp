#include "appearance/appearancecommands.h"

#include "settings/settingsrecord.h"
#include "window/commondialog.h"
#include "window/services.h"
#include "window/windowaccess.h"

void AppearanceCommands::chooseForeColour() {}

void AppearanceCommands::chooseBackColour() {}

void AppearanceCommands::chooseFont() {}

void AppearanceCommands::clearText()
{
    m_window.setText(QString());
}
