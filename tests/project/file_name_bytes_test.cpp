#include "project/FileNameBytes.h"

#include <QtTest>

// File names go from bytes to text and back unchanged, whatever the bytes; valid UTF-8 reads as
// the text it is.
class FileNameBytesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void name_makesTheTripByteForByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("text"); // valid UTF-8, read as the text it is
        QTest::newRow("ASCII") << QByteArray("/p/a.tmp") << true;
        QTest::newRow("UTF-8") << QByteArray("/p/Stra\xc3\x9f" "e \xe2\x82\xac \xf0\x9f\x98\x80.txt") << true;
        QTest::newRow("a stray byte") << QByteArray("/p/bad\xff.tmp") << false;
        QTest::newRow("Latin-1") << QByteArray("/p/caf\xe9.txt") << false;
        QTest::newRow("cut-off sequence at the end") << QByteArray("/p/x\xe2\x82") << false;
        QTest::newRow("overlong slash") << QByteArray("/p/\xc0\xaf") << false;
        QTest::newRow("encoded surrogate") << QByteArray("/p/\xed\xa0\x80") << false;
        QTest::newRow("past U+10FFFF") << QByteArray("/p/\xf4\x90\x80\x80") << false;
        // A four-byte character's low surrogate lies where raw bytes are kept: it stays text.
        QTest::newRow("raw byte after a four-byte character") << QByteArray("\xf0\x9f\x98\x80\xff\xf0\x9f\x98\x80") << false;
    }

    void name_makesTheTripByteForByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, text);
        const QString name = FileNameBytes::decode(bytes);
        QCOMPARE(FileNameBytes::encode(name), bytes);
        QCOMPARE(FileNameBytes::hasRawBytes(name), !text);
        if (text)
            QCOMPARE(name, QString::fromUtf8(bytes));
        QVERIFY(!name.contains(QChar::ReplacementCharacter));
    }
};

QTEST_GUILESS_MAIN(FileNameBytesTest)
#include "file_name_bytes_test.moc"
