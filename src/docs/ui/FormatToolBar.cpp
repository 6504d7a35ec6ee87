#include "docs/ui/FormatToolBar.h"

#include "widgets/CommandRunner.h"
#include "widgets/Icons.h"
#include "docs/FontList.h"
#include "docs/FontSize.h"
#include "docs/ui/FontSizeBox.h"
#include "platform/Prompts.h"

#include <QActionGroup>
#include <QColor>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>

#include <algorithm>

namespace {

// Filled once, the first time a font box is built: both boxes show the same list.
const QStringList &installedFonts()
{
    static const QStringList fonts = fontList(QFontDatabase::families());
    return fonts;
}

// A hint "short|long": the short part is the tool tip, the long one goes to the status bar.
// A hint without "|" serves as both.
template<typename Control>
void setHint(Control *control, const QString &hint)
{
    control->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
    control->setStatusTip(hint.section(QLatin1Char('|'), -1));
}

// A box of the bar has no label: its short hint names it, and the field typed into inside it.
void setBoxHint(QWidget *box, const QString &hint)
{
    setHint<QWidget>(box, hint);
    box->setAccessibleName(hint.section(QLatin1Char('|'), 0, 0));
    for (QLineEdit *field : box->findChildren<QLineEdit *>())
        field->setAccessibleName(box->accessibleName());
}

// The indent offset bullets give a paragraph at least, in points.
constexpr qreal bulletIndent = 10;

} // namespace

