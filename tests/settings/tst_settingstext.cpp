#include "settings/settingstext.h"
#include "window/marqueefont.h"

#include <QLocale>
#include <QTest>

#include <limits>

class TestSettingsText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toBool_data();
    void toBool();
    void toColour_data();
    void toColour();
    void toFontSize_data();
    void toFontSize();
    void fontSizeText_data();
    void fontSizeText();
};

using OptionalBool = std::optional<bool>;
using OptionalColour = std::optional<ColourValue>;
using OptionalSize = std::optional<double>;
Q_DECLARE_METATYPE(OptionalBool)
Q_DECLARE_METATYPE(OptionalColour)
Q_DECLARE_METATYPE(OptionalSize)

void TestSettingsText::toBool_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptionalBool>("value");
    QTest::newRow("True") << "True" << OptionalBool(true);
    QTest::newRow("FALSE") << "FALSE" << OptionalBool(false);
    QTest::newRow("mixed case") << "tRuE" << OptionalBool(true);
    QTest::newRow("blanks around") << " False\t" << OptionalBool(false);
    QTest::newRow("one") << "1" << OptionalBool(true);
    QTest::newRow("minus one") << "-1" << OptionalBool(true);
    QTest::newRow("zero") << "0" << OptionalBool(false);
    QTest::newRow("minus zero") << "-0.00" << OptionalBool(false);
    QTest::newRow("fraction") << "0.5" << OptionalBool(true);
    QTest::newRow("leading point") << ".5" << OptionalBool(true);
    QTest::newRow("huge") << QString(400, QLatin1Char('9')) << OptionalBool(true);
    QTest::newRow("empty") << "" << OptionalBool();
    QTest::newRow("yes") << "yes" << OptionalBool();
    QTest::newRow("Truth") << "Truth" << OptionalBool();
    QTest::newRow("exponent") << "1e3" << OptionalBool();
    QTest::newRow("two points") << "1.2.3" << OptionalBool();
    QTest::newRow("sign alone") << "-" << OptionalBool();
    QTest::newRow("nan") << "nan" << OptionalBool();
}

void TestSettingsText::toBool()
{
    QFETCH(QString, text);
    QFETCH(OptionalBool, value);
    QCOMPARE(SettingsText::toBool(text), value);
}

void TestSettingsText::toColour_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptionalColour>("value");
    QTest::newRow("red") << "255" << OptionalColour(255);
    QTest::newRow("black") << "0" << OptionalColour(0);
    QTest::newRow("white") << "16777215" << OptionalColour(0xFFFFFF);
    QTest::newRow("window text") << "-2147483640" << OptionalColour(Colours::systemColour(8));
    QTest::newRow("first system colour") << "-2147483648" << OptionalColour(Colours::systemColour(0));
    QTest::newRow("last system colour") << "-2147483624" << OptionalColour(Colours::systemColour(24));
    QTest::newRow("blanks around") << " 255 " << OptionalColour(255);
    QTest::newRow("beyond red-green-blue") << "16777216" << OptionalColour();
    QTest::newRow("beyond the system colours") << "-2147483623" << OptionalColour();
    QTest::newRow("minus one") << "-1" << OptionalColour();
    QTest::newRow("below 32 bits") << "-2147483649" << OptionalColour();
    QTest::newRow("above 32 bits") << "2147483648" << OptionalColour();
    QTest::newRow("far beyond 64 bits") << "99999999999999999999999" << OptionalColour();
    QTest::newRow("word") << "red" << OptionalColour();
    QTest::newRow("decimal") << "255.0" << OptionalColour();
    QTest::newRow("hexadecimal") << "0xFF" << OptionalColour();
    QTest::newRow("empty") << "" << OptionalColour();
}

void TestSettingsText::toColour()
{
    QFETCH(QString, text);
    QFETCH(OptionalColour, value);
    QCOMPARE(SettingsText::toColour(text), value);
}

void TestSettingsText::toFontSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptionalSize>("value");
    QTest::newRow("whole") << "24" << OptionalSize(24);
    QTest::newRow("half") << "10.5" << OptionalSize(10.5);
    QTest::newRow("smallest") << "1" << OptionalSize(1);
    QTest::newRow("below one point") << ".99" << OptionalSize();
    QTest::newRow("largest") << "4096" << OptionalSize(4096);
    QTest::newRow("zero") << "0" << OptionalSize();
    QTest::newRow("negative") << "-12" << OptionalSize();
    QTest::newRow("too large") << "4096.5" << OptionalSize();
    QTest::newRow("absurd") << QString(400, QLatin1Char('9')) << OptionalSize();
    QTest::newRow("nan") << "nan" << OptionalSize();
    QTest::newRow("inf") << "inf" << OptionalSize();
    QTest::newRow("exponent") << "1e2" << OptionalSize();
    QTest::newRow("comma") << "10,5" << OptionalSize();
    QTest::newRow("empty") << "" << OptionalSize();
}

void TestSettingsText::toFontSize()
{
    QFETCH(QString, text);
    QFETCH(OptionalSize, value);
    // The separator is a point whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(SettingsText::toFontSize(text), value);
    QLocale::setDefault(QLocale::c());
}

void TestSettingsText::fontSizeText_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 24.0 << "24";
    QTest::newRow("preset") << 320.0 << "320";
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
        QCOMPARE(SettingsText::toFontSize(text), OptionalSize(points));
}

QTEST_GUILESS_MAIN(TestSettingsText)
#include "tst_settingstext.moc"
