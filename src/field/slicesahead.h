// SPDX-License-Identifier: MIT
#pragma once

#include "field/visibleslice.h"

#include <QFont>
#include <QString>

#include <deque>
#include <memory>
#include <vector>

// Slices laid out ahead for a scrolling text. Once the text has moved by one character,
// the slices of its next few steps are laid out together: a tick 25 ms after the last
// finds the text layout's code and the font's tables gone from the processor's caches,
// and laying out one slice then costs many times what the next ones cost right after it.
//
// A slice is taken only for the very request it was laid out for: the same start, reach,
// font and direction, and the same characters as far as a slice may read them (all of a
// short text). What it shows is then what laying out the text would show.
class SlicesAhead
{
public:
    struct Request
    {
        QStringView text;
        qsizetype start = 0;
        qreal reach = 0;
        const QFont &font;
        Qt::LayoutDirection direction = Qt::LeftToRight;
    };

    // Puts the slice laid out ahead for this request into `slice`, which is false when
    // there is none.
    [[nodiscard]] bool take(const Request &request, VisibleSlice &slice);
    // Follows the texts that are laid out, `current` the slice laid out for the request:
    // a new text drops the slices ahead, and one that moved by a character has the next
    // steps' laid out. Another request for the text just shown leaves them.
    void follow(const Request &request, const VisibleSlice &current);
    void clear();
    // How many slices have been laid out ahead: each once, for the step it is taken at.
    [[nodiscard]] qsizetype laidOut() const { return m_laidOut; }

    // How many steps are laid out together, and how much of a longer text they keep.
    static constexpr int kSteps = 8;
    static constexpr qsizetype kWindow = 2048;

private:
    enum class Step { None, Left, Right };

    struct Ahead
    {
        QString window; // the text's first characters, all of a short one
        Qt::LayoutDirection direction = Qt::LeftToRight;
        std::unique_ptr<VisibleSlice> slice;
    };

    [[nodiscard]] static bool isKeptEnough(const Request &request, const VisibleSlice &current);
    [[nodiscard]] bool isSeen(QStringView text) const;
    [[nodiscard]] Step stepTo(QStringView text) const;
    void see(QStringView text, QString window);
    void layOutAhead(const Request &request);
    [[nodiscard]] std::unique_ptr<VisibleSlice> spare();

    std::deque<Ahead> m_ahead;
    std::vector<std::unique_ptr<VisibleSlice>> m_spares;
    qsizetype m_start = 0;
    qreal m_reach = 0;
    QFont m_font;
    // The text last laid out: its first characters, its last character and its length.
    QString m_seen;
    QString m_seenLast;
    qsizetype m_seenLength = -1;
    Step m_step = Step::None;
    qsizetype m_laidOut = 0;
};
