// SPDX-License-Identifier: MIT
#include "app/qtcommondialog.h"
#include "io/texttransfer.h"
#include "tempcurrentdir.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Acts on the next modal dialog of type T from inside its own event loop. Whatever modal
// dialog is on top every five seconds after is rejected until that dialog closes, so that
// a failing step, or a question the dialog asks, cannot hang the run.
template<typename T> void whenShown(std::function<void(T *)> act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        auto *rescue = new QTimer(dialog);
        QObject::connect(rescue, &QTimer::timeout, [] {
            if (auto *top = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                top->reject();
        });
        rescue->start(5000);
        act(dialog);
    });
    poll->start(10);
}

// Types a name into the file dialog, once it has listed its folder (never empty here),
// into its name field with the focus: the listing arrives in the background and selects
// the file offered, which replaces the name in a field without the focus.
void typeFileName(QFileDialog *dialog, const QString &name)
{
    auto *model = dialog->findChild<QFileSystemModel *>();
    const QModelIndex folder = model->index(dialog->directory().absolutePath());
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    dialog->activateWindow();
    edit->setFocus();
    if (!QTest::qWaitFor(
            [&] { return model->rowCount(folder) > 0 && !model->canFetchMore(folder) && edit->hasFocus(); }))
        qWarning("folder not listed, or name field without the focus");
    edit->setText(name);
}

// The font dialog's family, style and size boxes, and what they show.
QList<QLineEdit *> fontEdits(QFontDialog *dialog)
{
    QList<QLineEdit *> edits = dialog->findChildren<QLineEdit *>();
    edits.removeOne(dialog->findChild<QLineEdit *>(QStringLiteral("qt_fontDialog_sampleEdit")));
    return edits;
}
QStringList fontShown(QFontDialog *dialog)
{
    QStringList shown;
    for (QLineEdit *edit : fontEdits(dialog))
        shown << edit->text();
    return shown;
}

void selectFamily(QFontDialog *dialog, const QString &family)
{
    for (QListView *view : dialog->findChildren<QListView *>()) {
        const QModelIndexList found =
            view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, family, 1, Qt::MatchExactly);
        if (!found.isEmpty())
            view->setCurrentIndex(found.constFirst());
    }
}

QCheckBox *checkBox(QWidget *dialog, const QString &caption)
{
    for (QCheckBox *box : dialog->findChildren<QCheckBox *>()) {
        if (box->text().remove(QLatin1Char('&')) == caption)
            return box;
    }
    return nullptr;
}

// The path with its folder's links resolved; the file need not exist.
QString canonical(const QString &path)
{
    const QFileInfo info(path);
    return QFileInfo(info.absolutePath()).canonicalFilePath() + u'/' + info.fileName();
}

} // namespace

class TestQtCommonDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dialog = std::make_unique<QtCommonDialog>(nullptr); }
    void fileDialogs();
    void colourDialog();
    void fontDialog_data();
    void fontDialog();

private:
    TempCurrentDir m_dir;
    std::unique_ptr<QtCommonDialog> m_dialog;
};

