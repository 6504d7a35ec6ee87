#pragma once

#include <QString>

#include <array>

// The user's HTML templates of the changelog and the statuses that "Create changelog" takes.
// Kept per user in the settings folder: Head.txt, Node.txt, End.txt and settings.dat.
// Template texts use CR LF line breaks, as their files do.
struct ChangelogTemplates
{
    enum Part { Head, Node, End };

    std::array<QString, 3> texts = {QStringLiteral("<h3>[%Version%]</h3>\r\n<ul>\r\n"),
                                    QStringLiteral("<li>[%Title%]: [%Description%]</li>\r\n"),
                                    QStringLiteral("</ul><br>\r\n")};
    // Finished, Testing, At work, To do, Someday: status codes 8 to 12.
    std::array<bool, 5> include = {true, false, false, false, false};

    const QString &text(Part part) const { return texts[part]; }
    // Whether an item of this status goes into the changelog of all items.
    bool includes(int status) const;

    static QString fileName(Part part);

    // Reads the files that exist in `folder` (which ends with a separator); the others keep
    // their defaults. Every file is tried; then throws Error naming each one that failed.
    void load(const QString &folder);
    // Write one file anew, atomically; throw Error naming the file and the reason.
    void saveText(const QString &folder, Part part) const;
    void saveFlags(const QString &folder) const;
};
