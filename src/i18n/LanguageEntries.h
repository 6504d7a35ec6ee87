#pragma once

#include <span>

class LanguageTable;
class QString;

// What each line of a language file names: the window, the element by its object name, which
// of its texts the line sets, and the text the element has before any language is applied.
// Line N of the file is entry N.
namespace LanguageEntries {

enum class Property {
    Caption,    // the element's caption (menu entry, tab, frame, label, button)
    Column,     // the caption of a list column, `index` counted from 0
    Item,       // the caption of a navigation entry, `index` counted from 0
    Text,       // the text a field holds
    DownCaption, // the caption a two-state button shows while it is down
    FontSize,   // a font-size field's first text; the field follows the selection, so a language
                // never sets it (that would resize the selected text)
    DialogItem, // a drop-down item of the to-do dialog, read by the dialog itself when shown
    Unused,     // a line kept only so that the later entries keep their numbers
};

struct Entry
{
    const char *window;
    const char *element;
    Property property;
    int index;
    const char *builtIn;
};

constexpr int kCount = 213;
// Every language file has the first 186 entries. The entries after them came with later
// features: a file that ends before one of them still loads, and those captions stay English.
constexpr int kRequiredCount = 186;
// The first entry of each drop-down of the to-do dialog: types, priorities, statuses.
constexpr int kTodoKinds = 164;
constexpr int kTodoPriorities = 168;
constexpr int kTodoStatuses = 171;

std::span<const Entry, kCount> all();
// Whether applying a language sets this entry's element (not unused, not a font size, not
// read by the dialog).
bool isApplied(const Entry &entry);
// The text of entry `number` in `table`; a later entry the file lacks gives its built-in text.
// Throws Error when the file lacks one of the required entries.
QString text(const LanguageTable &table, int number);

} // namespace LanguageEntries
