// SPDX-License-Identifier: MIT
#include "settings/settingstext.h"
#include "window/marqueefont.h"

#include <QLocale>
#include <QTest>

#include <limits>

// The settings files' values as text: flags, colours and font sizes, read whatever the
// user's locale (German here, which writes a decimal comma).
class TestSettingsText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void conversion_data();
    void conversion();
    void fontSizeText();
};

void TestSettingsText::conversion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("flag"); // what each conversion gives, "-" for nothing
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QString>("size");
    const auto add = [](const QString &text, const char *flag, const char *colour, const char *size) {
        QTest::newRow(qPrintable(text.left(20))) << text << flag << colour << size;
    };
    add("True", "1", "-", "-");
    add("tRuE", "1", "-", "-");
    add(" False\t", "0", "-", "-");
    add("1", "1", "1", "1");
    add("-1", "1", "-", "-");
    add("-0.00", "0", "-", "-");
    add(".5", "1", "-", "-");
    add(".99", "1", "-", "-");
    add(QString(400, '9'), "1", "-", "-");
    add("", "-", "-", "-");
    add("yes", "-", "-", "-");
    add("1e3", "-", "-", "-");
    add("1.2.3", "-", "-", "-");
    add("-", "-", "-", "-");
    add("nan", "-", "-", "-");
    add(" 255 ", "1", "255", "255");
    add("16777215", "1", "16777215", "-");
    add("16777216", "1", "-", "-");
    add("-2147483648", "1", QString::number(Colours::systemColour(0)).toLatin1(), "-");
    add("-2147483624", "1", QString::number(Colours::systemColour(24)).toLatin1(), "-");
    add("-2147483623", "1", "-", "-");
    add("-2147483649", "1", "-", "-");
    add("2147483648", "1", "-", "-");
    add("99999999999999999999999", "1", "-", "-");
    add("255.0", "1", "-", "255");
    add("0xFF", "-", "-", "-");
    add("2048", "1", "2048", "2048");
    add("2049", "1", "2049", "-");
    add("2048.5", "1", "-", "-");
    add("0", "0", "0", "-");
    add("1e2", "-", "-", "-");
    add("10,5", "-", "-", "-");
}

void TestSettingsText::conversion()
{
    QFETCH(QString, text);
    QFETCH(QString, flag);
    QFETCH(QString, colour);
    QFETCH(QString, size);
    const auto shown = [](const auto &value) {
        return value ? QString::number(*value) : u"-"_qs;
    };
    QCOMPARE(shown(SettingsText::toBool(text)), flag);
    QCOMPARE(shown(SettingsText::toColour(text)), colour);
    QCOMPARE(shown(SettingsText::toFontSize(text)), size);
}

void TestSettingsText::fontSizeText()
{
    // Written with a point and read back the same; what is not finite is not written.
    const QList<std::pair<double, QString>> cases{{24, u"24"_qs},
                                                  {10.5, u"10.5"_qs},
                                                  {0.00001, u"0.00001"_qs},
                                                  {std::numeric_limits<double>::infinity(), {}}};
    for (const auto &[points, text] : cases) {
        QCOMPARE(SettingsText::fromFontSize(points), text);
        if (FontLimits::isAcceptableSize(points))
            QCOMPARE(SettingsText::toFontSize(text), std::optional<double>(points));
    }
}

QTEST_GUILESS_MAIN(TestSettingsText)
#include "tst_settingstext.moc"