void TestQtCommonDialog::fileDialogs()
{
    m_dir.write(QStringLiteral("notes.txt"), "notes");
    m_dialog->setFilter(QString(TextTransfer::kImportFilter));
    m_dialog->setFilterIndex(2);
    QStringList offered;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        offered = dialog->nameFilters();
        offered << dialog->selectedNameFilter() << QString::number(dialog->acceptMode());
        typeFileName(dialog, QStringLiteral("notes.txt"));
        static_cast<QDialog *>(dialog)->accept();
    });
    QVERIFY(m_dialog->showOpen());
    // The program's filter list, entry for entry, the one its index names selected.
    QCOMPARE(offered, (QStringList{"All Files (*)", "Text Files (*.txt)", "Batch Files (*.bat)",
                                   "Web Page (*.htm)", "Rich Text Format (*.rtf)", "Text Files (*.txt)",
                                   QString::number(QFileDialog::AcceptOpen)}));
    QCOMPARE(canonical(m_dialog->fileName()), canonical(m_dir.filePath(QStringLiteral("notes.txt"))));

    // Save, from another current folder, offers the path just opened; a name without
    // extension stays without one.
    QVERIFY(QDir::current().mkdir(QStringLiteral("elsewhere")));
    QDir::setCurrent(QStringLiteral("elsewhere"));
    m_dialog->setFilter(QString(TextTransfer::kExportFilter));
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        offered = QStringList{canonical(dialog->directory().absolutePath()),
                              dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(),
                              dialog->selectedNameFilter(), QString::number(dialog->acceptMode())};
        typeFileName(dialog, QStringLiteral("report"));
        static_cast<QDialog *>(dialog)->accept();
    });
    QVERIFY(m_dialog->showSave());
    QDir::setCurrent(m_dir.path());
    QCOMPARE(offered, (QStringList{canonical(m_dir.path()), "notes.txt", "Batch Files (*.bat)",
                                   QString::number(QFileDialog::AcceptSave)}));
    QCOMPARE(canonical(m_dialog->fileName()), canonical(m_dir.filePath(QStringLiteral("report"))));

    // Cancel keeps the name.
    whenShown<QFileDialog>([](QFileDialog *dialog) {
        typeFileName(dialog, QStringLiteral("other.htm"));
        dialog->reject();
    });
    QVERIFY(!m_dialog->showSave());
    QCOMPARE(canonical(m_dialog->fileName()), canonical(m_dir.filePath(QStringLiteral("report"))));
}

void TestQtCommonDialog::colourDialog()
{
    // A system colour shows as the desktop has it; red is in the lowest byte; the next
    // use starts on the colour picked, and Cancel keeps it.
    m_dialog->setColour(Colours::systemColour(Colours::kWindowText));
    QList<QColor> initial;
    for (const QColor &typed : {QColor(0x11, 0x22, 0x33), QColor(Qt::white)}) {
        whenShown<QColorDialog>([&](QColorDialog *dialog) {
            initial << dialog->currentColor();
            dialog->setCurrentColor(typed);
            typed == Qt::white ? dialog->reject() : dialog->accept();
        });
        QCOMPARE(m_dialog->showColour(), typed != Qt::white);
        QCOMPARE(m_dialog->colour(), 0x332211);
    }
    QCOMPARE(initial, (QList<QColor>{QApplication::palette().color(QPalette::Active, QPalette::Text),
                                     QColor(0x11, 0x22, 0x33)}));
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
        shown = fontShown(dialog);
        // The size first: choosing a family afterwards must keep it.
        QLineEdit *sizeBox = fontEdits(dialog).value(2);
        sizeBox->selectAll();
        QTest::keyClicks(sizeBox, typed);
        selectFamily(dialog, QStringLiteral("Liberation Serif"));
        checkBox(dialog, QStringLiteral("Underline"))->click();
        checkBox(dialog, QStringLiteral("Strikeout"))->click();
        dialog->accept();
    });
    QVERIFY(m_dialog->showFont());
    QCOMPARE(shown, (QStringList{"DejaVu Sans", "Bold", "24"}));
    const MarqueeFont picked{QStringLiteral("Liberation Serif"), size, true, false, true};
    QCOMPARE(m_dialog->font(), picked);

    // It opens on the font handed in, its size as it is, without the strikeout.
    whenShown<QFontDialog>([&](QFontDialog *dialog) {
        shown =
            fontShown(dialog) << QString::number(checkBox(dialog, QStringLiteral("Strikeout"))->isChecked());
        dialog->reject();
    });
    QVERIFY(!m_dialog->showFont());
    QCOMPARE(shown, (QStringList{"Liberation Serif", "Bold", shownAgain, "0"}));
    QCOMPARE(m_dialog->font(), picked);
}

QTEST_MAIN(TestQtCommonDialog)
#include "tst_qtcommondialog.moc"
