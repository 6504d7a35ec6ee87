#include "todolist/ChangelogTemplates.h"

#include "project/Error.h"
#include "project/TextFile.h"

#include <QFileInfo>

namespace {

const QString kSettingsFile = QStringLiteral("settings.dat");

} // namespace

bool ChangelogTemplates::includes(int status) const
{
    const int index = status - 8;
    return index >= 0 && index < static_cast<int>(include.size()) && include[index];
}

QString ChangelogTemplates::fileName(Part part)
{
    static const QString names[] = {QStringLiteral("Head.txt"), QStringLiteral("Node.txt"),
                                    QStringLiteral("End.txt")};
    return names[part];
}

void ChangelogTemplates::load(const QString &folder)
{
    QStringList failures;
    for (Part part : {Head, Node, End}) {
        const QString path = folder + fileName(part);
        if (!QFileInfo::exists(path))
            continue;
        try {
            texts[part] = TextFile::joinedText(TextFile::readLines(path));
        } catch (const Error &error) {
            failures.append(error.message());
        }
    }
    const QString settings = folder + kSettingsFile;
    if (QFileInfo::exists(settings)) {
        try {
            const QStringList lines = TextFile::readLines(settings);
            const qsizetype present = std::min<qsizetype>(lines.size(), include.size());
            for (qsizetype i = 0; i < present; ++i)
                include[i] = lines[i] == QLatin1String("T");
            if (present < static_cast<qsizetype>(include.size()))
                failures.append(QStringLiteral("%1 ends after %2 of its %3 lines; the other settings keep their defaults")
                                    .arg(settings).arg(present).arg(include.size()));
        } catch (const Error &error) {
            failures.append(error.message());
        }
    }
    if (!failures.isEmpty())
        throw Error(failures.join(QLatin1Char('\n')));
}

void ChangelogTemplates::saveText(const QString &folder, Part part) const
{
    TextFile::writeBytes(folder + fileName(part), TextFile::encode(texts[part]));
}

void ChangelogTemplates::saveFlags(const QString &folder) const
{
    QStringList lines;
    for (bool flag : include)
        lines.append(flag ? QStringLiteral("T") : QStringLiteral("F"));
    TextFile::writeLines(folder + kSettingsFile, lines);
}
