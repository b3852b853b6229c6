// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The one encoding of every file the program writes and reads: the settings files, the
// exported text and HTML, and imported text. Files are written as UTF-8, which is the
// same bytes as the old single-byte form for ASCII text. Files are read as UTF-8 when
// they are valid UTF-8, and otherwise as Windows-1252, so that files written by earlier
// single-byte versions load with every character intact.
namespace TextEncoding {

[[nodiscard]] QByteArray encode(QStringView text);
[[nodiscard]] QString decode(QByteArrayView bytes);

[[nodiscard]] bool isValidUtf8(QByteArrayView bytes);
[[nodiscard]] QString decodeWindows1252(QByteArrayView bytes);

} // namespace TextEncoding
