// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>

// The texts of the About menu: the Specs text is the product's fixed text, the About
// notice is translated.
namespace AboutMessages {

[[nodiscard]] inline QString productName()
{
    return QStringLiteral("Tickora");
}

[[nodiscard]] inline QString specs()
{
    return QStringLiteral("256 Million Colors, 12 Speeds, 2 Directions, Import / Export (4 file types), "
                          "scrolls up to 64k of text, autosave.");
}

[[nodiscard]] inline QString about()
{
    return QCoreApplication::translate("AboutMessages",
                                       "Tickora Ver 1.7, a desktop marquee. Contact: tickora@example.org");
}

} // namespace AboutMessages
