#pragma once

#include <QList>
#include <QString>

// A web address, e-mail or file link found in a paragraph of a document.
struct Link
{
    qsizetype start = 0;
    qsizetype length = 0;
    // What opening the link hands to the desktop: the text itself, or for a bare
    // "www." name the address with its scheme.
    QString target;

    bool operator==(const Link &) const = default;
};

// The links in one paragraph, in order: words that start with a URL scheme the desktop opens
// ("https:", "mailto:", "file:" and the like) or with "www.", up to the next white
// space, without the punctuation that ends a sentence around them.
QList<Link> linksIn(const QString &text);
