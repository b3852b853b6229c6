#include "app/translations.h"

#include <QDialogButtonBox>
#include <QLocale>
#include <QPushButton>
#include <QTest>

// Qt's own dialogs speak the user's language: the program loads Qt's translations for the
// locale it starts in, and a language without one stays English.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void standardButtonsSpeakTheLocale_data();
    void standardButtonsSpeakTheLocale();
};

void TestTranslations::standardButtonsSpeakTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("German") << "de_DE"
                            << "Abbrechen";
    QTest::newRow("French") << "fr_FR"
                            << "Annuler";
    // After the others: their translations went with them.
    QTest::newRow("English") << "en_US"
                             << "Cancel";
}

void TestTranslations::standardButtonsSpeakTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, cancel);
    QLocale::setDefault(QLocale(locale)); // as LANG sets the locale the program starts in
    const Translations translations{QLocale()};
    const QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancel);
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
