#include "i18n/ui/LanguageApplier.h"

#include "docs/ui/FontSizeBox.h"
#include "i18n/LanguageEntries.h"
#include "i18n/LanguageTable.h"
#include "project/Error.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>
#include <deque>

namespace {

using LanguageEntries::Entry;
using LanguageEntries::Property;

// A window of its own (a dialog, a tool window) is not part of the window that owns it; pop-up
// menus are.
bool isOtherWindow(const QObject *object)
{
    const auto *widget = qobject_cast<const QWidget *>(object);
    return widget && widget->isWindow() && widget->windowType() != Qt::Popup;
}

// The object of that name inside one window, not looking into the windows it owns (the dialogs
// reuse names such as Edit1 and BitBtn1).
QObject *findInWindow(QWidget &window, const QString &name)
{
    std::deque<QObject *> pending(window.children().cbegin(), window.children().cend());
    while (!pending.empty()) {
        QObject *object = pending.front();
        pending.pop_front();
        if (isOtherWindow(object))
            continue;
        if (object->objectName() == name)
            return object;
        pending.insert(pending.end(), object->children().cbegin(), object->children().cend());
    }
    return nullptr;
}

QWidget *findWindow(QWidget &mainWindow, const QString &name)
{
    if (mainWindow.objectName() == name)
        return &mainWindow;
    for (QWidget *widget : mainWindow.findChildren<QWidget *>(name))
        if (widget->isWindow())
            return widget;
    return nullptr;
}

// A menu entry whose caption is "-" is drawn as a separator line (a separator with a text would
// show it beside the line); any other caption makes it an ordinary entry.
void setActionCaption(QAction &action, const QString &text)
{
    const QList<QObject *> owners = action.associatedObjects();
    const bool inMenu = std::any_of(owners.cbegin(), owners.cend(),
                                    [](const QObject *owner) { return qobject_cast<const QMenu *>(owner); });
    const bool separator = inMenu && text == QLatin1String("-");
    if (inMenu)
        action.setSeparator(separator);
    action.setText(separator ? QString() : text);
}

void setCaption(QObject &element, const QString &text)
{
    if (auto *action = qobject_cast<QAction *>(&element))
        return setActionCaption(*action, text);
    if (auto *menu = qobject_cast<QMenu *>(&element))
        return menu->setTitle(text);
    if (auto *box = qobject_cast<QGroupBox *>(&element))
        return box->setTitle(text);
    if (auto *button = qobject_cast<QAbstractButton *>(&element))
        return button->setText(text);
    if (auto *label = qobject_cast<QLabel *>(&element))
        return label->setText(text);
    auto *widget = qobject_cast<QWidget *>(&element);
    if (!widget)
        return;
    // A page of a tab control shows its caption on its tab; a page whose tab is hidden keeps
    // it as its title.
    auto *stack = qobject_cast<QStackedWidget *>(widget->parentWidget());
    auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
    if (tabs && tabs->indexOf(widget) >= 0)
        tabs->setTabText(tabs->indexOf(widget), text);
    else
        widget->setWindowTitle(text);
}

// A column narrower than its new caption widens to show it whole.
void setColumnCaption(QTreeWidget &list, int column, const QString &text)
{
    list.headerItem()->setText(column, text);
    QHeaderView *header = list.header();
    header->resizeSection(column, std::max(header->sectionSize(column), header->sectionSizeHint(column)));
}

void setFieldText(QObject &element, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(&element))
        edit->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(&element))
        combo->setCurrentText(text);
    else if (auto *spin = qobject_cast<QSpinBox *>(&element))
        spin->setValue(text.toInt());
    else if (auto *size = qobject_cast<FontSizeBox *>(&element))
        size->enter(text);
}

QString fieldText(const QObject &element)
{
    if (const auto *edit = qobject_cast<const QLineEdit *>(&element))
        return edit->text();
    if (const auto *combo = qobject_cast<const QComboBox *>(&element))
        return combo->currentText();
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(&element))
        return spin->text();
    return {};
}

void setFontSize(QObject &element, const QString &text, int number, const LanguageTable &table)
{
    if (text == fieldText(element))
        return;
    bool whole = false;
    text.toInt(&whole);
    if (!whole)
        throw Error(QStringLiteral("Entry %1 of the language file \"%2\" is a font size, but \"%3\" is not a whole number.")
                        .arg(number)
                        .arg(table.path(), text));
    setFieldText(element, text);
}

void applyEntry(QObject &element, const Entry &entry, const QString &text, int number, const LanguageTable &table,
                bool windowShown)
{
    switch (entry.property) {
    case Property::Caption:
        setCaption(element, text);
        break;
    case Property::Column:
        if (auto *list = qobject_cast<QTreeWidget *>(&element); list && entry.index < list->columnCount())
            setColumnCaption(*list, entry.index, text);
        break;
    case Property::Item:
        if (auto *list = qobject_cast<QListWidget *>(&element); list && entry.index < list->count())
            list->item(entry.index)->setText(text);
        break;
    case Property::Text:
        // The dialogs fill these fields whenever they open; an open dialog keeps what was typed.
        if (!windowShown)
            setFieldText(element, text);
        break;
    case Property::FontSize:
        setFontSize(element, text, number, table);
        break;
    case Property::DialogItem:
    case Property::Unused:
        break;
    }
}

} // namespace

void applyLanguage(const LanguageTable &table, QWidget &mainWindow)
{
    const auto entries = LanguageEntries::all();
    for (int number = 0; number < LanguageEntries::kCount; ++number) {
        const Entry &entry = entries[number];
        if (!LanguageEntries::isApplied(entry))
            continue;
        const QString text = table.entry(number);
        QWidget *window = findWindow(mainWindow, QLatin1String(entry.window));
        QObject *element = window ? findInWindow(*window, QLatin1String(entry.element)) : nullptr;
        if (element)
            applyEntry(*element, entry, text, number, table, window->isVisible());
    }
}
