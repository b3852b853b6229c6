// SPDX-License-Identifier: MIT
#pragma once

#include <QTranslator>

#include <memory>
#include <vector>

class QLocale;

// Qt's own translations (its dialogs, buttons and context menus) and the program's, for
// one locale, installed while this object lives. A language without a translation stays
// English.
class Translations
{
public:
    explicit Translations(const QLocale &locale);

private:
    std::vector<std::unique_ptr<QTranslator>> m_translators;
};
