// SPDX-License-Identifier: MIT
#include "app/qtcommondialog.h"
#include "app/systemcolours.h"
#include "io/texttransfer.h"
#include "tempcurrentdir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Acts on the first modal dialog of type T that shows, from inside the dialog's own
// event loop. A dialog that is still open after the test's patience is rejected, so
// that a failing step cannot hang the run.
template<typename T> void whenShown(std::function<void(T *)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, act, clock] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            poll->stop();
            poll->deleteLater();
            // Whatever is on top, a question the dialog asked included, goes away
            // if the test's steps leave it open.
            auto *rescue = new QTimer(dialog);
            QObject::connect(rescue, &QTimer::timeout, [] {
                if (auto *top = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                    top->reject();
            });
            rescue->start(5000);
            act(dialog);
        } else if (clock->elapsed() > 10000) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

void press(QDialog *dialog, QDialogButtonBox::StandardButton which)
{
    const QList<QDialogButtonBox *> boxes = dialog->findChildren<QDialogButtonBox *>();
    for (QDialogButtonBox *box : boxes) {
        if (QPushButton *button = box->button(which)) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    qWarning("no such button; rejecting");
    dialog->reject();
}

// The file dialog lists its folder in the background; a name typed before the listing
// is done can be overridden by the offered file's selection when it arrives.
void waitForListing(QFileDialog *dialog, int entries)
{
    auto *model = dialog->findChild<QFileSystemModel *>();
    const bool listed = QTest::qWaitFor([&] {
        const QModelIndex folder = model->index(dialog->directory().absolutePath());
        return model->rowCount(folder) >= entries && !model->canFetchMore(folder);
    });
    if (!listed)
        qWarning("folder not listed");
}

// Types as a user would: into the focused field of the active dialog. The file dialog
// drops the offered file's selection only while its name field has the focus.
void typeInto(QLineEdit *edit, const QString &text)
{
    QWidget *dialog = edit->window();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog))
        qWarning("dialog not active");
    edit->setFocus(Qt::OtherFocusReason);
    if (!QTest::qWaitFor([edit] { return edit->hasFocus(); }))
        qWarning("field without focus");
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QLineEdit *htmlColourEdit(QColorDialog *dialog)
{
    const QList<QLineEdit *> edits = dialog->findChildren<QLineEdit *>();
    for (QLineEdit *edit : edits) {
        if (qobject_cast<const QRegularExpressionValidator *>(edit->validator()))
            return edit;
    }
    return nullptr;
}

// The font dialog's three edits, in their order: family, style, size.
QList<QLineEdit *> fontEdits(QFontDialog *dialog)
{
    QList<QLineEdit *> edits;
    const QList<QLineEdit *> all = dialog->findChildren<QLineEdit *>();
    for (QLineEdit *edit : all) {
        if (edit->objectName() != QLatin1String("qt_fontDialog_sampleEdit"))
            edits << edit;
    }
    return edits;
}

QCheckBox *checkBox(QWidget *dialog, const QString &caption)
{
    const QList<QCheckBox *> boxes = dialog->findChildren<QCheckBox *>();
    for (QCheckBox *box : boxes) {
        if (box->text().remove(QLatin1Char('&')) == caption)
            return box;
    }
    return nullptr;
}

void clickFamily(QFontDialog *dialog, const QString &family)
{
    const QList<QListView *> views = dialog->findChildren<QListView *>();
    for (QListView *view : views) {
        const QModelIndexList found =
            view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, family, 1, Qt::MatchExactly);
        if (!found.isEmpty()) {
            view->scrollTo(found.constFirst());
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(found.constFirst()).center());
            return;
        }
    }
    qWarning("family not listed");
}

QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

} // namespace

class TestQtCommonDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void nameFilters_data();
    void nameFilters();
    void fileDialogsOfferFiltersAndLastPath();
    void colourDialog_data();
    void colourDialog();
    void fontDialog_data();
    void fontDialog();

private:
    std::unique_ptr<TempCurrentDir> m_dir;
    std::unique_ptr<QWidget> m_parent;
    std::unique_ptr<QtCommonDialog> m_dialog;
};

void TestQtCommonDialog::init()
{
    m_dir = std::make_unique<TempCurrentDir>();
    QVERIFY(m_dir->isValid());
    m_parent = std::make_unique<QWidget>();
    m_parent->resize(400, 300);
    m_parent->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_parent.get()));
    m_dialog = std::make_unique<QtCommonDialog>(m_parent.get());
}

