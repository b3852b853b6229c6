// SPDX-License-Identifier: MIT
#include "app/translations.h"
#include "windowfixture.h"

#include <QDialogButtonBox>
#include <QLocale>
#include <QPushButton>
#include <QTest>

// Qt's own dialogs and the program's messages speak the user's language: the program loads
// Qt's translations and its own for the locale it starts in, and a language without one
// stays English.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void dialogsAndMessagesSpeakTheLocale_data();
    void dialogsAndMessagesSpeakTheLocale();
};

void TestTranslations::dialogsAndMessagesSpeakTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QString>("saveFailure");
    const QString english = QStringLiteral(
        "Could not save \"color\": it is a folder. Your text and settings are still in the window.");
    QTest::newRow("German") << "de_DE"
                            << "Abbrechen"
                            << QStringLiteral(
                                   "Speichern fehlgeschlagen für \"color\": das ist ein Ordner. Ihr "
                                   "Text und Ihre Einstellungen sind weiterhin im Fenster.");
    // Qt speaks French; the program has no French of its own.
    QTest::newRow("French") << "fr_FR"
                            << "Annuler" << english;
    // After the others: their translations went with them.
    QTest::newRow("English") << "en_US"
                             << "Cancel" << english;
}

void TestTranslations::dialogsAndMessagesSpeakTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, cancel);
    QFETCH(QString, saveFailure);
    QLocale::setDefault(QLocale(locale)); // as LANG sets the locale the program starts in
    const Translations translations{QLocale()};
    const QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancel);

    // Save where a folder stands in the way of the "color" file.
    WindowFixture fixture;
    QVERIFY(fixture.start());
    QVERIFY(QDir().mkdir(QStringLiteral("color")));
    fixture.activate(QStringLiteral("Command9"));
    QCOMPARE(fixture.messages.messages.size(), 1);
    QCOMPARE(fixture.messages.messages.first().text, saveFailure);
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
