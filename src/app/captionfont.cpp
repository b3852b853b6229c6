// SPDX-License-Identifier: MIT
#include "app/captionfont.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace {

// A push button's caption keeps this far from its bevel.
constexpr int kButtonPadding = 2;
// A frame's caption box stands this far in from the frame's left side (and its letters
// a little further), and keeps at least as far from the right one.
constexpr int kFrameCaptionLeft = 6;
constexpr int kFrameCaptionPadding = 2;
// The frame caption's letters start this far below the frame's top.
constexpr int kFrameCaptionTop = 1;

// The letters of a line drawn vertically centred in the room, as the styles draw captions.
QRect inkInRoom(const QRect &room, const QFontMetrics &metrics, const QString &text, int left)
{
    const int baseline = room.top() + (room.height() - metrics.height()) / 2 + metrics.ascent();
    return metrics.tightBoundingRect(text).translated(left, baseline);
}

QStyleOptionButton buttonOption(QAbstractButton *button, const QFontMetrics &metrics, const QString &text)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.fontMetrics = metrics;
    option.text = text;
    if (auto *push = qobject_cast<QPushButton *>(button)) {
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
    }
    return option;
}

bool pushButtonFits(QPushButton *button, const QFontMetrics &metrics, const QString &text)
{
    const QStyleOptionButton option = buttonOption(button, metrics, text);
    const QRect room = button->style()
                           ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                           .adjusted(kButtonPadding, 0, -kButtonPadding, 0);
    const int advance = metrics.horizontalAdvance(text);
    const QRect ink = inkInRoom(room, metrics, text, room.left() + (room.width() - advance) / 2);
    return advance <= room.width() && room.contains(ink);
}

// Where an option button shows anything: its round indicator and its caption's letters.
QRect optionShown(QRadioButton *button, const QFontMetrics &metrics, const QString &text)
{
    const QStyleOptionButton option = buttonOption(button, metrics, text);
    const QRect indicator = button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button);
    const QRect room = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    return indicator.united(inkInRoom(room, metrics, text, room.left()));
}

bool optionButtonFits(QRadioButton *button, const QFontMetrics &metrics, const QString &text)
{
    const QStyleOptionButton option = buttonOption(button, metrics, text);
    const QRect room = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    return metrics.horizontalAdvance(text) <= room.width() &&
           room.contains(inkInRoom(room, metrics, text, room.left()));
}

// The caption's letters stand above everything that the controls inside the frame show,
// and the caption's box, with room for the style's label spacing, between its sides.
bool frameFits(QGroupBox *frame, const QFontMetrics &metrics, const QString &text)
{
    const int spacing = frame->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, frame);
    const int boxWidth = metrics.horizontalAdvance(text) + spacing + 2 * kFrameCaptionPadding;
    if (2 * kFrameCaptionLeft + boxWidth > frame->width())
        return false;
    const int inkBottom = kFrameCaptionTop + metrics.tightBoundingRect(text).height() - 1;
    const QList<QRadioButton *> options = frame->findChildren<QRadioButton *>();
    return std::all_of(options.cbegin(), options.cend(), [&](QRadioButton *option) {
        const QRect shown =
            optionShown(option, metrics, option->text()).translated(option->mapTo(frame, QPoint()));
        return shown.top() > inkBottom + 1;
    });
}

} // namespace

namespace CaptionFont {

bool fits(const Caption &caption, const QFont &font)
{
    const QFontMetrics metrics(font);
    return std::all_of(caption.texts.cbegin(), caption.texts.cend(), [&](const QString &text) {
        if (auto *push = qobject_cast<QPushButton *>(caption.control))
            return pushButtonFits(push, metrics, text);
        if (auto *option = qobject_cast<QRadioButton *>(caption.control))
            return optionButtonFits(option, metrics, text);
        if (auto *frame = qobject_cast<QGroupBox *>(caption.control))
            return frameFits(frame, metrics, text);
        return true;
    });
}

QFont choose(const QList<Caption> &captions, const QFont &desktopFont)
{
    // A font given in pixels has its size in points only once matched.
    const double ceiling =
        desktopFont.pointSizeF() > 0 ? desktopFont.pointSizeF() : QFontInfo(desktopFont).pointSizeF();
    const auto allFit = [&captions](const QFont &font) {
        return std::all_of(captions.cbegin(), captions.cend(),
                           [&font](const Caption &caption) { return fits(caption, font); });
    };
    for (QFont candidate :
         {desktopFont, QFont(QStringLiteral("DejaVu Sans")), QFont(QStringLiteral("Liberation Sans"))}) {
        for (double points = ceiling; points >= kSmallestPoints; points -= kStepPoints) {
            candidate.setPointSizeF(points);
            if (allFit(candidate))
                return candidate;
        }
    }
    QFont smallest = desktopFont;
    smallest.setPointSizeF(kSmallestPoints);
    return smallest;
}

void placeFrameCaption(QGroupBox *frame, const QFont &font)
{
    frame->setFont(font);
    const QFontMetrics metrics(font);
    // The caption's box is one line high; its letters begin below the line's top.
    const int lettersTop = metrics.ascent() + metrics.tightBoundingRect(frame->title()).top();
    const int captionShift = kFrameCaptionTop - lettersTop;
    // Halfway between the letters' top and their baseline.
    const int border = kFrameCaptionTop + (metrics.ascent() - lettersTop) / 2;
    frame->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                                        " margin-top: %1px; }"
                                        "QGroupBox::title { subcontrol-origin: margin; left: %2px;"
                                        " top: %3px; padding: 0px %4px; }")
                             .arg(border)
                             .arg(kFrameCaptionLeft)
                             .arg(captionShift)
                             .arg(kFrameCaptionPadding));
}

} // namespace CaptionFont
