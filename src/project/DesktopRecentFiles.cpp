#include "project/DesktopRecentFiles.h"

#include "project/Error.h"
#include "project/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

const QString kBookmarkNs = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString kMimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");
// The owner of the metadata that holds the MIME type and the applications.
const QString kFreedesktopOwner = QStringLiteral("http://freedesktop.org");
const QString kApplication = QStringLiteral("Trovas");
// As the desktop's other programs record themselves: a command line quoted for the shell.
const QString kExec = QStringLiteral("'trovas %u'");

QString stamp(const QDateTime &when)
{
    return when.toUTC().toString(Qt::ISODateWithMs);
}

// Copies the list token by token, adding or refreshing one bookmark on the way.
class BookmarkEditor
{
public:
    BookmarkEditor(const QString &path, const QString &mimeType, const QDateTime &now)
        : m_path(QDir::cleanPath(path)), m_href(QString::fromLatin1(QUrl::fromLocalFile(m_path).toEncoded())),
          m_mimeType(mimeType), m_now(stamp(now))
    {
    }

    QByteArray edit(const QByteArray &list);

private:
    void startElement();
    void endElement();
    bool is(const QString &ns, const char *name) const
    {
        return m_in.namespaceUri() == ns && m_in.name() == QLatin1String(name);
    }
    void writeApplication(int count);
    void writeApplications();
    void writeMimeType();
    void writeMetadata();
    void writeInfo();
    void writeBookmark();

    // Whether a bookmark's address names the file, however another program escaped it.
    bool namesTheFile(QStringView href) const
    {
        const QUrl url = QUrl::fromEncoded(href.toUtf8());
        return url.isLocalFile() && QDir::cleanPath(url.toLocalFile()) == m_path;
    }

    QString m_path;
    QString m_href;
    QString m_mimeType;
    QString m_now;
    QXmlStreamReader m_in;
    QByteArray m_result;
    QXmlStreamWriter m_out{&m_result};
    int m_depth = 0;
    bool m_found = false;
    // Inside the bookmark of the file, and what of it has been seen there.
    bool m_inBookmark = false;
    bool m_inMetadata = false;
    bool m_inApplications = false;
    bool m_sawInfo = false;
    bool m_sawMetadata = false;
    bool m_sawMimeType = false;
    bool m_sawApplications = false;
    bool m_sawApplication = false;
};

QByteArray BookmarkEditor::edit(const QByteArray &list)
{
    m_in.addData(list);
    while (!m_in.atEnd()) {
        switch (m_in.readNext()) {
        case QXmlStreamReader::StartElement:
            startElement();
            break;
        case QXmlStreamReader::EndElement:
            endElement();
            break;
        case QXmlStreamReader::Invalid:
            break;
        default:
            m_out.writeCurrentToken(m_in);
        }
    }
    if (m_in.hasError())
        throw Error(QStringLiteral("line %1: %2").arg(m_in.lineNumber()).arg(m_in.errorString()));
    if (m_depth != 0 || !m_found)
        throw Error(QStringLiteral("it holds no list of bookmarks"));
    return m_result;
}

void BookmarkEditor::startElement()
{
    ++m_depth;
    const QXmlStreamAttributes attributes = m_in.attributes();
    if (m_depth == 1 && m_in.name() != QLatin1String("xbel"))
        throw Error(QStringLiteral("it holds no list of bookmarks"));
    if (m_depth == 2 && m_in.name() == QLatin1String("bookmark")
        && namesTheFile(attributes.value(QLatin1String("href")))) {
        m_inBookmark = m_found = true;
        m_out.writeStartElement(m_in.namespaceUri().toString(), m_in.name().toString());
        for (const QXmlStreamNamespaceDeclaration &declaration : m_in.namespaceDeclarations())
            m_out.writeNamespace(declaration.namespaceUri().toString(), declaration.prefix().toString());
        for (const QXmlStreamAttribute &attribute : attributes)
            if (attribute.name() != QLatin1String("modified") && attribute.name() != QLatin1String("visited"))
                m_out.writeAttribute(attribute);
        if (!attributes.hasAttribute(QLatin1String("added")))
            m_out.writeAttribute(QStringLiteral("added"), m_now);
        m_out.writeAttribute(QStringLiteral("modified"), m_now);
        m_out.writeAttribute(QStringLiteral("visited"), m_now);
        return;
    }
    if (m_inBookmark && m_depth == 3 && m_in.name() == QLatin1String("info"))
        m_sawInfo = true;
    if (m_inBookmark && m_depth == 4 && m_in.name() == QLatin1String("metadata")
        && attributes.value(QLatin1String("owner")) == kFreedesktopOwner)
        m_inMetadata = m_sawMetadata = true;
    if (m_inMetadata && m_depth == 5 && is(kMimeNs, "mime-type"))
        m_sawMimeType = true;
    if (m_inMetadata && m_depth == 5 && is(kBookmarkNs, "applications"))
        m_inApplications = m_sawApplications = true;
    if (m_inApplications && m_depth == 6 && is(kBookmarkNs, "application")
        && attributes.value(QLatin1String("name")) == kApplication) {
        m_sawApplication = true;
        // This program's record: used once more, now. Closed by its end tag.
        m_out.writeStartElement(kBookmarkNs, QStringLiteral("application"));
        m_out.writeAttribute(QStringLiteral("name"), kApplication);
        m_out.writeAttribute(QStringLiteral("exec"), kExec);
        m_out.writeAttribute(QStringLiteral("modified"), m_now);
        m_out.writeAttribute(QStringLiteral("count"),
                             QString::number(std::max(0, attributes.value(QLatin1String("count")).toInt()) + 1));
        return;
    }
    m_out.writeCurrentToken(m_in);
}

