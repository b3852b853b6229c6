// SPDX-License-Identifier: MIT
#include "app/translations.h"
#include "windowfixture.h"

#include <QDialogButtonBox>
#include <QPushButton>

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
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QString>("saveFailure");
    const QString english =
        u"Could not save \"color\": it is a folder. Your text and settings are still in the window."_qs;
    QTest::newRow("de_DE")
        << "Abbrechen"
        << u"Speichern fehlgeschlagen für \"color\": das ist ein Ordner. Ihr Text und Ihre "
           u"Einstellungen sind weiterhin im Fenster."_qs;
    QTest::newRow("fr_FR") << "Annuler" << english; // Qt speaks French; the program has none of its own
    QTest::newRow("en_US") << "Cancel" << english;  // after the others: their translations went with them
}

void TestTranslations::dialogsAndMessagesSpeakTheLocale()
{
    QFETCH(QString, cancel);
    QFETCH(QString, saveFailure);
    QLocale::setDefault(QLocale(QString::fromLatin1(QTest::currentDataTag()))); // as LANG sets it
    const Translations translations{QLocale()};
    const QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancel);

    // Save where a folder stands in the way of the "color" file.
    WindowFixture fixture;
    QVERIFY(fixture.start() && QDir().mkdir(u"color"_qs));
    fixture.child<QPushButton>(u"Command9"_qs)->click();
    QCOMPARE(fixture.messages.messages.size(), 1);
    QCOMPARE(fixture.messages.messages.first().text, saveFailure);
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
