#pragma once

#include "project/Records.h"

#include <QSet>

#include <optional>

struct ChangelogTemplates;

// The changelog of the to-do list, grouped by version: an HTML document built from the user's
// templates and the same as plain text.
namespace Changelog {

struct Texts
{
    QString html;
    QString plain;
};

// "&", "<", ">" and the double quote as entities, "&" first so nothing is escaped twice.
QString htmlEscape(const QString &text);

// Without a selection: every item whose status the templates include (official ones listed,
// unofficial ones only opening their version's section). With a selection (item uids):
// exactly the selected items, whatever their status.
Texts generate(const QList<TodoItem> &todos, const ChangelogTemplates &templates,
               const std::optional<QSet<quint64>> &selection = std::nullopt);

// The changelog as a Keep a Changelog document: one "## [version]" section per version, newest
// first (an empty version is "Unreleased", on top), the official items whose status the
// templates include, grouped as Added (New), Changed, Removed and Fixed (Bug). Versions that
// differ only in letter case make one section. Line breaks are LF, as Markdown files have them.
QString markdown(const QList<TodoItem> &todos, const ChangelogTemplates &templates);

// Backslash before every character that would start Markdown markup inside a line.
QString markdownEscape(const QString &text);

// Writes the HTML as temp.html into `folder` (which ends with a separator), replacing the
// last one; returns its path. Throws Error naming the file and the reason.
QString writePage(const QString &folder, const QString &html);

} // namespace Changelog
