#include "qtcommondialog.h"

#include "app/systemcolours.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>

bool QtCommonDialog::showOpen()
{
    return showFile(QFileDialog::AcceptOpen);
}

bool QtCommonDialog::showSave()
{
    return showFile(QFileDialog::AcceptSave);
}

bool QtCommonDialog::showFile(QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(m_parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    // Any name may be typed, an existing file is not insisted on: the command itself
    // tells why a file cannot be read. Saving over a file asks first.
    dialog.setFileMode(QFileDialog::AnyFile);

    const QStringList filters = nameFilters(filter());
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.at(selectedFilterEntry(filterIndex(), filters.size())));
    }
    if (!fileName().isEmpty()) {
        const QFileInfo last(fileName());
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }

    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    setFileName(chosen.constFirst());
    return true;
}

bool QtCommonDialog::showColour()
{
    QColorDialog dialog(m_parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    // It opens on the colour it returned last; a system colour shows as the desktop has it.
    dialog.setCurrentColor(SystemColours::resolve(colour(), QApplication::palette()));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QColor picked = dialog.selectedColor().toRgb();
    setColour(Colours::rgb(picked.red(), picked.green(), picked.blue()));
    return true;
}

bool QtCommonDialog::showFont()
{
    QFontDialog dialog(m_parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    // It shows the values of its last use; before the first, the desktop's font.
    const MarqueeFont held = font();
    if (!held.name.isEmpty()) {
        QFont shown(held.name);
        if (held.size > 0)
            shown.setPointSizeF(held.size);
        shown.setBold(held.bold);
        shown.setItalic(held.italic);
        shown.setUnderline(held.underline);
        dialog.setCurrentFont(shown);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // Of the dialog's results only these five count: strikeout is not taken over.
    const QFont picked = dialog.selectedFont();
    setFont(MarqueeFont{picked.family(), picked.pointSizeF(), picked.bold(), picked.italic(),
                        picked.underline()});
    return true;
}
