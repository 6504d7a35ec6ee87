#include "docs/Links.h"

#include <array>
#include <optional>

namespace {

struct Prefix
{
    QLatin1StringView text;
    // Put in front of a bare name so the desktop knows what it is.
    QLatin1StringView scheme;
};

constexpr std::array<Prefix, 9> prefixes{{
    {QLatin1StringView("http://"), {}},
    {QLatin1StringView("https://"), {}},
    {QLatin1StringView("ftp://"), {}},
    {QLatin1StringView("file:"), {}},
    {QLatin1StringView("mailto:"), {}},
    {QLatin1StringView("news:"), {}},
    {QLatin1StringView("nntp:"), {}},
    {QLatin1StringView("telnet:"), {}},
    {QLatin1StringView("www."), QLatin1StringView("http://")},
}};

const QString opening = QStringLiteral("([{<\"'");
const QString closing = QStringLiteral(".,;:!?)]}>\"'");

// The link that a word is, if any; start and length are within the word.
std::optional<Link> linkOf(QStringView word)
{
    qsizetype start = 0;
    while (start < word.size() && opening.contains(word[start]))
        ++start;
    qsizetype end = word.size();
    while (end > start && closing.contains(word[end - 1]))
        --end;
    const QStringView text = word.mid(start, end - start);
    for (const Prefix &prefix : prefixes) {
        if (text.size() > prefix.text.size() && text.startsWith(prefix.text, Qt::CaseInsensitive))
            return Link{start, text.size(), prefix.scheme + text.toString()};
    }
    return std::nullopt;
}

} // namespace

QList<Link> linksIn(const QString &text)
{
    QList<Link> links;
    qsizetype position = 0;
    while (position < text.size()) {
        if (text[position].isSpace()) {
            ++position;
            continue;
        }
        qsizetype end = position;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        if (std::optional<Link> link = linkOf(QStringView(text).mid(position, end - position))) {
            link->start += position;
            links.append(*link);
        }
        position = end;
    }
    return links;
}
