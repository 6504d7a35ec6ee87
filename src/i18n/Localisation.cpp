#include "i18n/Localisation.h"

#include "project/Error.h"
#include "project/TextFile.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

const QString kFallback = QStringLiteral("English");

} // namespace

Localisation::Localisation(QString settingsFolder, QString languagesFolder)
    : m_settingsFile(settingsFolder + QStringLiteral("lang.ini")), m_languagesFolder(std::move(languagesFolder))
{
}

QString Localisation::defaultLanguagesFolder()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("Languages"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(programFolder.filePath(QStringLiteral(TROVAS_INSTALLED_LANGUAGES)));
}

QStringList Localisation::listLanguages(QString folder)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        folder.chop(1);
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return {};
    QStringList names;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        names.append(dot < 0 ? name : name.left(dot));
    }
    return names;
}

QStringList Localisation::languages() const
{
    QStringList names = listLanguages(m_languagesFolder);
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(),
                     [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return names;
}

void Localisation::load()
{
    m_table = {};
    const QString chosen = chosenLanguage();
    if (!chosen.isEmpty() && QFileInfo(languageFile(chosen)).isFile()) {
        m_table = LanguageTable::read(languageFile(chosen));
        return;
    }
    const QString fallback = languageFile(kFallback);
    if (!QFileInfo::exists(fallback))
        throw Error(QStringLiteral("The language file \"%1\" is missing, so the program keeps its built-in texts.")
                        .arg(QDir::toNativeSeparators(fallback)));
    m_table = LanguageTable::read(fallback);
}

void Localisation::choose(const QString &language)
{
    TextFile::writeLines(m_settingsFile, {language});
}

QString Localisation::chosenLanguage() const
{
    if (!QFileInfo::exists(m_settingsFile))
        return {};
    const QStringList lines = TextFile::readLines(m_settingsFile);
    return lines.isEmpty() ? QString() : lines.first();
}

QString Localisation::languageFile(const QString &language) const
{
    return QDir(m_languagesFolder).filePath(language + QStringLiteral(".txt"));
}
