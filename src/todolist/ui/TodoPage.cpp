#include "todolist/ui/TodoPage.h"

#include "workspace/Workspace.h"
#include "widgets/CommandRunner.h"
#include "widgets/Frame.h"
#include "widgets/Icons.h"
#include "widgets/ListPopupMenu.h"
#include "widgets/PageContext.h"
#include "widgets/RecordListView.h"
#include "platform/Prompts.h"
#include "todolist/Changelog.h"
#include "todolist/ui/ChangelogWindow.h"
#include "todolist/ui/TemplateWindow.h"
#include "todolist/ui/TodoDialog.h"

#include <QVBoxLayout>

namespace {

// A code outside its field's table (a hand-edited file) shows no icon.
QIcon codeIcon(Todos::CodeField field, int code)
{
    return Todos::positionOf(field, code) >= 0 ? Icons::todo(code) : QIcon();
}

const TodoPage::CodeCommand kStatuses[] = {{"Finished1", "Finished", 8}, {"esting1", "Testing", 9},
                                           {"Atwork1", "At work", 10}, {"oDo1", "To-Do", 11},
                                           {"Someday1", "Someday", 12}};
// The entry named Low1 reads "High" and High1 reads "Low": names and codes are fixed.
const TodoPage::CodeCommand kPriorities[] = {{"Low1", "High", 4}, {"Normal1", "Normal", 5}, {"High1", "Low", 6}};
const TodoPage::CodeCommand kKinds[] = {{"Bug1", "Bug", 0}, {"Change1", "Change", 1}, {"Removed1", "Removed", 2},
                                        {"New1", "New", 3}};
const TodoPage::CodeCommand kOfficials[] = {{"Official1", "Official", -1}, {"Unofficial1", "Unofficial", 7}};

// What an icon of the list means: "Status: At work".
QString codeMeaning(const char *field, std::span<const TodoPage::CodeCommand> commands, int code)
{
    for (const TodoPage::CodeCommand &command : commands)
        if (command.code == code)
            return QLatin1String(field) + QStringLiteral(": ") + QLatin1String(command.caption);
    return {};
}

RecordListView::Rows todoRows(const Project &project)
{
    return {[&project] { return static_cast<int>(project.data().todos.size()); },
            [&project](int row) { return project.data().todos.at(row).uid; },
            [&project](int row, int column, int role) -> QVariant {
                const TodoItem &todo = project.data().todos.at(row);
                if (column >= 4) {
                    if (role != Qt::DisplayRole)
                        return {};
                    const CompactText *texts[] = {&todo.title, &todo.description, &todo.note};
                    return column == 4 ? todo.version : texts[column - 5]->toString();
                }
                const Todos::CodeField fields[] = {Todos::CodeField::Status, Todos::CodeField::Priority,
                                                   Todos::CodeField::Kind, Todos::CodeField::Official};
                const std::span<const TodoPage::CodeCommand> meanings[] = {kStatuses, kPriorities, kKinds, kOfficials};
                const char *captions[] = {"Status", "Priority", "Type", "Official"};
                const int code = Todos::codeOf(todo, fields[column]);
                if (role == Qt::DecorationRole)
                    return codeIcon(fields[column], code);
                if (role == Qt::ToolTipRole)
                    return codeMeaning(captions[column], meanings[column], code);
                return {};
            }};
}

} // namespace

