// SPDX-License-Identifier: MIT
#include "qtcommondialog.h"

#include "app/systemcolours.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpressionValidator>

#include <optional>

namespace {

std::optional<double> parseSize(QString text)
{
    bool ok = false;
    const double points = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok && points > 0 ? std::optional(points) : std::nullopt;
}

QString shownSize(double points)
{
    return QString::number(points).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

// Qt's own font dialog knows whole point sizes only: its size box lets digits alone
// through, so that a typed "10.5" arrives as "105", and it reads the box as a whole
// number. Here the box takes one decimal separator (a point, or a comma as many locales
// write it), and the size in the box goes onto the dialog's sample, which is the font the
// dialog returns. A desktop's own font dialog has neither limit and is left alone.
class FractionalSizes
{
public:
    explicit FractionalSizes(QFontDialog &dialog)
    {
        const QList<QLineEdit *> edits = dialog.findChildren<QLineEdit *>();
        for (QLineEdit *edit : edits) {
            if (qobject_cast<const QIntValidator *>(edit->validator()))
                m_sizeBox = edit;
            else if (edit->objectName() == QLatin1String("qt_fontDialog_sampleEdit"))
                m_sample = edit;
        }
        if (!m_sizeBox || !m_sample)
            return;
        m_sizeBox->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{1,4}([.,][0-9]{0,2})?")), m_sizeBox));
        // Both run after the dialog's own handlers, which set the sample at a whole size.
        QObject::connect(m_sizeBox, &QLineEdit::textChanged, &dialog, [this](const QString &text) {
            if (const auto points = parseSize(text))
                m_points = *points;
            applyToSample();
        });
        // A new family or style: the dialog wrote its whole size into the box again, which
        // is 0 after a fractional one.
        QObject::connect(&dialog, &QFontDialog::currentFontChanged, &dialog, [this] {
            if (const auto points = parseSize(m_sizeBox->text())) {
                m_points = *points;
            } else if (m_points > 0) {
                const QSignalBlocker quiet(m_sizeBox);
                m_sizeBox->setText(shownSize(m_points));
            }
            applyToSample();
        });
    }

    // Shows a size that the dialog may have rounded.
    void show(double points)
    {
        if (!m_sizeBox)
            return;
        m_points = points;
        m_sizeBox->setText(shownSize(points));
        applyToSample();
    }

private:
    void applyToSample()
    {
        QFont font = m_sample->font();
        if (m_points > 0 && font.pointSizeF() != m_points) {
            font.setPointSizeF(m_points);
            m_sample->setFont(font);
        }
    }

    QLineEdit *m_sizeBox = nullptr;
    QLineEdit *m_sample = nullptr;
    double m_points = 0;
};

} // namespace

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
    FractionalSizes sizes(dialog);
    // It opens on the font handed in; without one, on the desktop's font.
    const MarqueeFont held = font();
    if (!held.name.isEmpty()) {
        QFont shown(held.name);
        // A face that is not installed shows as the face that draws in its place.
        shown.setFamily(QFontInfo(shown).family());
        if (held.size > 0)
            shown.setPointSizeF(held.size);
        shown.setBold(held.bold);
        shown.setItalic(held.italic);
        shown.setUnderline(held.underline);
        dialog.setCurrentFont(shown);
        if (held.size > 0)
            sizes.show(held.size);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // Of the dialog's results only these five count: strikeout is not taken over.
    const QFont picked = dialog.selectedFont();
    setFont(MarqueeFont{picked.family(), picked.pointSizeF(), picked.bold(), picked.italic(),
                        picked.underline()});
    return true;
}
