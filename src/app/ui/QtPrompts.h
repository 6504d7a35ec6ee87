#pragma once

#include "platform/Prompts.h"

#include <QColor>
#include <QPointer>

#include <functional>

class FolderBrowser;
class QWidget;

// The real dialogs, parented to the main window.
class QtPrompts : public Prompts
{
public:
    void setParentWindow(QWidget *window) { m_window = window; }
    // The folder browser, asked for when a folder is first picked.
    void setFolderBrowser(std::function<FolderBrowser *()> browser) { m_folderBrowser = std::move(browser); }

    void message(const QString &text) override;
    void error(const QString &text) override;
    void warning(const QString &text) override;
    bool question(const QString &text) override;
    SaveChoice saveChanges(const QString &text) override;
    std::optional<QString> inputText(const QString &title, const QString &label, const QString &initial) override;
    std::optional<PasswordAnswer> askPassword(const QString &account, bool canRemember, bool refused) override;
    std::optional<QString> openFile(const QString &filter) override;
    std::optional<QString> saveFile(const QString &filter) override;
    QString pickFolder(const std::optional<QString> &title) override;
    std::optional<QColor> pickColour() override;

private:
    QPointer<QWidget> m_window;
    std::function<FolderBrowser *()> m_folderBrowser;
    QColor m_lastColour = Qt::black;
};
