#pragma once

#include <QString>

// An upload target split into its parts, escapes left as typed.
struct TargetUrl
{
    QString scheme;
    QString host;
    int port = 0; // 0 when the URL names none
    QString user;
    QString password;
    QString path;  // from the "/" after the host up to the extra part
    QString extra; // the query and fragment, with their leading "?" or "#"
};

// Splits an absolute URL "scheme://[user[:password]@]host[:port][/path][?query][#fragment]".
// Throws Error, naming the URL without its password, when the text is no such URL, names no
// host, or a part is longer than its limit (scheme 10, host, user and password 200 each,
// path 1000, extra 2000 characters). The scheme is not looked at beyond its form.
TargetUrl crackTargetUrl(const QString &url);

// `url` with the password it carries, if any, replaced by asterisks: fit for a message.
QString urlWithoutPassword(const QString &url);
