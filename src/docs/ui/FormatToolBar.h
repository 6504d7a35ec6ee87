#pragma once

#include <QToolBar>

class FontSizeBox;
class Prompts;
class QActionGroup;
class QComboBox;
class QTextCharFormat;
class QTextEdit;

// The formatting tool bar of a document editor: clipboard and undo, typeface, size, style,
// alignment, bullets and colour of the selection. It follows the selection, and bringing it
// in line never feeds back into the text.
class FormatToolBar : public QToolBar
{
    Q_OBJECT

public:
    // The object names of the bar and of its controls, in tool bar order.
    struct Names
    {
        const char *toolBar, *cut, *copy, *paste, *undo, *fontName, *fontSize, *bold, *italic, *underline,
            *alignLeft, *center, *alignRight, *bullets, *colour;
    };

    FormatToolBar(QTextEdit &editor, const Names &names, Prompts &prompts, QWidget *parent = nullptr);

private:
    QAction *addButton(const char *name, const char *icon, const QString &hint);
    QAction *addToggle(const char *name, const char *icon, const QString &hint);
    QAction *addStyleToggle(const char *name, const char *icon, const QString &hint, QKeySequence::StandardKey key,
                            void (*style)(QTextCharFormat &, bool));
    void addFontBoxes(const Names &names);
    void addAlignment(const Names &names);
    void connectEditor();

    void followSelection();
    void mergeOnWordOrSelection(const QTextCharFormat &format);
    void applyCharFormat(const QTextCharFormat &format);
    void setFontName(int index);
    void setFontSize(const QString &text, bool byEnterKey);
    void setAlignment(Qt::Alignment alignment);
    void setBullets(bool on);
    void chooseColour();

    QTextEdit &m_editor;
    Prompts &m_prompts;
    // Set while the controls are brought in line with the selection.
    bool m_updatingToolbar = false;

    QAction *m_cut = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_undo = nullptr;
    QComboBox *m_fontName = nullptr;
    FontSizeBox *m_fontSize = nullptr;
    QAction *m_bold = nullptr;
    QAction *m_italic = nullptr;
    QAction *m_underline = nullptr;
    QAction *m_alignLeft = nullptr;
    QAction *m_center = nullptr;
    QAction *m_alignRight = nullptr;
    QAction *m_bullets = nullptr;
};
