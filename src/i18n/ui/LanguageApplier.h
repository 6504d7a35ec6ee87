#pragma once

#include <QSet>

class LanguageTable;
class Localisation;
class QObject;
class QWidget;

// Sets the texts of the main window and its dialogs from a language table, entry by entry in
// table order. Windows and elements are found by object name; one that does not exist is passed
// over. Only captions change: never a document, never a title that shows the project. Throws
// Error at the first entry the table lacks; the entries before it stay applied.
void applyLanguage(const LanguageTable &table, QWidget &mainWindow);

// Loads the chosen language and applies it as applyLanguage does.
void loadAndApplyLanguage(Localisation &localisation, QWidget &mainWindow);

// Sets the texts of the elements made after the table was applied (parts of a window made when
// first needed) as applying the whole table would; the elements in `existing` stay as they are.
// The faults of the table were reported when it was applied whole: here they end it quietly.
void applyLanguageToNew(const LanguageTable &table, QWidget &mainWindow, const QSet<const QObject *> &existing);
