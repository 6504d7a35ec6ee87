#include "todolist/Changelog.h"

#include "project/TextFile.h"
#include "todolist/ChangelogTemplates.h"

#include <QCollator>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <functional>

namespace Changelog {

namespace {

const QString kVersion = QStringLiteral("[%Version%]");
const QString kTitle = QStringLiteral("[%Title%]");
const QString kDescription = QStringLiteral("[%Description%]");

// The versions of the taken items, merged and sorted ignoring case; the form met first stays.
// Versions are texts: no numeric ordering, so 1.10 comes before 1.9.
QStringList collectVersions(const QList<TodoItem> &todos, const std::function<bool(const TodoItem &)> &taken)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    QStringList versions;
    QSet<QString> seen;
    for (const TodoItem &item : todos) {
        if (taken(item) && !seen.contains(item.version)) {
            seen.insert(item.version);
            versions.append(item.version);
        }
    }
    // Sorting stably keeps forms that differ in case only in the order met, so the first of
    // each run of equal ones is the one met first.
    std::stable_sort(versions.begin(), versions.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    versions.erase(std::unique(versions.begin(), versions.end(),
                               [&](const QString &a, const QString &b) { return collator.compare(a, b) == 0; }),
                   versions.end());
    return versions;
}

// The listed items of each version, in list order; an item whose version is spelt other than
// the form kept belongs to no section.
QList<QList<const TodoItem *>> itemsByVersion(const QList<TodoItem> &todos, const QStringList &versions,
                                              const std::function<bool(const TodoItem &)> &listed)
{
    QHash<QString, qsizetype> sectionOf;
    for (qsizetype i = 0; i < versions.size(); ++i)
        sectionOf.insert(versions.at(i), i);
    QList<QList<const TodoItem *>> sections(versions.size());
    for (const TodoItem &item : todos) {
        const auto section = sectionOf.constFind(item.version);
        if (section != sectionOf.cend() && listed(item))
            sections[*section].append(&item);
    }
    return sections;
}

// Keep a Changelog's headings for the four kinds (Bug, Changed, Removed, New), in its order.
struct KindSection
{
    int kind;
    const char *heading;
};
constexpr KindSection kKindSections[] = {{3, "Added"}, {1, "Changed"}, {2, "Removed"}, {0, "Fixed"}};

// Where an item goes: a kind the program never writes (a hand-edited file) counts as a change,
// so no item is dropped.
int sectionKind(int kind)
{
    return kind >= 0 && kind <= 3 ? kind : 1;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Runs of digits compare as numbers, everything else ignoring case: 1.10 comes after 1.9.
// (The platform collation's numeric mode is missing under the C locale, so it is done here.)
int compareVersions(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (!isDigit(a[i]) || !isDigit(b[j])) {
            if (const int order = a.sliced(i, 1).compare(b.sliced(j, 1), Qt::CaseInsensitive))
                return order;
            ++i;
            ++j;
            continue;
        }
        // Leading zeros do not count: 1.05 and 1.5 name the same number.
        while (i < a.size() && a[i] == u'0' && i + 1 < a.size() && isDigit(a[i + 1]))
            ++i;
        while (j < b.size() && b[j] == u'0' && j + 1 < b.size() && isDigit(b[j + 1]))
            ++j;
        const qsizetype digitsA = std::find_if_not(a.begin() + i, a.end(), isDigit) - a.begin() - i;
        const qsizetype digitsB = std::find_if_not(b.begin() + j, b.end(), isDigit) - b.begin() - j;
        if (digitsA != digitsB)
            return digitsA < digitsB ? -1 : 1;
        if (const int order = a.sliced(i, digitsA).compare(b.sliced(j, digitsB)))
            return order;
        i += digitsA;
        j += digitsB;
    }
    return (a.size() - i > 0) - (b.size() - j > 0);
}

// Newest first; of versions that differ in letter case only, the form met first stays. The
// empty version, the changes not yet released, comes first.
QStringList newestFirst(const QList<TodoItem> &items)
{
    QStringList versions;
    QSet<QString> seen;
    for (const TodoItem &item : items) {
        if (!seen.contains(item.version)) {
            seen.insert(item.version);
            versions.append(item.version);
        }
    }
    std::stable_sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) {
        if (a.isEmpty() || b.isEmpty())
            return a.isEmpty() && !b.isEmpty();
        return compareVersions(a, b) > 0;
    });
    versions.erase(std::unique(versions.begin(), versions.end(),
                               [](const QString &a, const QString &b) { return compareVersions(a, b) == 0; }),
                   versions.end());
    return versions;
}

