#include "docs/ui/RichTextPage.h"

#include "widgets/AccessibleNames.h"
#include "widgets/PageContext.h"
#include "workspace/Workspace.h"
#include "docs/ui/DocumentBinding.h"
#include "docs/ui/FormatToolBar.h"
#include "docs/ui/RichTextEditor.h"

#include <QVBoxLayout>

namespace {

struct PageNames
{
    const char *page;
    const char *editor;
    FormatToolBar::Names toolBar;
};

const PageNames descriptionNames{
    "TabSheet2", "Editor",
    {"StandardToolBar", "CutButton", "CopyButton", "PasteButton", "UndoButton", "FontName", "FontSize",
     "BoldButton", "ItalicButton", "UnderlineButton", "LeftAlign", "CenterAlign", "RightAlign", "BulletsButton",
     "ToolButton3"}};

const PageNames licenseNames{
    "TabSheet5", "Editor2",
    {"ToolBar1", "ToolButton1", "ToolButton4", "ToolButton5", "ToolButton6", "ComboBox1", "Edit20", "ToolButton12",
     "ToolButton13", "ToolButton14", "ToolButton17", "ToolButton18", "ToolButton19", "ToolButton22", "ToolButton23"}};

} // namespace

RichTextPage::RichTextPage(const PageContext &context, ProjectList list, QWidget *parent) : QWidget(parent)
{
    const PageNames &names = list == ProjectList::License ? licenseNames : descriptionNames;
    setObjectName(QLatin1String(names.page));

    auto *editor = new RichTextEditor(context.launcher, this);
    editor->setObjectName(QLatin1String(names.editor));
    AccessibleNames::nameAfterPage(editor);
    new DocumentBinding(context.workspace.project, list, editor->document());
    auto *toolBar = new FormatToolBar(*editor, names.toolBar, context.prompts, this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(editor, 1);
}
