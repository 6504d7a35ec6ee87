#include "project/DesktopRecentFiles.h"
#include "project/Error.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <QXmlStreamReader>

namespace {

const QString kType = QStringLiteral("application/x-trovas-project");
const QDateTime kNow(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC);

// A list as another program of the desktop writes it: one file of its own, and the project
// opened by it before.
const QByteArray kOthersList =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xbel version=\"1.0\"\n"
    "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
    "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
    ">\n"
    "  <bookmark href=\"file:///home/ann/notes.txt\" added=\"2024-01-01T10:00:00.000000Z\" modified=\"2024-01-01T10:00:00.000000Z\" visited=\"2024-01-01T10:00:00.000000Z\">\n"
    "    <info>\n"
    "      <metadata owner=\"http://freedesktop.org\">\n"
    "        <mime:mime-type type=\"text/plain\"/>\n"
    "        <bookmark:groups><bookmark:group>Editors</bookmark:group></bookmark:groups>\n"
    "        <bookmark:applications>\n"
    "          <bookmark:application name=\"Text Editor\" exec=\"&apos;editor %u&apos;\" modified=\"2024-01-01T10:00:00.000000Z\" count=\"2\"/>\n"
    "        </bookmark:applications>\n"
    "      </metadata>\n"
    "    </info>\n"
    "  </bookmark>\n"
    "  <bookmark href=\"file:///home/ann/R%26D/perf%20%C3%BC.dev\" added=\"2024-02-02T10:00:00.000000Z\" modified=\"2024-02-02T10:00:00.000000Z\" visited=\"2024-02-02T10:00:00.000000Z\">\n"
    "    <info>\n"
    "      <metadata owner=\"http://freedesktop.org\">\n"
    "        <mime:mime-type type=\"application/x-trovas-project\"/>\n"
    "        <bookmark:applications>\n"
    "          <bookmark:application name=\"Text Editor\" exec=\"&apos;editor %u&apos;\" modified=\"2024-02-02T10:00:00.000000Z\" count=\"1\"/>\n"
    "          <bookmark:application name=\"Trovas\" exec=\"&apos;trovas %u&apos;\" modified=\"2024-02-02T10:00:00.000000Z\" count=\"3\"/>\n"
    "        </bookmark:applications>\n"
    "      </metadata>\n"
    "    </info>\n"
    "  </bookmark>\n"
    "</xbel>\n";

// Each bookmark of a list: its address, times and MIME type, then each program's name and count.
QStringList bookmarks(const QByteArray &list)
{
    QStringList found;
    QXmlStreamReader xml(list);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const auto value = [&attributes](const char *name) { return attributes.value(QLatin1String(name)).toString(); };
        if (xml.name() == QLatin1String("bookmark"))
            found << value("href") + QLatin1Char(' ') + value("added") + QLatin1Char(' ') + value("modified")
                         + QLatin1Char(' ') + value("visited");
        else if (xml.name() == QLatin1String("mime-type"))
            found.last() += QLatin1Char(' ') + value("type");
        else if (xml.name() == QLatin1String("group"))
            found.last() += QStringLiteral(" group ") + xml.readElementText();
        else if (xml.name() == QLatin1String("application"))
            found.last() += QStringLiteral(" [%1 %2 %3]").arg(value("name"), value("exec"), value("count"));
    }
    if (xml.hasError())
        return {xml.errorString()};
    return found;
}

} // namespace

class DesktopRecentFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void add_keepsEveryOtherRecord_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("expected");
        const QString now = QStringLiteral("2024-05-06T07:08:09.000Z");
        const QString notes = QStringLiteral(
            "file:///home/ann/notes.txt 2024-01-01T10:00:00.000000Z 2024-01-01T10:00:00.000000Z "
            "2024-01-01T10:00:00.000000Z text/plain group Editors [Text Editor 'editor %u' 2]");
        QTest::newRow("no list yet") << QByteArray() << "/home/ann/perf.dev"
                                     << QStringList{QStringLiteral("file:///home/ann/perf.dev %1 %1 %1 %2 [Trovas 'trovas %u' 1]")
                                                        .arg(now, kType)};
        QTest::newRow("a new file beside another's")
            << kOthersList << "/home/ann/new.dev"
            << QStringList{notes, bookmarks(kOthersList).at(1),
                           QStringLiteral("file:///home/ann/new.dev %1 %1 %1 %2 [Trovas 'trovas %u' 1]").arg(now, kType)};
        // The address another program escaped names the same file: one bookmark, counted on.
        QTest::newRow("a file opened before")
            << kOthersList << QString::fromUtf8("/home/ann/R&D/perf ü.dev")
            << QStringList{notes, QStringLiteral("file:///home/ann/R%26D/perf%20%C3%BC.dev 2024-02-02T10:00:00.000000Z %1 %1 "
                                                 "%2 [Text Editor 'editor %u' 1] [Trovas 'trovas %u' 4]")
                                      .arg(now, kType)};
        QTest::newRow("a file only another program opened")
            << QByteArray(kOthersList).replace("<bookmark:application name=\"Trovas\" exec=\"&apos;trovas %u&apos;\" "
                                               "modified=\"2024-02-02T10:00:00.000000Z\" count=\"3\"/>",
                                               "")
            << QString::fromUtf8("/home/ann/R&D/perf ü.dev")
            << QStringList{notes, QStringLiteral("file:///home/ann/R%26D/perf%20%C3%BC.dev 2024-02-02T10:00:00.000000Z %1 %1 "
                                                 "%2 [Text Editor 'editor %u' 1] [Trovas 'trovas %u' 1]")
                                      .arg(now, kType)};
    }

    void add_keepsEveryOtherRecord()
    {
        QFETCH(QByteArray, list);
        QFETCH(QString, path);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("share/recently-used.xbel"));
        if (!list.isEmpty())
            writeFile(file, list);
        DesktopRecentFiles::add(file, path, kType, kNow);
        QCOMPARE(bookmarks(readFile(file)), expected);
    }

    // A list this program cannot read is someone's data all the same: it stays as it was.
    void add_leavesAnUnreadableListAlone_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::newRow("cut off") << kOthersList.left(kOthersList.size() / 2);
        QTest::newRow("another format") << QByteArray("<html><body>recent</body></html>");
        QTest::newRow("no XML") << QByteArray("file:///home/ann/a.dev\n");
    }

    void add_leavesAnUnreadableListAlone()
    {
        QFETCH(QByteArray, list);
        QTemporaryDir dir;
        const QString file = writeFile(dir.filePath(QStringLiteral("recently-used.xbel")), list);
        const QString message = errorOf([&] { DesktopRecentFiles::add(file, QStringLiteral("/p/a.dev"), kType, kNow); });
        QVERIFY2(message.contains(file), qPrintable(message));
        QCOMPARE(readFile(file), list);
    }
};

QTEST_GUILESS_MAIN(DesktopRecentFilesTest)
#include "desktop_recent_files_test.moc"