// A list item's text: markup inside the line escaped, and what would open a block at the
// start of the line (a heading, a nested list, a quote) escaped as well.
QString markdownListText(const QString &title)
{
    QString text = markdownEscape(title.trimmed());
    static const QRegularExpression blockStart(QStringLiteral("^(?:[#+=-]|[0-9]+[.)])"));
    const QRegularExpressionMatch match = blockStart.match(text);
    if (match.hasMatch())
        text.insert(match.capturedEnd() - 1, QLatin1Char('\\'));
    return text;
}

} // namespace

QString htmlEscape(const QString &text)
{
    return QString(text)
        .replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"))
        .replace(QLatin1Char('"'), QStringLiteral("&quot;"));
}

Texts generate(const QList<TodoItem> &todos, const ChangelogTemplates &templates,
               const std::optional<QSet<quint64>> &selection)
{
    const auto taken = [&](const TodoItem &item) {
        return selection ? selection->contains(item.uid) : templates.includes(item.status);
    };
    const auto listed = [&](const TodoItem &item) { return taken(item) && (selection || item.official == -1); };

    QStringList html{QStringLiteral("<HTML><HEAD>")};
    QStringList plain;
    const QStringList versions = collectVersions(todos, taken);
    const QList<QList<const TodoItem *>> sections = itemsByVersion(todos, versions, listed);
    for (qsizetype i = 0; i < versions.size(); ++i) {
        const QString &version = versions.at(i);
        const QString escaped = htmlEscape(version);
        html.append(QString(templates.text(ChangelogTemplates::Head)).replace(kVersion, escaped));
        plain << version + QLatin1Char(':') << QString();
        for (const TodoItem *item : sections.at(i)) {
            const QString title = item->title.toString();
            plain.append(title);
            html.append(QString(templates.text(ChangelogTemplates::Node))
                            .replace(kVersion, escaped)
                            .replace(kTitle, htmlEscape(title))
                            .replace(kDescription, htmlEscape(item->description.toString())));
        }
        html.append(QString(templates.text(ChangelogTemplates::End)).replace(kVersion, escaped));
        plain.append(QString());
    }
    html.append(QStringLiteral("</BODY></HTML>"));
    return {TextFile::joinedText(html), TextFile::joinedText(plain)};
}

QString markdownEscape(const QString &text)
{
    static const QString special = QStringLiteral("\\`*_[]<>|~&");
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (special.contains(c))
            escaped.append(QLatin1Char('\\'));
        escaped.append(c);
    }
    return escaped;
}

QString markdown(const QList<TodoItem> &todos, const ChangelogTemplates &templates)
{
    QList<TodoItem> listed;
    std::copy_if(todos.cbegin(), todos.cend(), std::back_inserter(listed),
                 [&](const TodoItem &item) { return item.official == -1 && templates.includes(item.status); });
    QStringList lines{QStringLiteral("# Changelog")};
    for (const QString &version : newestFirst(listed)) {
        const QString name = version.isEmpty() ? QStringLiteral("Unreleased") : markdownEscape(version);
        lines << QString() << QStringLiteral("## [%1]").arg(name);
        for (const KindSection &section : kKindSections) {
            QStringList entries;
            for (const TodoItem &item : listed)
                if (sectionKind(item.kind) == section.kind && compareVersions(item.version, version) == 0)
                    entries.append(QStringLiteral("- ") + markdownListText(item.title.toString()));
            if (entries.isEmpty())
                continue;
            lines << QString() << QStringLiteral("### ") + QLatin1String(section.heading) << QString() << entries;
        }
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString writePage(const QString &folder, const QString &html)
{
    const QString path = folder + QStringLiteral("temp.html");
    TextFile::writeBytes(path, TextFile::encode(html));
    return path;
}

} // namespace Changelog
