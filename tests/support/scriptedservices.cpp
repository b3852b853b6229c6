// SPDX-License-Identifier: MIT
#include "scriptedservices.h"

#include <QTest>

bool ScriptedDialog::answer(Kind kind)
{
    m_calls.append({kind, filter(), filterIndex(), fileName(), colour(), font()});
    if (m_answers.empty()) {
        qWarning("ScriptedDialog: no answer prepared; cancelling");
        return false;
    }
    const Answer next = m_answers.front();
    m_answers.pop_front();
    if (std::holds_alternative<Cancel>(next))
        return false;
    if (const auto *fileName = std::get_if<QString>(&next))
        setFileName(*fileName);
    else if (const auto *colour = std::get_if<ColourValue>(&next))
        setColour(*colour);
    else if (const auto *font = std::get_if<MarqueeFont>(&next))
        setFont(*font);
    return true;
}
