// SPDX-License-Identifier: MIT
#include "io/textencoding.h"

#include <QStringDecoder>

namespace TextEncoding {

QByteArray encode(QStringView text)
{
    // The reader takes three bytes EF BB BF at the start for a byte-order mark and drops
    // them; a text that itself begins with U+FEFF gets a mark in front, so that the
    // character reads back.
    static constexpr char16_t kByteOrderMark = 0xFEFF;
    if (text.startsWith(QChar(kByteOrderMark)))
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    return text.toUtf8();
}

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

QString decodeWindows1252(QByteArrayView bytes)
{
    // Qt's decoder (ICU) maps the five bytes the code page leaves undefined to the C1
    // control of the same number, so that no byte is lost.
    QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    if (!decoder.hasError())
        return decoded;
    return decodeWindows1252(bytes);
}

} // namespace TextEncoding
