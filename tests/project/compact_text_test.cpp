#include "project/CompactText.h"

#include <QtTest>

#include <optional>

class CompactTextTest : public QObject
{
    Q_OBJECT

private slots:
    void text_comesBackAsItWent_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("ascii") << QStringLiteral("Fix the zip writer");
        QTest::newRow("latin") << QStringLiteral("Müller's Straße");
        QTest::newRow("windows-1252 only") << QStringLiteral("€ and “quotes”");
        QTest::newRow("cjk") << QStringLiteral("日本語のメモ");
        QTest::newRow("outside the basic plane") << QStringLiteral("ship it \U0001F680");
        // QString::fromUtf8() would drop a leading mark; here it is part of the text.
        QTest::newRow("leading byte-order mark") << QStringLiteral("\uFEFFtitle");
        QTest::newRow("control characters") << QStringLiteral("a\tb\x01");
    }

    void text_comesBackAsItWent()
    {
        QFETCH(QString, text);
        const CompactText compact(text);
        QCOMPARE(compact.toString(), text);
        QCOMPARE(compact.utf8(), QByteArrayView(text.toUtf8()));
        QCOMPARE(compact.isEmpty(), text.isEmpty());
    }

    // Copies share the block; each copy outlives the others, whichever goes first.
    void copies_outliveTheOriginalAndCompareByText()
    {
        std::optional<CompactText> original(CompactText(QStringLiteral("shared text ä")));
        CompactText copy = *original;
        CompactText assigned;
        assigned = copy;
        CompactText moved = std::move(*original);
        original.reset();
        QCOMPARE(copy.toString(), QStringLiteral("shared text ä"));
        QVERIFY(assigned == moved);
        QVERIFY(!(assigned == CompactText(QStringLiteral("shared text a"))));
        QVERIFY(CompactText() == CompactText(QString()));
        copy = copy;
        QCOMPARE(copy.toString(), QStringLiteral("shared text ä"));
    }
};

QTEST_GUILESS_MAIN(CompactTextTest)
#include "compact_text_test.moc"
