// Reading the server's folder listings: MLSD facts and the Unix LIST form.
#include "upload/RemoteListing.h"

#include <QtTest>

namespace {

QString describe(const QList<RemoteEntry> &entries)
{
    QStringList items;
    for (const RemoteEntry &entry : entries)
        items.append(entry.folder ? entry.name + QLatin1Char('/') : QStringLiteral("%1:%2").arg(entry.name).arg(entry.size));
    return items.join(QLatin1Char('|'));
}

} // namespace

class RemoteListingTest : public QObject
{
    Q_OBJECT

private slots:
    void machineListing_data();
    void machineListing();
    void unixListing_data();
    void unixListing();
};

void RemoteListingTest::machineListing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("files and folders")
        << "type=cdir;modify=20240101000000; .\r\ntype=pdir; ..\r\ntype=file;size=12;modify=2024; index.html\r\n"
           "Type=DIR;perm=el; css\r\n"
        << "index.html:12|css/";
    QTest::newRow("name with blanks and semicolons") << "size=3;type=file; a b;c.txt\r\n" << "a b;c.txt:3";
    QTest::newRow("links and unknown types left out") << "type=OS.unix=symlink;size=4; link\ntype=file;size=1; f\n" << "f:1";
    QTest::newRow("no facts, no name") << "garbage\r\n\r\ntype=file;size=1; \r\n" << "";
    QTest::newRow("a name with a slash is no entry") << "type=file;size=1; ../x\r\n" << "";
}

void RemoteListingTest::machineListing()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(describe(parseMachineListing(text)), expected);
}

void RemoteListingTest::unixListing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("files and folders")
        << "drwxr-xr-x    2 1000     1000         4096 Jan 02 10:00 css\r\n"
           "-rw-r--r--    1 1000     1000        12345 Dec 24  2023 index.html\r\n"
        << "css/|index.html:12345";
    QTest::newRow("name with blanks") << "-rw-------    1 ftp      ftp             7 Mar  3 09:15 my file.txt\r\n" << "my file.txt:7";
    QTest::newRow("links, dots and totals left out")
        << "total 8\r\nlrwxrwxrwx 1 a b 4 Jan 1 2024 l -> x\r\ndrwxr-xr-x 2 a b 4096 Jan 1 2024 .\r\n"
           "drwxr-xr-x 2 a b 4096 Jan 1 2024 ..\r\n"
        << "";
}

void RemoteListingTest::unixListing()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(describe(parseUnixListing(text)), expected);
}

QTEST_GUILESS_MAIN(RemoteListingTest)
#include "remotelisting_test.moc"
