#include "i18n/ui/LanguageApplier.h"

#include "widgets/AccessibleNames.h"
#include "widgets/TwoCaptionButton.h"
#include "widgets/PlaceholderLabel.h"
#include "i18n/LanguageEntries.h"
#include "i18n/LanguageTable.h"
#include "i18n/Localisation.h"
#include "project/Error.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeView>

#include <algorithm>
#include <functional>
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

// The named objects of the main window and its dialogs, gathered once for a whole table: a
// lookup per entry would walk the whole tree each time.
class ElementIndex
{
public:
    explicit ElementIndex(QWidget &mainWindow) : m_mainWindow(mainWindow) {}

    // The element of that name inside the window of that name, or nullptr.
    QObject *find(const QString &windowName, const QString &elementName)
    {
        QWidget *window = this->window(windowName);
        if (!window)
            return nullptr;
        auto elements = m_elements.constFind(window);
        if (elements == m_elements.cend())
            elements = m_elements.insert(window, namedElements(*window));
        return elements->value(elementName);
    }

    QWidget *window(const QString &name)
    {
        auto found = m_windows.constFind(name);
        if (found == m_windows.cend())
            found = m_windows.insert(name, findWindow(name));
        return *found;
    }

private:
    QWidget *findWindow(const QString &name) const
    {
        if (m_mainWindow.objectName() == name)
            return &m_mainWindow;
        for (QWidget *widget : m_mainWindow.findChildren<QWidget *>(name))
            if (widget->isWindow())
                return widget;
        return nullptr;
    }

    // The objects inside one window by name, the nearest first where names repeat, not looking
    // into the windows it owns (the dialogs reuse names such as Edit1 and BitBtn1).
    static QHash<QString, QObject *> namedElements(QWidget &window)
    {
        QHash<QString, QObject *> elements;
        std::deque<QObject *> pending(window.children().cbegin(), window.children().cend());
        while (!pending.empty()) {
            QObject *object = pending.front();
            pending.pop_front();
            if (isOtherWindow(object))
                continue;
            const QString name = object->objectName();
            if (!name.isEmpty() && !elements.contains(name))
                elements.insert(name, object);
            pending.insert(pending.end(), object->children().cbegin(), object->children().cend());
        }
        return elements;
    }

    QWidget &m_mainWindow;
    QHash<QString, QWidget *> m_windows;
    QHash<QWidget *, QHash<QString, QObject *>> m_elements;
};

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
    if (auto *placeholder = qobject_cast<PlaceholderLabel *>(&element))
        return placeholder->setPlaceholder(text);
    if (auto *twoCaptions = qobject_cast<TwoCaptionButton *>(&element))
        return twoCaptions->setUpCaption(text);
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
void setColumnCaption(QTreeView &list, int column, const QString &text)
{
    list.model()->setHeaderData(column, Qt::Horizontal, text);
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
}

void applyEntry(QObject &element, const Entry &entry, const QString &text, bool windowShown)
{
    switch (entry.property) {
    case Property::Caption:
        setCaption(element, text);
        break;
    case Property::DownCaption:
        if (auto *button = qobject_cast<TwoCaptionButton *>(&element))
            button->setDownCaption(text);
        break;
    case Property::Column:
        if (auto *list = qobject_cast<QTreeView *>(&element); list && entry.index < list->model()->columnCount())
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
    case Property::DialogItem:
    case Property::Unused:
        break;
    }
}

} // namespace

namespace {

void applyEntries(const LanguageTable &table, QWidget &mainWindow, const std::function<bool(const QObject &)> &applies)
{
    const auto entries = LanguageEntries::all();
    // Controls named after captions say the new ones, also when a short file stops the table.
    const auto renamed = qScopeGuard([&mainWindow] { AccessibleNames::renameAll(mainWindow); });
    ElementIndex index(mainWindow);
    for (int number = 0; number < LanguageEntries::kCount; ++number) {
        const Entry &entry = entries[number];
        if (!LanguageEntries::isApplied(entry))
            continue;
        const QString text = LanguageEntries::text(table, number);
        QObject *element = index.find(QLatin1String(entry.window), QLatin1String(entry.element));
        if (element && applies(*element))
            applyEntry(*element, entry, text, index.window(QLatin1String(entry.window))->isVisible());
    }
}

} // namespace

void applyLanguage(const LanguageTable &table, QWidget &mainWindow)
{
    applyEntries(table, mainWindow, [](const QObject &) { return true; });
}

void loadAndApplyLanguage(Localisation &localisation, QWidget &mainWindow)
{
    localisation.load();
    applyLanguage(localisation.table(), mainWindow);
}

void applyLanguageToNew(const LanguageTable &table, QWidget &mainWindow, const QSet<const QObject *> &existing)
{
    try {
        applyEntries(table, mainWindow, [&existing](const QObject &element) { return !existing.contains(&element); });
    } catch (const Error &) {
        // Reported when the table was applied whole; it ends here at the same entry.
    }
}
