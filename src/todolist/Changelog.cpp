#include "todolist/Changelog.h"

#include "project/TextFile.h"
#include "todolist/ChangelogTemplates.h"

#include <QCollator>

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
    for (const TodoItem &item : todos) {
        if (!taken(item))
            continue;
        const bool known = std::any_of(versions.cbegin(), versions.cend(), [&](const QString &version) {
            return collator.compare(version, item.version) == 0;
        });
        if (!known)
            versions.append(item.version);
    }
    std::stable_sort(versions.begin(), versions.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return versions;
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
    for (const QString &version : collectVersions(todos, taken)) {
        const QString escaped = htmlEscape(version);
        html.append(QString(templates.text(ChangelogTemplates::Head)).replace(kVersion, escaped));
        plain << version + QLatin1Char(':') << QString();
        for (const TodoItem &item : todos) {
            if (item.version != version || !listed(item))
                continue;
            plain.append(item.title);
            html.append(QString(templates.text(ChangelogTemplates::Node))
                            .replace(kVersion, escaped)
                            .replace(kTitle, htmlEscape(item.title))
                            .replace(kDescription, htmlEscape(item.description)));
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
