#include "docs/FontList.h"
#include "docs/FontSize.h"
#include "docs/Links.h"
#include "project/Error.h"

#include <QtTest>

class DocumentsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fontList_sortsIgnoringCaseAndKeepsEachNameOnce_data()
    {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("sorted ignoring case") << QStringList{"courier", "Arial", "Bitstream"}
                                              << QStringList{"Arial", "Bitstream", "courier"};
        QTest::newRow("a run of repeats") << QStringList{"Serif", "Mono", "Serif", "Serif"}
                                          << QStringList{"Mono", "Serif"};
        QTest::newRow("case twins stay") << QStringList{"arial", "Arial"} << QStringList{"Arial", "arial"};
        // A repeat listed on either side of its case twin still stands once.
        QTest::newRow("repeat around a case twin") << QStringList{"Arial", "arial", "Arial"}
                                                   << QStringList{"Arial", "arial"};
        QTest::newRow("foundries") << QStringList{"Nimbus Sans [urw]", "Mono", "Nimbus Sans [UKWN]"}
                                   << QStringList{"Mono", "Nimbus Sans"};
        QTest::newRow("brackets in a name") << QStringList{"[Odd]", "Odd [x"} << QStringList{"[Odd]", "Odd [x"};
        QTest::newRow("none") << QStringList{} << QStringList{};
    }
    void fontList_sortsIgnoringCaseAndKeepsEachNameOnce()
    {
        QFETCH(QStringList, families);
        QFETCH(QStringList, expected);
        QCOMPARE(fontList(families), expected);
    }

    void fontSize_takesWholePointsOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("points"); // 0: refused
        QTest::newRow("14") << "14" << 14;
        QTest::newRow("spaces around") << " 12 " << 12;
        QTest::newRow("smallest") << "1" << 1;
        QTest::newRow("largest") << "1638" << 1638;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters") << "big" << 0;
        QTest::newRow("fraction") << "10.5" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("negative") << "-3" << 0;
        QTest::newRow("too large") << "100000" << 0;
        QTest::newRow("hex") << "0x10" << 0;
    }
    void fontSize_takesWholePointsOnly()
    {
        QFETCH(QString, text);
        QFETCH(int, points);
        if (points) {
            QCOMPARE(FontSize::fromText(text), points);
            return;
        }
        try {
            FontSize::fromText(text);
            QFAIL("accepted");
        } catch (const Error &error) {
            QVERIFY2(error.message().contains(QLatin1Char('"') + text + QLatin1Char('"')), qPrintable(error.message()));
        }
    }

    void linksIn_findsAddressesWithoutSurroundingPunctuation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<Link>>("links");
        QTest::newRow("web address") << "see https://example.org/a?b=1 now"
                                     << QList<Link>{{4, 25, "https://example.org/a?b=1"}};
        QTest::newRow("end of sentence") << "Go to http://x.org." << QList<Link>{{6, 12, "http://x.org"}};
        QTest::newRow("in brackets") << "(mailto:ann@x.org)" << QList<Link>{{1, 16, "mailto:ann@x.org"}};
        QTest::newRow("bare www") << "www.example.org" << QList<Link>{{0, 15, "http://www.example.org"}};
        QTest::newRow("scheme in capitals") << "FTP://host/f" << QList<Link>{{0, 12, "FTP://host/f"}};
        QTest::newRow("two") << "file:/tmp/a\twww.b.org"
                             << QList<Link>{{0, 11, "file:/tmp/a"}, {12, 9, "http://www.b.org"}};
        QTest::newRow("scheme alone") << "http:// and www." << QList<Link>{};
        QTest::newRow("inside a word") << "xhttp://a.org" << QList<Link>{};
        QTest::newRow("plain text") << "ftp.log is a file" << QList<Link>{};
    }
    void linksIn_findsAddressesWithoutSurroundingPunctuation()
    {
        QFETCH(QString, text);
        QFETCH(QList<Link>, links);
        QCOMPARE(linksIn(text), links);
    }
};

QTEST_APPLESS_MAIN(DocumentsTest)
#include "documents_test.moc"
