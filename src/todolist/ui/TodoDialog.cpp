#include "todolist/ui/TodoDialog.h"

#include "app/ui/DialogButtons.h"
#include "app/ui/Icons.h"
#include "todolist/TodoCommands.h"
#include "todolist/ui/Placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Drop-down captions in table order.
const char *const kKindCaptions[] = {"Bug", "Changed", "Removed", "New"};
const char *const kPriorityCaptions[] = {"High", "Low", "Normal"};
const char *const kStatusCaptions[] = {"Finished", "Testing", "At work", "To do", "Someday"};

QComboBox *codeList(Todos::CodeField field, int count, const char *name, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    for (int position = 0; position < count; ++position)
        list->addItem(Icons::todo(Todos::codeAt(field, position)), QString());
    return list;
}

template<size_t N>
void setCaptions(QComboBox *list, const char *const (&captions)[N])
{
    for (size_t i = 0; i < N; ++i)
        list->setItemText(static_cast<int>(i), QString::fromLatin1(captions[i]));
}

// A drop-down's code, or the item's own when nothing is chosen (a code outside the table).
int chosenCode(const QComboBox *list, Todos::CodeField field, int original)
{
    const int position = list->currentIndex();
    return position < 0 ? original : Todos::codeAt(field, position);
}

} // namespace

TodoDialog::TodoDialog(TodoCommands &commands, QWidget *parent) : QDialog(parent), m_commands(commands)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("To-Do"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);

    // Created top to bottom, which is also the Tab order.
    m_title = addEdit(layout, QStringLiteral("Title:"), "Edit1");
    m_description = addEdit(layout, QStringLiteral("Description:"), "Edit3");
    layout->addWidget(buildProperties());
    m_version = addEdit(layout, QStringLiteral("Version:"), "Edit2");
    m_note = addEdit(layout, QStringLiteral("Note:"), "Edit5");

    connect(addSaveCancelButtons(this, layout), &QPushButton::clicked, this, &TodoDialog::save);
    // An undecided "Official" (a hand-edited code) becomes a plain tick box once clicked.
    connect(m_official, &QCheckBox::clicked, this, [this] { m_official->setTristate(false); });
    applyCaptions();
    resize(420, sizeHint().height());
}

QLineEdit *TodoDialog::addEdit(QVBoxLayout *layout, const QString &caption, const char *name)
{
    auto *box = new QGroupBox(caption, this);
    auto *edit = new QLineEdit(box);
    edit->setObjectName(QLatin1String(name));
    (new QVBoxLayout(box))->addWidget(edit);
    layout->addWidget(box);
    return edit;
}

QWidget *TodoDialog::buildProperties()
{
    auto *box = new QGroupBox(QStringLiteral("Properties"), this);
    m_official = new QCheckBox(QStringLiteral("Official"), box);
    m_official->setObjectName(QStringLiteral("CheckBox1"));
    m_official->setChecked(true);
    m_kind = codeList(Todos::CodeField::Kind, 4, "ComboBox1", box);
    m_priority = codeList(Todos::CodeField::Priority, 3, "ComboBox2", box);
    m_status = codeList(Todos::CodeField::Status, 5, "ComboBox3", box);
    auto *layout = new QFormLayout(box);
    layout->addRow(m_official);
    layout->addRow(QStringLiteral("&Type"), m_kind);
    layout->addRow(QStringLiteral("&Priority"), m_priority);
    layout->addRow(QStringLiteral("&Status"), m_status);
    return box;
}

// Set anew at every showing, so the drop-downs follow the captions of the moment.
void TodoDialog::applyCaptions()
{
    setCaptions(m_kind, kKindCaptions);
    setCaptions(m_priority, kPriorityCaptions);
    setCaptions(m_status, kStatusCaptions);
}

void TodoDialog::showEvent(QShowEvent *event)
{
    applyCaptions();
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
    m_title->setText(item.title);
    m_description->setText(item.description);
    m_version->setText(item.version);
    m_note->setText(item.note);
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
