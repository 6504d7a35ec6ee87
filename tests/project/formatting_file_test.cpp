#include "project/FormattingFile.h"
#include "support/TestSupport.h"

#include <QtTest>

class FormattingFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writeThenRead_givesTheSameHtml()
    {
        QTemporaryDir dir;
        const QString project = dir.filePath(QStringLiteral("demo.dev"));
        const DocumentFormatting formatting{QStringLiteral("<html>\n<body>\n<p><b>Grüße</b> – 東京</p>\n\n</body>\n</html>"),
                                            QString()};
        FormattingFile::write(project, formatting);
        QCOMPARE(FormattingFile::pathFor(project), project + QStringLiteral("-docs"));
        QCOMPARE(FormattingFile::read(project), formatting);
    }

    // Anything that is not a whole file of ours counts as no formatting: the project's text
    // stands on its own.
    void read_ofSomethingElse_givesNone_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("bytes");
        QTest::newRow("missing") << std::optional<QByteArray>();
        QTest::newRow("no signature") << std::optional<QByteArray>("1\r\n<b>x</b>\r\n0\r\n");
        QTest::newRow("count not a number") << std::optional<QByteArray>("Trovas document formatting\r\nx\r\n");
        QTest::newRow("cut short") << std::optional<QByteArray>("Trovas document formatting\r\n3\r\n<b>x</b>\r\n");
        QTest::newRow("licence missing") << std::optional<QByteArray>("Trovas document formatting\r\n1\r\n<b>x</b>\r\n");
        QTest::newRow("negative count") << std::optional<QByteArray>("Trovas document formatting\r\n-1\r\n0\r\n");
    }

    void read_ofSomethingElse_givesNone()
    {
        QFETCH(std::optional<QByteArray>, bytes);
        QTemporaryDir dir;
        const QString project = dir.filePath(QStringLiteral("demo.dev"));
        if (bytes)
            writeFile(FormattingFile::pathFor(project), *bytes);
        QCOMPARE(FormattingFile::read(project), DocumentFormatting());
    }
};

QTEST_GUILESS_MAIN(FormattingFileTest)
#include "formatting_file_test.moc"