void TestQtCommonDialog::cleanup()
{
    m_dialog.reset();
    m_parent.reset();
    m_dir.reset();
}

void TestQtCommonDialog::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("selected");
    QTest::newRow("import") << QString(TextTransfer::kImportFilter) << 1
                            << QStringList{"All Files (*)", "Text Files (*.txt)", "Batch Files (*.bat)",
                                           "Web Page (*.htm)", "Rich Text Format (*.rtf)"}
                            << 0;
    QTest::newRow("export, no closing bar") << QString(TextTransfer::kExportFilter) << 1
                                            << QStringList{"Text Files (*.txt)", "Batch Files (*.bat)",
                                                           "Web Page (*.htm*)", "Rich Text Format (*.rtf)"}
                                            << 0;
    QTest::newRow("third entry") << QString(TextTransfer::kExportFilter) << 3
                                 << QStringList{"Text Files (*.txt)", "Batch Files (*.bat)",
                                                "Web Page (*.htm*)", "Rich Text Format (*.rtf)"}
                                 << 2;
    QTest::newRow("patterns not in the description")
        << "Logs|*.log;*.txt|Other (*.x)|*.y" << 0 << QStringList{"Logs (*.log *.txt)", "Other (*.x) (*.y)"}
        << 0;
    QTest::newRow("description without pattern") << "Anything" << 9 << QStringList{"Anything (*)"} << 0;
    QTest::newRow("empty") << "" << 1 << QStringList{} << 0;
}

void TestQtCommonDialog::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(int, filterIndex);
    QFETCH(QStringList, names);
    QFETCH(int, selected);
    QCOMPARE(CommonDialog::nameFilters(filter), names);
    QCOMPARE(CommonDialog::selectedFilterEntry(filterIndex, names.size()), selected);
}