TodoPage::TodoPage(const PageContext &context, QWidget *parent)
    : QWidget(parent), m_project(context.workspace.project), m_prompts(context.prompts), m_frame(context.frame),
      m_folder(context.workspace.appDataFolder), m_commands(m_project)
{
    setObjectName(QStringLiteral("TabSheet3"));
    m_list = new RecordListView(
        m_project, ProjectList::Todos,
        {{QStringLiteral("Status"), 50}, {QStringLiteral("Priority"), 50}, {QStringLiteral("Type"), 50},
         {QStringLiteral("Official"), 50}, {QStringLiteral("Version"), 80}, {QStringLiteral("Title"), 300},
         {QStringLiteral("Description"), 50}, {QStringLiteral("Note"), 100}},
        todoRows(m_project), this);
    m_list->setObjectName(QStringLiteral("ListView2"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    m_dialog = new TodoDialog(m_commands, context.workspace.localisation, m_prompts, m_frame.window());
    m_changelog = new ChangelogWindow(m_frame.window());
    buildMenu();
    connect(m_list, &RecordListView::editRequested, this, &TodoPage::editFirstSelected);
    connect(m_dialog, &TodoDialog::saved, this, [this] { m_frame.updateProjectPanel(); });
    connect(&context.workspace.commands, &ProjectCommands::documentReplaced, m_dialog, &QDialog::close);
}

void TodoPage::buildMenu()
{
    auto *menu = new ListPopupMenu(m_list, "PopupMenu1", m_prompts);
    menu->addCommand("Add2", QStringLiteral("Add"), [this] { m_dialog->editNew(m_project.data().version); });
    menu->addDeleteCommand("Delete1", [this] { removeSelected(); });
    menu->addSeparator()->setObjectName(QStringLiteral("N14"));
    addCodeMenu(menu, "Changestatus1", QStringLiteral("Change status"), Todos::CodeField::Status, kStatuses);
    addCodeMenu(menu, "Changepriority1", QStringLiteral("Change priority"), Todos::CodeField::Priority, kPriorities);
    addCodeMenu(menu, "Changetype1", QStringLiteral("Change type"), Todos::CodeField::Kind, kKinds);
    addCodeMenu(menu, "Changeofficial1", QStringLiteral("Change official"), Todos::CodeField::Official, kOfficials);
    menu->addCommand("Changeversion1", QStringLiteral("Change version"), [this] { changeVersion(); });
    menu->addSeparator()->setObjectName(QStringLiteral("N12"));
    menu->addCommand("Createchangelog2", QStringLiteral("Create changelog"), [this] { createChangelog(false); });
    menu->addCommand("Createchangelogofselecteditems1", QStringLiteral("Create changelog of selected items"),
                     [this] { createChangelog(true); });
}

void TodoPage::addCodeMenu(QMenu *menu, const char *name, const QString &caption, Todos::CodeField field,
                           std::span<const CodeCommand> commands)
{
    QMenu *submenu = menu->addMenu(caption);
    submenu->setObjectName(QLatin1String(name));
    for (const CodeCommand &command : commands) {
        QAction *action = submenu->addAction(codeIcon(field, command.code), QString::fromLatin1(command.caption));
        action->setObjectName(QLatin1String(command.name));
        connect(action, &QAction::triggered, this, [this, field, code = command.code] {
            runCommand(m_prompts, [&] { m_commands.setCode(m_list->selectedRows(), field, code); });
        });
    }
}

void TodoPage::editFirstSelected()
{
    const QList<int> rows = m_list->selectedRows();
    if (!rows.isEmpty())
        m_dialog->edit(m_project.data().todos.at(rows.first()));
}

void TodoPage::removeSelected()
{
    m_commands.remove(m_list->selectedRows());
    m_frame.updateProjectPanel();
}

void TodoPage::changeVersion()
{
    if (const std::optional<QString> version =
            m_prompts.inputText(QStringLiteral("Version"), QStringLiteral("Version:"), QString()))
        m_commands.setVersion(m_list->selectedRows(), *version);
}

void TodoPage::createChangelog(bool selectedOnly)
{
    std::optional<QSet<quint64>> selection;
    if (selectedOnly) {
        selection.emplace();
        for (int row : m_list->selectedRows())
            selection->insert(m_project.data().todos.at(row).uid);
    }
    // The templates as the options window holds them at this moment.
    const auto *options = m_frame.window()->findChild<TemplateWindow *>();
    const ChangelogTemplates templates = options ? options->templates() : ChangelogTemplates();
    const Changelog::Texts texts = Changelog::generate(m_project.data().todos, templates, selection);
    m_changelog->setTexts(texts);
    m_changelog->showPage(Changelog::writePage(m_folder, texts.html));
}
