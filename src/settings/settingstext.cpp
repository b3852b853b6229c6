// SPDX-License-Identifier: MIT
#include "settings/settingstext.h"

#include "window/marqueefont.h"

#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>

namespace {

QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t'))
        text.chop(1);
    return text;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QStringView withoutSign(QStringView text, bool *negative = nullptr)
{
    const bool hasSign = !text.isEmpty() && (text.front() == u'-' || text.front() == u'+');
    if (negative)
        *negative = hasSign && text.front() == u'-';
    return hasSign ? text.sliced(1) : text;
}

// Digits with at most one decimal point and at least one digit: 12, 10.5, .5, 3.
bool isPlainDecimal(QStringView text)
{
    bool point = false;
    bool digit = false;
    for (const QChar c : text) {
        if (isDigit(c))
            digit = true;
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

} // namespace

namespace SettingsText {

QString fromBool(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> toBool(QStringView text)
{
    text = trimBlanks(text);
    if (text.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    const QStringView number = withoutSign(text);
    if (!isPlainDecimal(number))
        return std::nullopt;
    // Any non-zero digit makes the number non-zero; no conversion, so no overflow.
    for (const QChar c : number) {
        if (isDigit(c) && c != u'0')
            return true;
    }
    return false;
}

QString fromColour(ColourValue colour)
{
    return QString::number(colour);
}

std::optional<ColourValue> toColour(QStringView text)
{
    bool negative = false;
    const QStringView digits = withoutSign(trimBlanks(text), &negative);
    if (digits.isEmpty())
        return std::nullopt;
    qint64 magnitude = 0;
    for (const QChar c : digits) {
        if (!isDigit(c))
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > 0x80000000LL)
            return std::nullopt; // beyond 32 signed bits either way
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > 0x7FFFFFFFLL || !Colours::isColour(value))
        return std::nullopt;
    return static_cast<ColourValue>(value);
}

QString fromFontSize(double points)
{
    if (!std::isfinite(points))
        return {};
    return QLocale::c().toString(points, 'f', QLocale::FloatingPointShortest);
}

QString fromFontSize(float points)
{
    if (!std::isfinite(points))
        return {};
    // Enough room for any float in fixed notation; to_chars gives the shortest text that
    // reads back as the same float, whatever the locale.
    std::array<char, 64> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), points, std::chars_format::fixed);
    if (error != std::errc())
        return fromFontSize(static_cast<double>(points));
    return QString::fromLatin1(buffer.data(), end - buffer.data());
}

std::optional<double> toFontSize(QStringView text)
{
    text = trimBlanks(text);
    if (text.startsWith(u'+'))
        text = text.sliced(1);
    if (!isPlainDecimal(text))
        return std::nullopt;
    bool ok = false;
    const double points = QLocale::c().toDouble(text, &ok);
    if (!ok || !FontLimits::isAcceptableSize(points))
        return std::nullopt;
    return points;
}

} // namespace SettingsText
