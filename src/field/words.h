// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>

#include <utility>

// Where the caret moves by words in the display field, as a one-line field moves it.
// Each answer is found in a small window around the position, widened only when the
// window cannot decide, so that moving through a long text costs the same at any length.
namespace Words {

// Where Ctrl+Right and Ctrl+Left take the caret: to the start of the next word, or of
// this or the previous one.
[[nodiscard]] qsizetype next(QStringView text, qsizetype position);
[[nodiscard]] qsizetype previous(QStringView text, qsizetype position);

// The word a double-click at `position` selects, without the spaces after it.
[[nodiscard]] std::pair<qsizetype, qsizetype> at(QStringView text, qsizetype position);

} // namespace Words
