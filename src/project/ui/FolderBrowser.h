#pragma once

#include <QDialog>

class QFileSystemModel;
class QLabel;
class QTreeView;

// TForm6: the folder browser behind every folder picker. Created once and reused, so the tree
// keeps its selection and its open branches from one use to the next.
class FolderBrowser : public QDialog
{
    Q_OBJECT

public:
    explicit FolderBrowser(QWidget *parent = nullptr);

    // Shows the browser modally; the folder selected when it closes, or empty.
    QString pick();
    QString selectedFolder() const;
    void selectFolder(const QString &path);

protected:
    void changeEvent(QEvent *event) override;

private:
    QFileSystemModel *m_model;
    QTreeView *m_tree;
    // The title again, whole and above the tree: it names what the folder is for (or which
    // dropped files go there), where a narrow title bar cuts it.
    QLabel *m_prompt;
};