FormatToolBar::FormatToolBar(QTextEdit &editor, const Names &names, Prompts &prompts, QWidget *parent)
    : QToolBar(parent), m_editor(editor), m_prompts(prompts)
{
    setObjectName(QLatin1String(names.toolBar));
    setMovable(false);
    setIconSize(QSize(16, 16));

    m_cut = addButton(names.cut, "cut.svg", QStringLiteral("Delete selected item"));
    connect(m_cut, &QAction::triggered, &m_editor, &QTextEdit::cut);
    m_copy = addButton(names.copy, "copy.svg", QStringLiteral("Copy selected item to clipboard"));
    connect(m_copy, &QAction::triggered, &m_editor, &QTextEdit::copy);
    QAction *paste = addButton(names.paste, "paste.svg", QStringLiteral("Paste contents of clipboard"));
    connect(paste, &QAction::triggered, &m_editor, &QTextEdit::paste);
    m_undo = addButton(names.undo, "undo.svg", QStringLiteral("Undo the last action"));
    connect(m_undo, &QAction::triggered, &m_editor, &QTextEdit::undo);
    addSeparator();

    addFontBoxes(names);
    addSeparator();

    m_bold = addStyleToggle(names.bold, "bold.svg", QStringLiteral("Bold"), QKeySequence::Bold,
                            [](QTextCharFormat &format, bool on) { format.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    m_italic = addStyleToggle(names.italic, "italic.svg", QStringLiteral("Italic"), QKeySequence::Italic,
                              [](QTextCharFormat &format, bool on) { format.setFontItalic(on); });
    m_underline = addStyleToggle(names.underline, "underline.svg", QStringLiteral("Underline"), QKeySequence::Underline,
                                 [](QTextCharFormat &format, bool on) { format.setFontUnderline(on); });
    addSeparator();

    addAlignment(names);
    addSeparator();

    m_bullets = addToggle(names.bullets, "bullets.svg", QStringLiteral("Bullets|Enter bullet mode"));
    connect(m_bullets, &QAction::triggered, this, &FormatToolBar::setBullets);
    QAction *colour = addButton(names.colour, "colour.svg", QStringLiteral("Text colour"));
    connect(colour, &QAction::triggered, this, &FormatToolBar::chooseColour);

    connectEditor();
    followSelection();
}

// The button shows its icon alone; its text, the short hint, is what a screen reader says.
// It is a Tab stop, so that every command of the bar can be reached from the keyboard.
QAction *FormatToolBar::addButton(const char *name, const char *icon, const QString &hint)
{
    QAction *action = addAction(Icons::named(QStringLiteral("format/") + QLatin1String(icon)),
                                hint.section(QLatin1Char('|'), 0, 0));
    action->setObjectName(QLatin1String(name));
    QWidget *button = widgetForAction(action);
    button->setObjectName(QLatin1String(name));
    button->setFocusPolicy(Qt::TabFocus);
    setHint(action, hint);
    return action;
}

QAction *FormatToolBar::addToggle(const char *name, const char *icon, const QString &hint)
{
    QAction *action = addButton(name, icon, hint);
    action->setCheckable(true);
    return action;
}

// Sets or clears one style bit of the selection, also on its key while the editor has focus.
QAction *FormatToolBar::addStyleToggle(const char *name, const char *icon, const QString &hint,
                                       QKeySequence::StandardKey key, void (*style)(QTextCharFormat &, bool))
{
    QAction *action = addToggle(name, icon, hint);
    action->setShortcut(key);
    // Each editor answers its own keys: the two tool bars live in one window.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_editor.addAction(action);
    connect(action, &QAction::triggered, this, [this, style](bool on) {
        QTextCharFormat format;
        style(format, on);
        applyCharFormat(format);
    });
    return action;
}

void FormatToolBar::addFontBoxes(const Names &names)
{
    m_fontName = new QComboBox(this);
    m_fontName->setObjectName(QLatin1String(names.fontName));
    m_fontName->setEditable(true);
    m_fontName->setInsertPolicy(QComboBox::NoInsert);
    m_fontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_fontName->setMinimumContentsLength(18);
    m_fontName->addItems(installedFonts());
    // The list opens wide enough for the longest name, whatever the width of the box.
    m_fontName->view()->setMinimumWidth(m_fontName->view()->sizeHintForColumn(0)
                                        + m_fontName->view()->verticalScrollBar()->sizeHint().width());
    setBoxHint(m_fontName, QStringLiteral("Font Name|Select font name"));
    connect(m_fontName, &QComboBox::activated, this, &FormatToolBar::setFontName);
    addWidget(m_fontName);

    m_fontSize = new FontSizeBox(this);
    m_fontSize->setObjectName(QLatin1String(names.fontSize));
    setBoxHint(m_fontSize, QStringLiteral("Font Size|Select font size"));
    connect(m_fontSize, &FontSizeBox::sizeEntered, this, &FormatToolBar::setFontSize);
    addWidget(m_fontSize);
}

void FormatToolBar::addAlignment(const Names &names)
{
    auto *group = new QActionGroup(this);
    group->setExclusive(true);
    m_alignLeft = addToggle(names.alignLeft, "align-left.svg", QStringLiteral("Align Left"));
    m_center = addToggle(names.center, "align-center.svg", QStringLiteral("Center"));
    m_alignRight = addToggle(names.alignRight, "align-right.svg", QStringLiteral("Align Right"));
    const std::pair<QAction *, Qt::Alignment> alignments[] = {
        {m_alignLeft, Qt::AlignLeft}, {m_center, Qt::AlignHCenter}, {m_alignRight, Qt::AlignRight}};
    for (const auto &[button, alignment] : alignments) {
        group->addAction(button);
        connect(button, &QAction::triggered, this, [this, alignment] { setAlignment(alignment); });
    }
}

void FormatToolBar::connectEditor()
{
    connect(&m_editor, &QTextEdit::currentCharFormatChanged, this, &FormatToolBar::followSelection);
    connect(&m_editor, &QTextEdit::cursorPositionChanged, this, &FormatToolBar::followSelection);
    // Undo and redo change formats under a caret that stays put.
    connect(m_editor.document(), &QTextDocument::contentsChanged, this, &FormatToolBar::followSelection);
    connect(&m_editor, &QTextEdit::copyAvailable, m_cut, &QAction::setEnabled);
    connect(&m_editor, &QTextEdit::copyAvailable, m_copy, &QAction::setEnabled);
    connect(&m_editor, &QTextEdit::undoAvailable, m_undo, &QAction::setEnabled);
    m_cut->setEnabled(m_editor.textCursor().hasSelection());
    m_copy->setEnabled(m_editor.textCursor().hasSelection());
    m_undo->setEnabled(m_editor.document()->isUndoAvailable());
}

void FormatToolBar::followSelection()
{
    m_updatingToolbar = true;
    const auto done = qScopeGuard([this] { m_updatingToolbar = false; });

    const QTextCharFormat format = m_editor.currentCharFormat();
    const QFont font = format.font().resolve(m_editor.document()->defaultFont());
    m_bold->setChecked(font.bold());
    m_italic->setChecked(font.italic());
    m_underline->setChecked(font.underline());
    const QTextCursor cursor = m_editor.textCursor();
    m_bullets->setChecked(cursor.currentList() != nullptr);
    m_fontSize->showSize(qRound(font.pointSizeF()));
    const QString family = font.families().value(0, font.family());
    m_fontName->setCurrentIndex(m_fontName->findText(family, Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_fontName->setEditText(family);

    // Justified text leaves the alignment buttons as they are.
    const Qt::Alignment alignment = QStyle::visualAlignment(m_editor.layoutDirection(), cursor.blockFormat().alignment());
    if (alignment & Qt::AlignLeft)
        m_alignLeft->setChecked(true);
    else if (alignment & Qt::AlignHCenter)
        m_center->setChecked(true);
    else if (alignment & Qt::AlignRight)
        m_alignRight->setChecked(true);
}

void FormatToolBar::mergeOnWordOrSelection(const QTextCharFormat &format)
{
    QTextCursor cursor = m_editor.textCursor();
    if (cursor.hasSelection()) {
        cursor.mergeCharFormat(format);
        return;
    }
    cursor.select(QTextCursor::WordUnderCursor);
    cursor.mergeCharFormat(format);
    m_editor.mergeCurrentCharFormat(format); // and what is typed next
}

// A format command from the bar: merged, so only what it sets changes, and never while the bar
// is brought in line with the selection.
void FormatToolBar::applyCharFormat(const QTextCharFormat &format)
{
    if (!m_updatingToolbar)
        mergeOnWordOrSelection(format);
}

void FormatToolBar::setFontName(int index)
{
    if (index < 0)
        return;
    QTextCharFormat format;
    format.setFontFamilies({m_fontName->itemText(index)});
    applyCharFormat(format);
    m_editor.setFocus();
}

void FormatToolBar::setFontSize(const QString &text, bool byEnterKey)
{
    if (m_updatingToolbar)
        return;
    runCommand(m_prompts, [this, &text, byEnterKey] {
        QTextCharFormat format;
        format.setFontPointSize(FontSize::fromText(text));
        applyCharFormat(format);
        if (byEnterKey)
            m_editor.setFocus(); // back to writing; a wrong size keeps the box for correcting
    });
}

void FormatToolBar::setAlignment(Qt::Alignment alignment)
{
    if (m_updatingToolbar)
        return;
    QTextBlockFormat format;
    format.setAlignment(alignment);
    m_editor.textCursor().mergeBlockFormat(format);
}

void FormatToolBar::setBullets(bool on)
{
    if (m_updatingToolbar)
        return;
    QTextCursor cursor = m_editor.textCursor();
    cursor.beginEditBlock();
    if (on) {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        list.setIndent(1);
        cursor.createList(list);
    }
    // Block margins are in the editor's pixels.
    const qreal minimum = bulletIndent * m_editor.logicalDpiX() / 72;
    const QTextBlock last = m_editor.document()->findBlock(cursor.selectionEnd());
    for (QTextBlock block = m_editor.document()->findBlock(cursor.selectionStart());; block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (!on)
            format.clearProperty(QTextFormat::ObjectIndex); // leaves its list
        format.setLeftMargin(on ? std::max(format.leftMargin(), minimum) : 0);
        QTextCursor(block).setBlockFormat(format);
        if (block == last)
            break;
    }
    cursor.endEditBlock();
}

void FormatToolBar::chooseColour()
{
    const std::optional<QColor> colour = m_prompts.pickColour();
    if (!colour)
        return;
    QTextCharFormat format;
    format.setForeground(*colour);
    mergeOnWordOrSelection(format);
}
