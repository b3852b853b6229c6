// SPDX-License-Identifier: MIT
#include "io/textencoding.h"

#include <QTest>

class TestTextEncoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("ascii") << QByteArray("Hello, \"world\"\r\n")
                               << QStringLiteral("Hello, \"world\"\r\n");
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac")
                               << QStringLiteral("caf\u00e9 \u20ac");
        QTest::newRow("utf-8 outside the BMP")
            << QByteArray("\xf0\x9f\x98\x80") << QStringLiteral("\U0001F600");
        QTest::newRow("windows-1252 letters") << QByteArray("caf\xe9") << QStringLiteral("caf\u00e9");
        QTest::newRow("windows-1252 high controls")
            << QByteArray("\x80\x85\x93\x94\x9f") << QStringLiteral("\u20ac\u2026\u201c\u201d\u0178");
        QTest::newRow("windows-1252 undefined bytes kept")
            << QByteArray("\x81\x8d\x8f\x90\x9d") << QStringLiteral("\u0081\u008d\u008f\u0090\u009d");
        QTest::newRow("truncated utf-8 falls back") << QByteArray("ab\xc3") << QStringLiteral("ab\u00c3");
        QTest::newRow("NUL bytes kept")
            << QByteArray("a\0b", 3) << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(TextEncoding::decode(bytes), text);
    }

    void roundTrip()
    {
        const QString text = QStringLiteral("Gr\u00fc\u00dfe \u2014 \U0001F600, \"quoted\"\r\nline");
        QCOMPARE(TextEncoding::decode(TextEncoding::encode(text)), text);
        QCOMPARE(TextEncoding::encode(u"plain ASCII"), QByteArray("plain ASCII"));
    }
};

QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
