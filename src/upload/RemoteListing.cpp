#include "upload/RemoteListing.h"

#include <QRegularExpression>

namespace {

bool isOwnName(const QString &name)
{
    return name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..");
}

} // namespace

QList<RemoteEntry> parseMachineListing(const QString &text)
{
    QList<RemoteEntry> entries;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // The facts end at the first blank; the name is all after it, blanks included.
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        if (blank < 0)
            continue;
        const QString name = line.mid(blank + 1);
        QString type;
        qint64 size = -1;
        for (const QString &fact : line.left(blank).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString key = fact.section(QLatin1Char('='), 0, 0).toLower();
            const QString value = fact.section(QLatin1Char('='), 1);
            if (key == QLatin1String("type"))
                type = value.toLower();
            else if (key == QLatin1String("size"))
                size = value.toLongLong();
        }
        if (isOwnName(name) || name.contains(QLatin1Char('/')))
            continue;
        if (type == QLatin1String("dir"))
            entries.append({name, 0, true});
        else if (type == QLatin1String("file"))
            entries.append({name, qMax<qint64>(size, 0), false});
    }
    return entries;
}

QList<RemoteEntry> parseUnixListing(const QString &text)
{
    // type and permissions, links, owner, group, size, three date fields, then the name.
    static const QRegularExpression line(
        QStringLiteral(R"(^([-d])[rwxsStTl-]{9}[.+@]?\s+\d+\s+\S+\s+\S+\s+(\d+)\s+\S+\s+\S+\s+\S+ (.+?)\r?$)"),
        QRegularExpression::MultilineOption);
    QList<RemoteEntry> entries;
    for (auto it = line.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString name = match.captured(3);
        if (isOwnName(name) || name.contains(QLatin1Char('/')))
            continue;
        const bool folder = match.captured(1) == QLatin1String("d");
        entries.append({name, folder ? 0 : match.captured(2).toLongLong(), folder});
    }
    return entries;
}
