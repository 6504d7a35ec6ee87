#include "todolist/Changelog.h"

#include "project/TextFile.h"
#include "todolist/ChangelogTemplates.h"

#include <QCollator>
#include <QHash>

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
            plain.append(item->title);
            html.append(QString(templates.text(ChangelogTemplates::Node))
                            .replace(kVersion, escaped)
                            .replace(kTitle, htmlEscape(item->title))
                            .replace(kDescription, htmlEscape(item->description)));
        }
        html.append(QString(templates.text(ChangelogTemplates::End)).replace(kVersion, escaped));
        plain.append(QString());
    }
    html.append(QStringLiteral("</BODY></HTML>"));
    return {TextFile::joinedText(html), TextFile::joinedText(plain)};
}

QString writePage(const QString &folder, const QString &html)
{
    const QString path = folder + QStringLiteral("temp.html");
    TextFile::writeBytes(path, TextFile::encode(html));
    return path;
}

} // namespace Changelog
