// SPDX-License-Identifier: MIT
#include "settings/recordformat.h"

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kComma = u',';
constexpr QChar kCr = u'\r';
constexpr QChar kLf = u'\n';

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(QChar c)
{
    return c == kCr || c == kLf;
}

// Walks a record one value at a time.
class RecordReader
{
public:
    explicit RecordReader(QStringView record) : m_text(record) {}

    [[nodiscard]] bool atEnd() const { return m_pos >= m_text.size(); }

    void skipBlanks()
    {
        while (!atEnd() && isBlank(m_text[m_pos]))
            ++m_pos;
    }

    [[nodiscard]] QString readValue()
    {
        if (m_text[m_pos] == kQuote)
            return readQuoted();
        const qsizetype start = m_pos;
        skipToSeparator();
        QStringView value = m_text.sliced(start, m_pos - start);
        while (!value.isEmpty() && isBlank(value.back()))
            value.chop(1);
        skipSeparator();
        return value.toString();
    }

private:
    QString readQuoted()
    {
        ++m_pos;
        QString value;
        while (!atEnd()) {
            const qsizetype quote = m_text.indexOf(kQuote, m_pos);
            if (quote < 0) {
                // No closing quote: the value runs to the end.
                value += m_text.sliced(m_pos);
                m_pos = m_text.size();
                break;
            }
            value += m_text.sliced(m_pos, quote - m_pos);
            m_pos = quote + 1;
            if (atEnd() || m_text[m_pos] != kQuote)
                break;
            value += kQuote; // a doubled quote stands for one quote
            ++m_pos;
        }
        skipToSeparator();
        skipSeparator();
        return value;
    }

    void skipToSeparator()
    {
        while (!atEnd() && m_text[m_pos] != kComma && !isLineEnd(m_text[m_pos]))
            ++m_pos;
    }

    // Consumes one comma or one line end (CR LF, CR or LF).
    void skipSeparator()
    {
        if (atEnd())
            return;
        const QChar c = m_text[m_pos++];
        if (c == kCr && !atEnd() && m_text[m_pos] == kLf)
            ++m_pos;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

} // namespace

namespace RecordFormat {

QString compose(const QStringList &values)
{
    QString record;
    for (qsizetype index = 0; index < values.size(); ++index) {
        if (index > 0)
            record += kComma;
        record += kQuote;
        QString value = values[index];
        record += value.replace(kQuote, QStringLiteral("\"\""));
        record += kQuote;
    }
    record += QStringLiteral("\r\n");
    return record;
}

QStringList parse(QStringView record, qsizetype count)
{
    QStringList values;
    RecordReader reader(record);
    while (values.size() < count) {
        reader.skipBlanks();
        if (reader.atEnd())
            break;
        values.append(reader.readValue());
    }
    return values;
}

} // namespace RecordFormat
