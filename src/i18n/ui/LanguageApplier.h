#pragma once

class LanguageTable;
class QWidget;

// Sets the texts of the main window and its dialogs from a language table, entry by entry in
// table order. Windows and elements are found by object name; one that does not exist is passed
// over. Throws Error at the first entry the table lacks or a font size that is no whole number;
// the entries before it stay applied.
void applyLanguage(const LanguageTable &table, QWidget &mainWindow);
