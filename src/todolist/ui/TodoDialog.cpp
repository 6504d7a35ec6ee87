#include "todolist/ui/TodoDialog.h"

#include "widgets/CommandRunner.h"
#include "widgets/DialogButtons.h"
#include "widgets/ScrollingWhenShort.h"
#include "widgets/Icons.h"
#include "i18n/LanguageEntries.h"
#include "i18n/Localisation.h"
#include "todolist/TodoCommands.h"
#include "widgets/Placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox *codeList(Todos::CodeField field, int count, const char *name, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    for (int position = 0; position < count; ++position)
        list->addItem(Icons::todo(Todos::codeAt(field, position)), QString());
    return list;
}

// The drop-down's items in order take the texts of the language entries from `first` on.
void setCaptions(QComboBox *list, int first, const std::function<QString(int entry)> &text)
{
    for (int position = 0; position < list->count(); ++position)
        list->setItemText(position, text(first + position));
}

// A named label, so the language finds it, whose accelerator moves to its drop-down.
void addLabelledRow(QFormLayout *layout, const char *name, const QString &caption, QWidget *field)
{
    auto *label = new QLabel(caption, layout->parentWidget());
    label->setObjectName(QLatin1String(name));
    label->setBuddy(field);
    layout->addRow(label, field);
}

QString builtInText(int entry)
{
    return QString::fromLatin1(LanguageEntries::all()[entry].builtIn);
}

// A drop-down's code, or the item's own when nothing is chosen (a code outside the table).
int chosenCode(const QComboBox *list, Todos::CodeField field, int original)
{
    const int position = list->currentIndex();
    return position < 0 ? original : Todos::codeAt(field, position);
}

} // namespace

TodoDialog::TodoDialog(TodoCommands &commands, const Localisation &localisation, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_commands(commands), m_localisation(localisation), m_prompts(prompts)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("To-Do"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    auto *fields = new QWidget;
    auto *fieldsLayout = new QVBoxLayout(fields);
    fieldsLayout->setContentsMargins(0, 0, 0, 0);

    // Created top to bottom, which is also the Tab order.
    m_title = addEdit(fieldsLayout, QStringLiteral("Title:"), "GroupBox1", "Edit1");
    m_description = addEdit(fieldsLayout, QStringLiteral("Description:"), "GroupBox2", "Edit3");
    fieldsLayout->addWidget(buildProperties());
    m_version = addEdit(fieldsLayout, QStringLiteral("Version:"), "GroupBox4", "Edit2");
    m_note = addEdit(fieldsLayout, QStringLiteral("Note:"), "GroupBox5", "Edit5");
    layout->addWidget(scrollingWhenShort(fields));

    // A refused item keeps the dialog open with what was typed.
    connect(addSaveCancelButtons(this, layout), &QPushButton::clicked, this,
            [this] { runCommand(m_prompts, [this] { save(); }); });
    // An undecided "Official" (a hand-edited code) becomes a plain tick box once clicked.
    connect(m_official, &QCheckBox::clicked, this, [this] { m_official->setTristate(false); });
    applyCaptions(builtInText);
    resize(420, sizeHint().height());
}

QLineEdit *TodoDialog::addEdit(QVBoxLayout *layout, const QString &caption, const char *boxName, const char *name)
{
    auto *box = new QGroupBox(caption, this);
    box->setObjectName(QLatin1String(boxName));
    auto *edit = new QLineEdit(box);
    edit->setObjectName(QLatin1String(name));
    (new QVBoxLayout(box))->addWidget(edit);
    layout->addWidget(box);
    return edit;
}

QWidget *TodoDialog::buildProperties()
{
    auto *box = new QGroupBox(QStringLiteral("Properties"), this);
    box->setObjectName(QStringLiteral("GroupBox3"));
    m_official = new QCheckBox(QStringLiteral("Official"), box);
    m_official->setObjectName(QStringLiteral("CheckBox1"));
    m_official->setChecked(true);
    m_kind = codeList(Todos::CodeField::Kind, 4, "ComboBox1", box);
    m_priority = codeList(Todos::CodeField::Priority, 3, "ComboBox2", box);
    m_status = codeList(Todos::CodeField::Status, 5, "ComboBox3", box);
    auto *layout = new QFormLayout(box);
    layout->addRow(m_official);
    addLabelledRow(layout, "TypeLabel", QStringLiteral("&Type"), m_kind);
    addLabelledRow(layout, "PriorityLabel", QStringLiteral("&Priority"), m_priority);
    addLabelledRow(layout, "StatusLabel", QStringLiteral("&Status"), m_status);
    return box;
}

void TodoDialog::applyCaptions(const std::function<QString(int entry)> &text)
{
    setCaptions(m_kind, LanguageEntries::kTodoKinds, text);
    setCaptions(m_priority, LanguageEntries::kTodoPriorities, text);
    setCaptions(m_status, LanguageEntries::kTodoStatuses, text);
}

// Looked up at every showing, so the drop-downs follow the language of the moment. All or
// nothing: a language that lacks one of them leaves the drop-downs as they were.
void TodoDialog::applyLanguageCaptions()
{
    const LanguageTable &table = m_localisation.table();
    QStringList texts;
    for (int entry = LanguageEntries::kTodoKinds; entry <= LanguageEntries::kTodoStatuses + 4; ++entry)
        texts.append(table.entry(entry));
    applyCaptions([&texts](int entry) { return texts.at(entry - LanguageEntries::kTodoKinds); });
}

void TodoDialog::showEvent(QShowEvent *event)
{
    runCommand(m_prompts, [this] { applyLanguageCaptions(); });
    QDialog::showEvent(event);
}

void TodoDialog::editNew(const QString &version)
{
    TodoItem item;
    item.version = version;
    edit(item);
}

void TodoDialog::edit(const TodoItem &item)
{
    m_item = item;
    m_title->setText(item.title.toString());
    m_description->setText(item.description.toString());
    m_version->setText(item.version);
    m_note->setText(item.note.toString());
    m_kind->setCurrentIndex(Todos::positionOf(Todos::CodeField::Kind, item.kind));
    m_priority->setCurrentIndex(Todos::positionOf(Todos::CodeField::Priority, item.priority));
    m_status->setCurrentIndex(Todos::positionOf(Todos::CodeField::Status, item.status));
    const bool known = Todos::positionOf(Todos::CodeField::Official, item.official) >= 0;
    m_official->setTristate(!known);
    m_official->setCheckState(!known ? Qt::PartiallyChecked : item.official == 7 ? Qt::Unchecked : Qt::Checked);

    if (!isVisible())
        centreOnParentWindow(this);
    show();
    raise();
    activateWindow();
    m_title->setFocus();
}

TodoItem TodoDialog::enteredItem() const
{
    TodoItem item = m_item;
    item.title = m_title->text();
    item.description = m_description->text();
    item.version = m_version->text();
    item.note = m_note->text();
    item.kind = chosenCode(m_kind, Todos::CodeField::Kind, m_item.kind);
    item.priority = chosenCode(m_priority, Todos::CodeField::Priority, m_item.priority);
    item.status = chosenCode(m_status, Todos::CodeField::Status, m_item.status);
    if (m_official->checkState() != Qt::PartiallyChecked)
        item.official = m_official->isChecked() ? -1 : 7;
    return item;
}

void TodoDialog::save()
{
    m_commands.save(m_item.uid, enteredItem());
    accept();
    Q_EMIT saved();
}
