#include "i18n/LanguageEntries.h"
#include "i18n/Localisation.h"
#include "project/Error.h"
#include "project/TextFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QtTest>

namespace {

// The entries of each menu, menu bar, tool bar and dialog: their accelerators must differ.
const QList<QList<int>> kMenus = {
    {88, 97, 107, 108, 109},                          // menu bar
    {89, 90, 91, 92, 93, 94, 95, 96},                 // File
    {98, 99, 100, 101, 102, 103, 104, 105, 106},      // Functions
    {110, 111, 112},                                  // ?
    {113, 114, 115, 116, 122, 126, 131, 134, 135, 136, 137}, // to-do list pop-up
    {117, 118, 119, 120, 121}, {123, 124, 125}, {127, 128, 129, 130}, {132, 133},
    {138}, {140, 141, 142}, {143, 144, 145, 146}, {147, 148, 149}, {150, 151, 152}, {153, 154, 155},
    {156, 157, 158, 159},
    {70, 71, 72, 73}, {77, 78, 79, 80}, // the document tool bars
    {186, 187, 188},                    // the to-do dialog's drop-downs
};

// The letter after the one "&" of a caption, folded to lower case; none when there is no "&".
QChar accelerator(const QString &caption)
{
    const qsizetype at = caption.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toLower() : QChar();
}

QString shippedFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Languages"));
}

// A languages folder whose files each begin with their own name, so a test sees which was read.
void writeLanguages(const QString &folder, const QStringList &files)
{
    for (const QString &file : files)
        writeFile(QDir(folder).filePath(file), file.toUtf8() + "\r\n");
}

} // namespace

class LocalisationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shippedFile_data()
    {
        QTest::addColumn<QString>("language");
        const QStringList languages = Localisation(QString(), shippedFolder()).languages();
        QCOMPARE(languages, (QStringList{"Deutsch", "English", "Español", "Français"}));
        for (const QString &language : languages)
            QTest::newRow(language.toUtf8()) << language;
    }

    void shippedFile()
    {
        QFETCH(QString, language);
        const QByteArray bytes = readFile(QDir(shippedFolder()).filePath(language + QStringLiteral(".txt")));
        QVERIFY(bytes.endsWith("\r\n"));
        const QStringList lines = TextFile::splitLines(TextFile::decode(bytes));
        QCOMPARE(lines.size(), LanguageEntries::kCount);

        const auto entries = LanguageEntries::all();
        for (int number : {74, 81}) {
            bool whole = false;
            lines[number].toInt(&whole);
            QVERIFY2(whole, qPrintable(QStringLiteral("entry %1: %2").arg(number).arg(lines[number])));
        }
        for (const QList<int> &menu : kMenus) {
            QSet<QChar> keys;
            for (int number : menu) {
                const QString &text = lines[number];
                const QString where = QStringLiteral("entry %1 \"%2\"").arg(number).arg(text);
                if (qstrcmp(entries[number].builtIn, "-") == 0) {
                    QVERIFY2(text == QLatin1String("-"), qPrintable(where));
                    continue;
                }
                const QChar key = accelerator(text);
                QVERIFY2(text.count(QLatin1Char('&')) == 1 && !key.isNull() && key != QLatin1Char('&'),
                         qPrintable(where + QStringLiteral(" needs one accelerator")));
                QVERIFY2(!keys.contains(key), qPrintable(where + QStringLiteral(" repeats an accelerator")));
                keys.insert(key);
            }
        }
        // A caption that is seen is never empty.
        for (int number = 0; number < LanguageEntries::kCount; ++number)
            if (entries[number].property != LanguageEntries::Property::Unused)
                QVERIFY2(!lines[number].isEmpty(), qPrintable(QStringLiteral("entry %1").arg(number)));
    }

    // The English file gives the built-in interface; only the accelerators and the one name per
    // priority (entries 169 and 170, as the pop-up menu calls codes 5 and 6) differ.
    void shippedEnglish_isTheBuiltInInterface()
    {
        const QStringList lines =
            TextFile::readLines(QDir(shippedFolder()).filePath(QStringLiteral("English.txt")));
        const auto entries = LanguageEntries::all();
        for (int number = 0; number < LanguageEntries::kCount; ++number) {
            QString expected = QString::fromLatin1(entries[number].builtIn);
            if (number == 169 || number == 170)
                expected = number == 169 ? QStringLiteral("Normal") : QStringLiteral("Low");
            QCOMPARE(QString(lines[number]).remove(QLatin1Char('&')), expected.remove(QLatin1Char('&')));
        }
    }

    void languages_offersEveryFileButNoFolder()
    {
        QTemporaryDir dir;
        writeLanguages(dir.path(), {"English.txt", "Deutsch.txt", "readme.doc", "Sub/Inner.txt", "noextension"});
        QDir(dir.path()).mkdir(QStringLiteral("Folder.txt"));
        QCOMPARE(Localisation(QString(), dir.path() + QLatin1Char('/')).languages(),
                 (QStringList{"Deutsch", "English", "noextension", "readme"}));
        QCOMPARE(Localisation::listLanguages(dir.filePath(QStringLiteral("missing"))), QStringList());
    }

    void load_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("langIni");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("no lang.ini") << std::optional<QByteArray>() << "English.txt";
        QTest::newRow("empty lang.ini") << std::optional<QByteArray>("") << "English.txt";
        QTest::newRow("chosen") << std::optional<QByteArray>("Deutsch\r\n") << "Deutsch.txt";
        QTest::newRow("only the first line counts") << std::optional<QByteArray>("Deutsch\nrest") << "Deutsch.txt";
        QTest::newRow("language without a .txt") << std::optional<QByteArray>("readme\r\n") << "English.txt";
        QTest::newRow("missing language") << std::optional<QByteArray>("Klingon\r\n") << "English.txt";
        QTest::newRow("name in Windows-1252") << std::optional<QByteArray>("Fran\xe7" "ais\r\n") << "Français.txt";
    }

    void load()
    {
        QFETCH(std::optional<QByteArray>, langIni);
        QFETCH(QString, firstLine);
        QTemporaryDir dir;
        const QString languages = dir.filePath(QStringLiteral("Languages"));
        writeLanguages(languages, {"English.txt", "Deutsch.txt", "readme.doc", "Français.txt"});
        const QString settings = dir.filePath(QStringLiteral("settings/"));
        QDir().mkpath(settings);
        if (langIni)
            writeFile(settings + QStringLiteral("lang.ini"), *langIni);

        Localisation localisation(settings, languages);
        localisation.load();
        QCOMPARE(localisation.table().entry(0), firstLine);
    }

    void load_withoutEnglish_reportsItAndLeavesTheTableEmpty()
    {
        QTemporaryDir dir;
        writeLanguages(dir.path(), {"Deutsch.txt"});
        Localisation localisation(dir.filePath(QStringLiteral("settings/")), dir.path());
        try {
            localisation.load();
            QFAIL("a missing English.txt must be reported");
        } catch (const Error &error) {
            QVERIFY2(error.message().contains(QStringLiteral("English.txt")), qPrintable(error.message()));
        }
        QVERIFY(localisation.table().isEmpty());
        QVERIFY_THROWS_EXCEPTION(Error, localisation.table().entry(164));
    }

    // The choice is one line in lang.ini and is what the next start loads, whatever its letters.
    void choose_survivesARestart_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("Français") << "Français" << "Français.txt";
        QTest::newRow("readme") << "readme" << "English.txt";
    }

    void choose_survivesARestart()
    {
        QFETCH(QString, language);
        QFETCH(QString, firstLine);
        QTemporaryDir dir;
        writeLanguages(dir.path(), {"English.txt", "readme.doc", "Français.txt"});
        const QString settings = dir.filePath(QStringLiteral("settings/"));
        QDir().mkpath(settings);
        writeFile(settings + QStringLiteral("lang.ini"), "English\r\nleft over\r\n");

        Localisation(settings, dir.path()).choose(language);
        QCOMPARE(TextFile::readLines(settings + QStringLiteral("lang.ini")), QStringList{language});
        Localisation restarted(settings, dir.path());
        restarted.load();
        QCOMPARE(restarted.table().entry(0), firstLine);
    }

    void choose_unwritable_throws()
    {
        QTemporaryDir dir;
        // The settings "folder" is a file, so lang.ini cannot be made in it.
        const QString settings = writeFile(dir.filePath(QStringLiteral("file")), "x") + QLatin1Char('/');
        QVERIFY_THROWS_EXCEPTION(Error, Localisation(settings, dir.path()).choose(QStringLiteral("Deutsch")));
    }

    void entry_pastTheEnd_namesFileAndEntry()
    {
        QTemporaryDir dir;
        QByteArray hundred;
        for (int line = 0; line < 100; ++line)
            hundred += "line " + QByteArray::number(line) + "\r\n";
        writeFile(dir.filePath(QStringLiteral("English.txt")), hundred);
        Localisation localisation(dir.filePath(QStringLiteral("settings/")), dir.path());
        localisation.load();
        QCOMPARE(localisation.table().entry(99), QStringLiteral("line 99"));
        try {
            localisation.table().entry(100);
            QFAIL("entry 100 does not exist");
        } catch (const Error &error) {
            QVERIFY(error.message().contains(QStringLiteral("English.txt")));
            QVERIFY(error.message().contains(QStringLiteral("entry 100")));
        }
    }
};

QTEST_GUILESS_MAIN(LocalisationTest)
#include "localisation_test.moc"
