#include "upload/FtpReply.h"
#include "upload/FtpReplyError.h"

#include <QtTest>

// Reading replies line by line: where a reply ends, its code, its text and its flag.
class FtpReplyTest : public QObject
{
    Q_OBJECT

private slots:
    void addLine_assemblesReply_data();
    void addLine_assemblesReply();
    void validateCode_rejectsMalformedCodes_data();
    void validateCode_rejectsMalformedCodes();
    void check_raisesReplyErrorOutsideAllowedCodes();
};

void FtpReplyTest::addLine_assemblesReply_data()
{
    QTest::addColumn<QStringList>("lines"); // the reply must end exactly at the last one
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("text");
    QTest::addColumn<bool>("indented");

    QTest::newRow("single line") << QStringList{"220 Ready"} << "220" << QStringList{"Ready"} << false;
    QTest::newRow("first line trimmed") << QStringList{"\t 220 Ready  \x01"} << "220" << QStringList{"Ready"} << false;
    QTest::newRow("blank lines skipped") << QStringList{"", "   ", "230 In"} << "230" << QStringList{"In"} << false;
    QTest::newRow("code alone") << QStringList{"250"} << "250" << QStringList{""} << false;
    QTest::newRow("multi-line greeting")
        << QStringList{"220-Welcome", "220-to the", "220 server"} << "220" << QStringList{"Welcome", "to the", "server"} << false;
    QTest::newRow("indented middle lines") << QStringList{"211-Features:", " MDTM", "  SIZE", "211 End"} << "211"
                                           << QStringList{"Features:", "MDTM", "SIZE", "End"} << true;
    QTest::newRow("unindented middle line") << QStringList{"211-Features:", "MDTM", "211 End"} << "211"
                                            << QStringList{"Features:", "MDTM", "End"} << false;
    QTest::newRow("other code ends the reply") << QStringList{"220-Hello", "221 Bye"} << "220"
                                               << QStringList{"Hello", "221 Bye"} << false;
    QTest::newRow("numeric line of three ends") << QStringList{"220-Hello", "123"} << "220" << QStringList{"Hello", "123"} << false;
    QTest::newRow("code with hyphen continues") << QStringList{"220-a", "220-b", "220 c"} << "220" << QStringList{"a", "b", "c"} << false;
    QTest::newRow("empty line keeps waiting") << QStringList{"220-a", "", "220 b"} << "220" << QStringList{"a", "", "b"} << false;
}

void FtpReplyTest::addLine_assemblesReply()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, code);
    QFETCH(QStringList, text);
    QFETCH(bool, indented);

    FtpReply reply;
    for (qsizetype i = 0; i < lines.size(); ++i)
        QCOMPARE(reply.addLine(lines.at(i)), i + 1 < lines.size());
    QCOMPARE(reply.codeText(), code);
    QCOMPARE(reply.text(), text);
    QCOMPARE(reply.indentedMiddleLines(), indented);
    reply.validateCode();
}

void FtpReplyTest::validateCode_rejectsMalformedCodes_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");

    QTest::newRow("letters") << "abc Hello" << "Reply Code is not valid: abc";
    QTest::newRow("below 100") << "099 Hello" << "Reply Code is not valid: 099";
    QTest::newRow("four digits") << "1000 Hello" << "Reply Code is not valid: 1000";
    QTest::newRow("sign") << "+20 Hello" << "Reply Code is not valid: +20";
    QTest::newRow("lowest") << "100 Hello" << "";
    QTest::newRow("highest") << "999 Hello" << "";
}

void FtpReplyTest::validateCode_rejectsMalformedCodes()
{
    QFETCH(QString, line);
    QFETCH(QString, error);

    FtpReply reply;
    reply.addLine(line);
    try {
        reply.validateCode();
        QVERIFY2(error.isEmpty(), "a malformed code was accepted");
    } catch (const Error &e) {
        QCOMPARE(e.message(), error);
    }
}

void FtpReplyTest::check_raisesReplyErrorOutsideAllowedCodes()
{
    FtpReply reply;
    reply.addLine(QStringLiteral("550-No such file"));
    reply.addLine(QStringLiteral("550 or folder"));
    reply.check({});
    reply.check({250, 550});
    try {
        reply.check({200, 250});
        QFAIL("550 passed a check for 200 and 250");
    } catch (const FtpReplyError &e) {
        QCOMPARE(e.code(), 550);
        QCOMPARE(e.message(), QStringLiteral("No such file\nor folder"));
    }
}

QTEST_GUILESS_MAIN(FtpReplyTest)
#include "ftpreply_test.moc"
