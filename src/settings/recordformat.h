// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The one-record layout shared by all settings files: each value between double quotes,
// a comma between values, CR LF after the last, no blanks. A double quote inside a value
// is written doubled, so such a value reads back whole; values without one keep the
// plain layout byte for byte.
namespace RecordFormat {

[[nodiscard]] QString compose(const QStringList &values);

// At most `count` values from the start of `record`; fewer when it runs out. A quoted
// value runs to its closing quote, line breaks and commas included, and whatever follows
// it up to the next comma or line end is passed over. An unquoted value runs to the next
// comma or line end, without its surrounding blanks.
[[nodiscard]] QStringList parse(QStringView record, qsizetype count);

} // namespace RecordFormat
