// SPDX-License-Identifier: MIT
#include "settings/settingstext.h"
#include "window/marqueefont.h"

#include <QLocale>
#include <QTest>

#include <limits>

class TestSettingsText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conversion_data();
    void conversion();
    void fontSizeText_data();
    void fontSizeText();
};

namespace {

enum class Conversion { Flag, Colour, FontSize };

// The value as a variant, invalid when the text does not convert.
template<typename T> QVariant variant(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

} // namespace

Q_DECLARE_METATYPE(Conversion)

void TestSettingsText::conversion_data()
{
    QTest::addColumn<Conversion>("conversion");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    const auto add = [](Conversion conversion, const char *name, const QString &text, const QVariant &value) {
        QTest::newRow(name) << conversion << text << value;
    };
    const QVariant none;
    const QString nines(400, QLatin1Char('9'));
    add(Conversion::Flag, "True", "True", true);
    add(Conversion::Flag, "mixed case", "tRuE", true);
    add(Conversion::Flag, "blanks around", " False\t", false);
    add(Conversion::Flag, "one", "1", true);
    add(Conversion::Flag, "minus one", "-1", true);
    add(Conversion::Flag, "minus zero", "-0.00", false);
    add(Conversion::Flag, "fraction", "0.5", true);
    add(Conversion::Flag, "leading point", ".5", true);
    add(Conversion::Flag, "huge", nines, true);
    add(Conversion::Flag, "empty", "", none);
    add(Conversion::Flag, "yes", "yes", none);
    add(Conversion::Flag, "exponent", "1e3", none);
    add(Conversion::Flag, "two points", "1.2.3", none);
    add(Conversion::Flag, "sign alone", "-", none);
    add(Conversion::Flag, "nan", "nan", none);

    add(Conversion::Colour, "red", "255", 255);
    add(Conversion::Colour, "white", "16777215", 0xFFFFFF);
    add(Conversion::Colour, "first system colour", "-2147483648", Colours::systemColour(0));
    add(Conversion::Colour, "last system colour", "-2147483624", Colours::systemColour(24));
    add(Conversion::Colour, "colour with blanks around", " 255 ", 255);
    add(Conversion::Colour, "beyond red-green-blue", "16777216", none);
    add(Conversion::Colour, "beyond the system colours", "-2147483623", none);
    add(Conversion::Colour, "colour minus one", "-1", none);
    add(Conversion::Colour, "below 32 bits", "-2147483649", none);
    add(Conversion::Colour, "above 32 bits", "2147483648", none);
    add(Conversion::Colour, "far beyond 64 bits", "99999999999999999999999", none);
    add(Conversion::Colour, "decimal", "255.0", none);
    add(Conversion::Colour, "hexadecimal", "0xFF", none);
    add(Conversion::Colour, "no colour", "", none);

    add(Conversion::FontSize, "whole size", "24", 24.0);
    add(Conversion::FontSize, "smallest size", "1", 1.0);
    add(Conversion::FontSize, "below one point", ".99", none);
    add(Conversion::FontSize, "largest size", "4096", 4096.0);
    add(Conversion::FontSize, "size zero", "0", none);
    add(Conversion::FontSize, "too large", "4096.5", none);
    add(Conversion::FontSize, "absurd size", nines, none);
    add(Conversion::FontSize, "size nan", "nan", none);
    add(Conversion::FontSize, "size with exponent", "1e2", none);
    add(Conversion::FontSize, "decimal comma", "10,5", none);
    add(Conversion::FontSize, "no size", "", none);
}

void TestSettingsText::conversion()
{
    QFETCH(Conversion, conversion);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    // The separator is a point whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QVariant converted = conversion == Conversion::Flag     ? variant(SettingsText::toBool(text))
                               : conversion == Conversion::Colour ? variant(SettingsText::toColour(text))
                                                                  : variant(SettingsText::toFontSize(text));
    QLocale::setDefault(QLocale::c());
    QCOMPARE(converted, value);
}

void TestSettingsText::fontSizeText_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 24.0 << "24";
    QTest::newRow("half") << 10.5 << "10.5";
    QTest::newRow("small") << 0.00001 << "0.00001";
    QTest::newRow("not finite") << std::numeric_limits<double>::infinity() << "";
}

void TestSettingsText::fontSizeText()
{
    QFETCH(double, points);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(SettingsText::fromFontSize(points), text);
    QLocale::setDefault(QLocale::c());
    if (FontLimits::isAcceptableSize(points))
        QCOMPARE(SettingsText::toFontSize(text), std::optional<double>(points));
}

QTEST_GUILESS_MAIN(TestSettingsText)
#include "tst_settingstext.moc"
