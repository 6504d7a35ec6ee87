#include "upload/TargetUrl.h"

#include "project/Error.h"

#include <QRegularExpression>

#include <optional>

namespace {

constexpr qsizetype SchemeLimit = 10;
constexpr qsizetype NameLimit = 200; // host, user and password each
constexpr qsizetype PathLimit = 1000;
constexpr qsizetype ExtraLimit = 2000;

// Where the parts of "scheme://authority/path?extra" lie; the authority is everything up to
// the first "/", "?" or "#" after the two slashes.
struct Layout
{
    qsizetype authorityStart = -1;
    qsizetype authorityEnd = -1;
    qsizetype userInfoEnd = -1; // the last "@" of the authority, or -1
};

std::optional<Layout> layoutOf(const QString &url)
{
    static const QRegularExpression schemeSlashes(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    const QRegularExpressionMatch match = schemeSlashes.match(url);
    if (!match.hasMatch())
        return std::nullopt;
    Layout layout;
    layout.authorityStart = match.capturedEnd();
    static const QRegularExpression authorityEnd(QStringLiteral("[/?#]"));
    layout.authorityEnd = url.indexOf(authorityEnd, layout.authorityStart);
    if (layout.authorityEnd < 0)
        layout.authorityEnd = url.size();
    const qsizetype at = url.lastIndexOf(QLatin1Char('@'), layout.authorityEnd - 1);
    layout.userInfoEnd = at >= layout.authorityStart ? at : -1;
    return layout;
}

QString checkedPart(const QString &text, qsizetype limit, const char *what, const QString &url)
{
    if (text.size() > limit)
        throw Error(QStringLiteral("The URL \"%1\" is not usable: its %2 is longer than %3 characters.")
                        .arg(urlWithoutPassword(url), QLatin1String(what))
                        .arg(limit));
    return text;
}

} // namespace

QString urlWithoutPassword(const QString &url)
{
    // Also for text that is no URL at all: whatever stands between "name:" and "@" goes.
    static const QRegularExpression password(QStringLiteral("((?:^|/)[^/?#@:]*:)[^/?#]*@"));
    return QString(url).replace(password, QStringLiteral("\\1****@"));
}

TargetUrl crackTargetUrl(const QString &url)
{
    const std::optional<Layout> layout = layoutOf(url);
    if (!layout)
        throw Error(QStringLiteral("The URL \"%1\" is not usable: it is not an absolute URL such as ftp://host/folder.")
                        .arg(urlWithoutPassword(url)));
    TargetUrl parts;
    parts.scheme = checkedPart(url.left(url.indexOf(QLatin1Char(':'))), SchemeLimit, "scheme", url);

    qsizetype hostStart = layout->authorityStart;
    if (layout->userInfoEnd >= 0) {
        const QString userInfo = url.mid(layout->authorityStart, layout->userInfoEnd - layout->authorityStart);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        parts.user = checkedPart(userInfo.left(colon), NameLimit, "user name", url);
        if (colon >= 0)
            parts.password = checkedPart(userInfo.mid(colon + 1), NameLimit, "password", url);
        hostStart = layout->userInfoEnd + 1;
    }
    const QString hostAndPort = url.mid(hostStart, layout->authorityEnd - hostStart);
    const qsizetype colon = hostAndPort.indexOf(QLatin1Char(':'));
    parts.host = checkedPart(hostAndPort.left(colon), NameLimit, "host name", url);
    if (parts.host.isEmpty())
        throw Error(QStringLiteral("The URL \"%1\" is not usable: it names no server.").arg(urlWithoutPassword(url)));
    if (colon >= 0) {
        const QString port = hostAndPort.mid(colon + 1);
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
        if (!port.isEmpty() && (!digits.match(port).hasMatch() || port.toInt() > 65535))
            throw Error(QStringLiteral("The URL \"%1\" is not usable: its port \"%2\" is no port number.")
                            .arg(urlWithoutPassword(url), port));
        parts.port = port.toInt();
    }

    const QString rest = url.mid(layout->authorityEnd);
    static const QRegularExpression extraStart(QStringLiteral("[?#]"));
    qsizetype extra = rest.indexOf(extraStart);
    if (extra < 0)
        extra = rest.size();
    parts.path = checkedPart(rest.left(extra), PathLimit, "path", url);
    parts.extra = checkedPart(rest.mid(extra), ExtraLimit, "extra part", url);
    return parts;
}
