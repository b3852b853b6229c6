// SPDX-License-Identifier: MIT
#include "scroll/rotation.h"

#include "characters/characters.h"

namespace {

// The text from `split` on, followed by the text before it.
QString swapped(QStringView text, qsizetype split)
{
    QString result;
    result.reserve(text.size());
    result.append(text.sliced(split)).append(text.first(split));
    return result;
}

} // namespace

namespace Rotation {

std::optional<QString> left(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    return swapped(text, Characters::next(text, 0));
}

std::optional<QString> right(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    return swapped(text, Characters::previous(text, text.size()));
}

} // namespace Rotation