void BookmarkEditor::endElement()
{
    // What the file's bookmark lacks goes in before the end of the element that should hold it.
    if (m_inApplications && m_depth == 5) {
        if (!m_sawApplication)
            writeApplication(1);
        m_inApplications = false;
    } else if (m_inMetadata && m_depth == 4) {
        if (!m_sawMimeType)
            writeMimeType();
        if (!m_sawApplications)
            writeApplications();
        m_inMetadata = false;
    } else if (m_inBookmark && m_depth == 3 && m_in.name() == QLatin1String("info")) {
        if (!m_sawMetadata)
            writeMetadata();
    } else if (m_inBookmark && m_depth == 2) {
        if (!m_sawInfo)
            writeInfo();
        m_inBookmark = false;
    } else if (m_depth == 1 && !m_found) {
        writeBookmark();
        m_found = true;
    }
    m_out.writeCurrentToken(m_in);
    --m_depth;
}

void BookmarkEditor::writeApplication(int count)
{
    m_out.writeEmptyElement(kBookmarkNs, QStringLiteral("application"));
    m_out.writeAttribute(QStringLiteral("name"), kApplication);
    m_out.writeAttribute(QStringLiteral("exec"), kExec);
    m_out.writeAttribute(QStringLiteral("modified"), m_now);
    m_out.writeAttribute(QStringLiteral("count"), QString::number(count));
}

void BookmarkEditor::writeApplications()
{
    m_out.writeStartElement(kBookmarkNs, QStringLiteral("applications"));
    writeApplication(1);
    m_out.writeEndElement();
}

void BookmarkEditor::writeMimeType()
{
    m_out.writeEmptyElement(kMimeNs, QStringLiteral("mime-type"));
    m_out.writeAttribute(QStringLiteral("type"), m_mimeType);
}

void BookmarkEditor::writeMetadata()
{
    m_out.writeStartElement(QStringLiteral("metadata"));
    m_out.writeAttribute(QStringLiteral("owner"), kFreedesktopOwner);
    writeMimeType();
    writeApplications();
    m_out.writeEndElement();
}

void BookmarkEditor::writeInfo()
{
    m_out.writeStartElement(QStringLiteral("info"));
    writeMetadata();
    m_out.writeEndElement();
}

void BookmarkEditor::writeBookmark()
{
    m_out.writeStartElement(QStringLiteral("bookmark"));
    m_out.writeAttribute(QStringLiteral("href"), m_href);
    m_out.writeAttribute(QStringLiteral("added"), m_now);
    m_out.writeAttribute(QStringLiteral("modified"), m_now);
    m_out.writeAttribute(QStringLiteral("visited"), m_now);
    writeInfo();
    m_out.writeEndElement();
}

const QByteArray kEmptyList = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<xbel version=\"1.0\"\n"
                              "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
                              "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
                              ">\n"
                              "</xbel>\n";

} // namespace

namespace DesktopRecentFiles {

QString listPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("recently-used.xbel"));
}

QByteArray added(const QByteArray &list, const QString &path, const QString &mimeType, const QDateTime &now)
{
    BookmarkEditor editor(path, mimeType, now);
    return editor.edit(list.trimmed().isEmpty() ? kEmptyList : list);
}

void add(const QString &listFile, const QString &path, const QString &mimeType, const QDateTime &now)
{
    QByteArray list;
    if (QFile file(listFile); file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("Cannot read %1: %2").arg(listFile, file.errorString()));
        list = file.readAll();
    } else {
        QDir().mkpath(QFileInfo(listFile).path());
    }
    QByteArray edited;
    try {
        edited = added(list, path, mimeType, now);
    } catch (const Error &error) {
        throw Error(QStringLiteral("The list of recent files %1 is left as it is, as it cannot be read: %2")
                        .arg(listFile, error.message()));
    }
    TextFile::writeBytes(listFile, edited);
}

} // namespace DesktopRecentFiles
