#pragma once

#include "i18n/LanguageTable.h"

#include <QString>
#include <QStringList>

// The user's language: the language files of the Languages folder, the choice kept in lang.ini
// in the settings folder, and the table of the language last loaded.
class Localisation
{
public:
    // `settingsFolder` ends in a separator, as the workspace keeps it.
    explicit Localisation(QString settingsFolder, QString languagesFolder = defaultLanguagesFolder());

    // "Languages" beside the executable; else the installed data folder.
    static QString defaultLanguagesFolder();
    // The names of the files directly in `folder`, each without its extension; empty when the
    // folder does not exist. Every file counts, whatever its extension.
    static QStringList listLanguages(QString folder);

    // The languages to offer, sorted ignoring case as the user's locale does.
    QStringList languages() const;
    // Replaces the table with the chosen language's file, English.txt when lang.ini is missing
    // or empty or names a language without a file. Throws Error when the file cannot be read;
    // the table is then empty.
    void load();
    // Stores the choice in lang.ini; throws Error when the file cannot be written.
    void choose(const QString &language);

    const LanguageTable &table() const { return m_table; }
    const QString &languagesFolder() const { return m_languagesFolder; }

private:
    QString chosenLanguage() const;
    QString languageFile(const QString &language) const;

    QString m_settingsFile;
    QString m_languagesFolder;
    LanguageTable m_table;
};
