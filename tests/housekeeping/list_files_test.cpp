#include "housekeeping/ListFiles.h"
#include "housekeeping/TempFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class ListFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void exampleTree_listsBreadthFirstInListingOrder();
    void trailingSeparator_givesSinglyJoinedPaths();
    void missingFolder_givesNothing_data();
    void missingFolder_givesNothing();
    void links_fileCountsAndFolderCycleEnds();
    void unreadableFolder_isPassedOver();
    void extension_data();
    void extension();

private:
    QString path(const QString &relative) const { return m_root + QLatin1Char('/') + relative; }
    // The names in `folder` in the order the file system lists them.
    QStringList listingOrder(const QString &folder) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
};

void ListFilesTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_root = m_dir->path() + QStringLiteral("/p");
    // p holds a.txt, s and u; s holds b.txt and t; t holds c.txt; u holds d.txt.
    writeFile(path(QStringLiteral("a.txt")), "a");
    writeFile(path(QStringLiteral("s/b.txt")), "b");
    writeFile(path(QStringLiteral("s/t/c.txt")), "c");
    writeFile(path(QStringLiteral("u/d.txt")), "d");
}

QStringList ListFilesTest::listingOrder(const QString &folder) const
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Unsorted);
}

void ListFilesTest::exampleTree_listsBreadthFirstInListingOrder()
{
    writeFile(path(QStringLiteral(".hidden")), "h");
    writeFile(path(QStringLiteral(".config/e.txt")), "e");

    const QHash<QString, QString> fileInFolder{{QStringLiteral("s"), QStringLiteral("s/b.txt")},
                                               {QStringLiteral("u"), QStringLiteral("u/d.txt")},
                                               {QStringLiteral(".config"), QStringLiteral(".config/e.txt")}};
    QStringList rootFiles;
    QStringList secondLevel;
    for (const QString &name : listingOrder(m_root)) {
        if (fileInFolder.contains(name))
            secondLevel.append(path(fileInFolder.value(name)));
        else
            rootFiles.append(path(name));
    }
    // s/b.txt, u/d.txt and .config/e.txt in the order the root lists their folders, then t's file.
    const QStringList expected = rootFiles + secondLevel + QStringList{path(QStringLiteral("s/t/c.txt"))};

    QCOMPARE(listFiles(m_root, true), expected);
    QCOMPARE(listFiles(m_root, false), rootFiles);
    QVERIFY(rootFiles.contains(path(QStringLiteral(".hidden"))));
}

void ListFilesTest::trailingSeparator_givesSinglyJoinedPaths()
{
    const QStringList withSeparator = listFiles(m_root + QLatin1Char('/'), true);
    QCOMPARE(withSeparator, listFiles(m_root, true));
    QCOMPARE(withSeparator.size(), 4);
    for (const QString &file : withSeparator)
        QVERIFY2(file.startsWith(m_root + QLatin1Char('/')) && !file.contains(QStringLiteral("//")), qPrintable(file));
}

void ListFilesTest::missingFolder_givesNothing_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("empty text") << QString();
    QTest::newRow("missing") << QStringLiteral("missing");
    QTest::newRow("half typed") << QStringLiteral("s/t/c");
    QTest::newRow("a file") << QStringLiteral("a.txt");
}

void ListFilesTest::missingFolder_givesNothing()
{
    QFETCH(QString, folder);
    QVERIFY(listFiles(folder.isEmpty() ? folder : path(folder), true).isEmpty());
}

void ListFilesTest::links_fileCountsAndFolderCycleEnds()
{
    QVERIFY(QFile::link(path(QStringLiteral("a.txt")), path(QStringLiteral("u/link.txt"))));
    QVERIFY(QFile::link(m_root, path(QStringLiteral("s/t/up"))));
    QVERIFY(QFile::link(path(QStringLiteral("gone.txt")), path(QStringLiteral("u/broken.txt"))));

    const QStringList files = listFiles(m_root, true);

    QVERIFY(files.contains(path(QStringLiteral("u/link.txt"))));
    QVERIFY(!files.contains(path(QStringLiteral("u/broken.txt"))));
    QCOMPARE(files.size(), 5);
}

void ListFilesTest::unreadableFolder_isPassedOver()
{
    const QString locked = path(QStringLiteral("s"));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
    const bool stillReadable = QDir(locked).isReadable();
    const QStringList files = listFiles(m_root, true);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (stillReadable)
        QSKIP("permissions do not keep this user out of a folder");

    QCOMPARE(files, (QStringList{path(QStringLiteral("a.txt")), path(QStringLiteral("u/d.txt"))}));
}

void ListFilesTest::extension_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("extensions");
    QTest::addColumn<bool>("temporary");

    QTest::newRow("case ignored") << "x.tmp" << QStringList{QStringLiteral(".TMP")} << true;
    QTest::newRow("one of several") << "unit.~pas" << QStringList{QStringLiteral(".dcu"), QStringLiteral(".~PAS")} << true;
    QTest::newRow("last dot only") << "archive.tar.gz" << QStringList{QStringLiteral(".tar.gz")} << false;
    QTest::newRow("last dot decides") << "archive.tar.gz" << QStringList{QStringLiteral(".gz")} << true;
    QTest::newRow("whole name after a leading dot") << ".cvsignore" << QStringList{QStringLiteral(".cvsignore")} << true;
    QTest::newRow("no dot, empty entry") << "Makefile" << QStringList{QString()} << false;
    QTest::newRow("dot in folder name") << "my.dir/README" << QStringList{QString(), QStringLiteral(".dir/README")}
                                        << false;
    QTest::newRow("typed without dot") << "x.tmp" << QStringList{QStringLiteral("tmp")} << false;
    QTest::newRow("trailing dot") << "x." << QStringList{QString(), QStringLiteral(".")} << true;
    QTest::newRow("no extensions") << "x.tmp" << QStringList() << false;
}

void ListFilesTest::extension()
{
    QFETCH(QString, file);
    QFETCH(QStringList, extensions);
    QFETCH(bool, temporary);
    QCOMPARE(TempFiles::isTemporary(QDir::toNativeSeparators(QStringLiteral("/p/") + file), extensions), temporary);
}

QTEST_GUILESS_MAIN(ListFilesTest)
#include "list_files_test.moc"
