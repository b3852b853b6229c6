// SPDX-License-Identifier: MIT
#include "settings/settingsrecord.h"

namespace {

// One list of fields for both the reading and the writing side.
template<typename Record> auto fieldsOf(Record &record, SettingsFileId file)
{
    using Field = decltype(&record.text);
    QList<Field> fields;
    switch (file) {
    case SettingsFileId::Text:
        fields = {&record.text};
        break;
    case SettingsFileId::Colour:
        fields = {&record.foreColour, &record.backColour};
        break;
    case SettingsFileId::Speed:
        for (auto &speed : record.speeds)
            fields.append(&speed);
        break;
    case SettingsFileId::Direction:
        fields = {&record.left, &record.right};
        break;
    case SettingsFileId::Font:
        fields = {&record.fontName, &record.fontSize, &record.fontBold, &record.fontItalic,
                  &record.fontUnderline};
        break;
    }
    return fields;
}

} // namespace

QString settingsFileName(SettingsFileId file)
{
    switch (file) {
    case SettingsFileId::Text:
        return QStringLiteral("text");
    case SettingsFileId::Colour:
        return QStringLiteral("color");
    case SettingsFileId::Speed:
        return QStringLiteral("speed");
    case SettingsFileId::Direction:
        return QStringLiteral("dirct");
    case SettingsFileId::Font:
        return QStringLiteral("font");
    }
    return {};
}

QList<QString *> settingsFields(SettingsRecord &record, SettingsFileId file)
{
    return fieldsOf(record, file);
}

QStringList settingsValues(const SettingsRecord &record, SettingsFileId file)
{
    QStringList values;
    for (const QString *field : fieldsOf(record, file))
        values.append(*field);
    return values;
}
