#include "project/Error.h"
#include "todolist/ChangelogTemplates.h"
#include "support/TestSupport.h"

#include <QtTest>

class ChangelogTemplatesTest : public QObject
{
    Q_OBJECT

private:
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }
    QTemporaryDir m_dir;

private Q_SLOTS:
    void init() { QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.path())); }

    void load_noFiles_keepsDefaultsAndWritesNothing()
    {
        ChangelogTemplates templates;
        templates.load(folder());
        QCOMPARE(templates.text(ChangelogTemplates::Head), QStringLiteral("<h3>[%Version%]</h3>\r\n<ul>\r\n"));
        QCOMPARE(templates.text(ChangelogTemplates::Node), QStringLiteral("<li>[%Title%]: [%Description%]</li>\r\n"));
        QCOMPARE(templates.text(ChangelogTemplates::End), QStringLiteral("</ul><br>\r\n"));
        QCOMPARE(templates.include, (std::array<bool, 5>{true, false, false, false, false}));
        QVERIFY(QDir(m_dir.path()).isEmpty());
    }

    void loadTemplate_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF kept") << QByteArray("<b>\r\n[%Version%]\r\n") << QStringLiteral("<b>\r\n[%Version%]\r\n");
        QTest::newRow("no final break gains one") << QByteArray("<h2>\r\nlast") << QStringLiteral("<h2>\r\nlast\r\n");
        QTest::newRow("LF and CR become CR LF") << QByteArray("a\nb\rc") << QStringLiteral("a\r\nb\r\nc\r\n");
        QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\n") << QStringLiteral("a\r\n\r\n");
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("Windows-1252") << QByteArray("\xC4\xA0\x80") << QStringLiteral("\u00C4\u00A0\u20AC\r\n");
        QTest::newRow("UTF-8") << QByteArray("\xE2\x86\x92") << QStringLiteral("\u2192\r\n");
    }

    void loadTemplate()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        for (ChangelogTemplates::Part part : {ChangelogTemplates::Head, ChangelogTemplates::Node, ChangelogTemplates::End}) {
            init();
            writeFile(folder() + ChangelogTemplates::fileName(part), bytes);
            ChangelogTemplates templates;
            templates.load(folder());
            QCOMPARE(templates.text(part), text);
        }
    }

    void loadFlags_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<bool>>("flags");
        QTest::addColumn<bool>("complete");
        QTest::newRow("T F T F T") << QByteArray("T\r\nF\r\nT\r\nF\r\nT\r\n") << QList<bool>{1, 0, 1, 0, 1} << true;
        QTest::newRow("only an exact T is true")
            << QByteArray("true\nt\n T\nT \nT") << QList<bool>{0, 0, 0, 0, 1} << true;
        QTest::newRow("extra lines ignored") << QByteArray("F\nF\nF\nF\nT\nT\n") << QList<bool>{0, 0, 0, 0, 1} << true;
        QTest::newRow("short: read lines set, others default")
            << QByteArray("F\r\nT\r\n") << QList<bool>{0, 1, 0, 0, 0} << false;
        QTest::newRow("empty: all default") << QByteArray() << QList<bool>{1, 0, 0, 0, 0} << false;
    }

    void loadFlags()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<bool>, flags);
        QFETCH(bool, complete);
        writeFile(folder() + QStringLiteral("settings.dat"), bytes);
        ChangelogTemplates templates;
        try {
            templates.load(folder());
            QVERIFY(complete);
        } catch (const Error &error) {
            QVERIFY(!complete);
            QVERIFY2(error.message().contains(QStringLiteral("settings.dat")), qPrintable(error.message()));
        }
        QCOMPARE(QList<bool>(templates.include.begin(), templates.include.end()), flags);
    }

    // A file that cannot be read is reported, and the files after it still load.
    void load_unreadableHead_stillLoadsTheOthers()
    {
        QVERIFY(QDir().mkpath(folder() + QStringLiteral("Head.txt")));
        writeFile(folder() + QStringLiteral("End.txt"), "</ol>");
        writeFile(folder() + QStringLiteral("settings.dat"), "F\nT\nF\nF\nF\n");
        ChangelogTemplates templates;
        QVERIFY_THROWS_EXCEPTION(Error, templates.load(folder()));
        QCOMPARE(templates.text(ChangelogTemplates::Head), ChangelogTemplates().text(ChangelogTemplates::Head));
        QCOMPARE(templates.text(ChangelogTemplates::End), QStringLiteral("</ol>\r\n"));
        QCOMPARE(templates.include, (std::array<bool, 5>{false, true, false, false, false}));
    }

    void save_writesExactBytes_andLoadsBack()
    {
        ChangelogTemplates templates;
        templates.texts[ChangelogTemplates::Head] = QStringLiteral("<h1>\u00C4[%Version%]\u00A0</h1>\r\nno break");
        templates.texts[ChangelogTemplates::Node].clear();
        templates.include = {false, true, false, true, true};
        templates.saveText(folder(), ChangelogTemplates::Head);
        templates.saveText(folder(), ChangelogTemplates::Node);
        templates.saveFlags(folder());
        QCOMPARE(readFile(folder() + QStringLiteral("Head.txt")), QByteArray("<h1>\xC4[%Version%]\xA0</h1>\r\nno break"));
        QVERIFY(QFileInfo::exists(folder() + QStringLiteral("Node.txt")));
        QCOMPARE(readFile(folder() + QStringLiteral("Node.txt")), QByteArray());
        QCOMPARE(readFile(folder() + QStringLiteral("settings.dat")), QByteArray("F\r\nT\r\nF\r\nT\r\nT\r\n"));

        ChangelogTemplates loaded;
        loaded.load(folder());
        QCOMPARE(loaded.text(ChangelogTemplates::Node), QString());
        QCOMPARE(loaded.include, templates.include);
    }

    // What the memo held comes back at the next start, whichever encoding the file needed.
    void saveThenLoad_givesTheSameText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("Windows-1252") << QStringLiteral("<b>\u00C4\u00A0\u20AC</b>\r\n");
        QTest::newRow("outside Windows-1252") << QStringLiteral("\u2713 \u00E4\r\n");
        // Their Windows-1252 bytes C2 A9 and C3 A4 would read back as UTF-8: "\u00A9\u00E4".
        QTest::newRow("Windows-1252 bytes that look like UTF-8") << QStringLiteral("\u00C2\u00A9\u00C3\u00A4\r\n");
    }

    void saveThenLoad_givesTheSameText()
    {
        QFETCH(QString, text);
        ChangelogTemplates templates;
        templates.texts[ChangelogTemplates::Node] = text;
        templates.saveText(folder(), ChangelogTemplates::Node);
        ChangelogTemplates loaded;
        loaded.load(folder());
        QCOMPARE(loaded.text(ChangelogTemplates::Node), text);
    }

    void save_textOutsideWindows1252_isUtf8()
    {
        ChangelogTemplates templates;
        templates.texts[ChangelogTemplates::End] = QStringLiteral("\u2713 done\r\n");
        templates.saveText(folder(), ChangelogTemplates::End);
        QCOMPARE(readFile(folder() + QStringLiteral("End.txt")), QByteArray("\xE2\x9C\x93 done\r\n"));
    }

    void save_missingFolder_namesTheFile()
    {
        const QString missing = folder() + QStringLiteral("missing/");
        try {
            ChangelogTemplates().saveFlags(missing);
            QFAIL("saving into a missing folder succeeded");
        } catch (const Error &error) {
            QVERIFY2(error.message().contains(missing + QStringLiteral("settings.dat")), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(ChangelogTemplatesTest)
#include "changelogtemplates_test.moc"