void TestQtCommonDialog::fileDialogsOfferFiltersAndLastPath()
{
    m_dir->write(QStringLiteral("notes.txt"), "notes");
    m_dialog->setFilter(QString(TextTransfer::kImportFilter));
    m_dialog->setFilterIndex(1);
    QStringList offeredFilters;
    QString preselected;
    bool opening = false;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        for (int index = 0; types && index < types->count(); ++index)
            offeredFilters << types->itemText(index);
        preselected = types ? types->currentText() : QString();
        opening = dialog->acceptMode() == QFileDialog::AcceptOpen;
        waitForListing(dialog, 1);
        typeInto(dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), QStringLiteral("notes.txt"));
        press(dialog, QDialogButtonBox::Open);
    });
    QVERIFY(m_dialog->showOpen());
    QCOMPARE(offeredFilters, CommonDialog::nameFilters(QString(TextTransfer::kImportFilter)));
    QCOMPARE(preselected, QStringLiteral("All Files (*)"));
    QVERIFY(opening);
    QCOMPARE(canonical(m_dialog->fileName()), canonical(m_dir->filePath(QStringLiteral("notes.txt"))));

    // The save dialog offers the path just opened, and a name typed without extension
    // stays without one whatever filter is selected.
    QVERIFY(QDir::current().mkdir(QStringLiteral("elsewhere")));
    QDir::setCurrent(m_dir->filePath(QStringLiteral("elsewhere")));
    m_dialog->setFilter(QString(TextTransfer::kExportFilter));
    m_dialog->setFilterIndex(2);
    QString offeredFolder;
    QString offeredName;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        offeredFolder = dialog->directory().absolutePath();
        offeredName = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        preselected = dialog->selectedNameFilter();
        opening = dialog->acceptMode() == QFileDialog::AcceptOpen;
        waitForListing(dialog, 2);
        typeInto(dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), QStringLiteral("report"));
        press(dialog, QDialogButtonBox::Save);
    });
    QVERIFY(m_dialog->showSave());
    QVERIFY(!opening);
    QCOMPARE(canonical(offeredFolder), canonical(m_dir->path()));
    QCOMPARE(offeredName, QStringLiteral("notes.txt"));
    QCOMPARE(preselected, QStringLiteral("Batch Files (*.bat)"));
    QCOMPARE(QFileInfo(m_dialog->fileName()).fileName(), QStringLiteral("report"));
    QCOMPARE(canonical(QFileInfo(m_dialog->fileName()).absolutePath()), canonical(m_dir->path()));

    // Cancel keeps the name, and writes nothing.
    const QString kept = m_dialog->fileName();
    whenShown<QFileDialog>([](QFileDialog *dialog) {
        typeInto(dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), QStringLiteral("other.htm"));
        press(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(!m_dialog->showSave());
    QCOMPARE(m_dialog->fileName(), kept);
}

void TestQtCommonDialog::colourDialog_data()
{
    QTest::addColumn<ColourValue>("held");
    QTest::addColumn<QColor>("shown");
    QTest::newRow("red") << Colours::rgb(255, 0, 0) << QColor(255, 0, 0);
    QTest::newRow("system window text") << Colours::systemColour(Colours::kWindowText)
                                        << QApplication::palette().color(QPalette::Active, QPalette::Text);
}

void TestQtCommonDialog::colourDialog()
{
    QFETCH(ColourValue, held);
    QFETCH(QColor, shown);
    m_dialog->setColour(held);
    QColor initial;
    whenShown<QColorDialog>([&](QColorDialog *dialog) {
        initial = dialog->currentColor();
        typeInto(htmlColourEdit(dialog), QStringLiteral("#112233"));
        press(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(m_dialog->showColour());
    QCOMPARE(initial, shown);
    // Red in the lowest byte, then green, then blue.
    QCOMPARE(m_dialog->colour(), 0x332211);

    // The next use starts on that colour; Cancel returns nothing and keeps it.
    whenShown<QColorDialog>([&](QColorDialog *dialog) {
        initial = dialog->currentColor();
        typeInto(htmlColourEdit(dialog), QStringLiteral("#ffffff"));
        press(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(!m_dialog->showColour());
    QCOMPARE(initial, QColor(0x11, 0x22, 0x33));
    QCOMPARE(m_dialog->colour(), 0x332211);
}

void TestQtCommonDialog::fontDialog_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("shownAgain");
    QTest::newRow("whole") << "18" << 18.0 << "18";
    QTest::newRow("decimal point") << "10.5" << 10.5 << "10.5";
    QTest::newRow("decimal comma") << "7,25" << 7.25 << "7.25";
}

void TestQtCommonDialog::fontDialog()
{
    QFETCH(QString, typed);
    QFETCH(double, size);
    QFETCH(QString, shownAgain);
    m_dialog->setFont(MarqueeFont{QStringLiteral("DejaVu Sans"), 24, true, false, false});
    QStringList shown;
    whenShown<QFontDialog>([&](QFontDialog *dialog) {
        for (QLineEdit *edit : fontEdits(dialog))
            shown << edit->text();
        // The size first: choosing a face afterwards must keep it.
        typeInto(fontEdits(dialog).value(2), typed);
        clickFamily(dialog, QStringLiteral("Liberation Serif"));
        checkBox(dialog, QStringLiteral("Underline"))->click();
        checkBox(dialog, QStringLiteral("Strikeout"))->click();
        press(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(m_dialog->showFont());
    QCOMPARE(shown, (QStringList{"DejaVu Sans", "Bold", "24"}));
    QCOMPARE(m_dialog->font(), (MarqueeFont{QStringLiteral("Liberation Serif"), size, true, false, true}));

    // It opens on the font handed in, its size as it is, and strikeout was not kept.
    shown.clear();
    bool underline = false;
    bool strikeout = true;
    whenShown<QFontDialog>([&](QFontDialog *dialog) {
        for (QLineEdit *edit : fontEdits(dialog))
            shown << edit->text();
        underline = checkBox(dialog, QStringLiteral("Underline"))->isChecked();
        strikeout = checkBox(dialog, QStringLiteral("Strikeout"))->isChecked();
        typeInto(fontEdits(dialog).value(2), QStringLiteral("40"));
        press(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(!m_dialog->showFont());
    QCOMPARE(shown, (QStringList{"Liberation Serif", "Bold", shownAgain}));
    QVERIFY(underline);
    QVERIFY(!strikeout);
    QCOMPARE(m_dialog->font(), (MarqueeFont{QStringLiteral("Liberation Serif"), size, true, false, true}));
}

QTEST_MAIN(TestQtCommonDialog)
#include "tst_qtcommondialog.moc"
