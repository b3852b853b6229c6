// SPDX-License-Identifier: MIT
#pragma once

// What the benchmarks share: their sample text, the summary of a series of times and the
// bars each figure must meet, printed as they are checked.

#include "window/initialstate.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

inline constexpr int kLongest = InitialState::kMaxTextLength;

// `pattern` repeated and cut to `length` units.
inline QString repeatedText(const QString &pattern, int length)
{
    QString text;
    text.reserve(length);
    while (text.size() < length)
        text += pattern;
    text.truncate(length);
    return text;
}

// A text of the given length made of ordinary sentences, so that the field shows the
// usual mix of letters, capitals, digits and punctuation.
inline QString sampleText(int length)
{
    return repeatedText(QStringLiteral("The quick brown fox jumps over the lazy dog, 1234567890 times! "),
                        length);
}

struct Summary
{
    double median = 0;
    double mean = 0;
    double p99 = 0;
    double max = 0;
    qsizetype count = 0;
};

inline Summary summarise(std::vector<double> values)
{
    Summary summary;
    summary.count = qsizetype(values.size());
    if (values.empty())
        return summary;
    std::sort(values.begin(), values.end());
    summary.median = values[values.size() / 2];
    double total = 0;
    for (const double value : values)
        total += value;
    summary.mean = total / double(values.size());
    summary.p99 = values[std::min(values.size() - 1, size_t(double(values.size()) * 0.99))];
    summary.max = values.back();
    return summary;
}

class Bars
{
public:
    void check(bool met, const QString &bar, const QString &figures)
    {
        m_allMet = m_allMet && met;
        std::printf("%s  %s: %s\n", met ? "PASS" : "FAIL", qPrintable(bar), qPrintable(figures));
    }
    [[nodiscard]] bool allMet() const { return m_allMet; }

private:
    bool m_allMet = true;
};

inline QString ms(double milliseconds)
{
    return QString::number(milliseconds, 'f', milliseconds < 10 ? 3 : 1) + QStringLiteral(" ms");
}
