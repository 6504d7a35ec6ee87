#include "app/ui/QtPrompts.h"

#include "app/ui/PasswordPrompt.h"
#include "project/ui/FolderBrowser.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

void QtPrompts::message(const QString &text)
{
    QMessageBox::information(m_window, QApplication::applicationDisplayName(), text);
}

void QtPrompts::error(const QString &text)
{
    QMessageBox::critical(m_window, QApplication::applicationDisplayName(), text);
}

void QtPrompts::warning(const QString &text)
{
    QMessageBox::warning(m_window, QApplication::applicationDisplayName(), text);
}

bool QtPrompts::question(const QString &text)
{
    return QMessageBox::question(m_window, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

SaveChoice QtPrompts::saveChanges(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_window);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

std::optional<QString> QtPrompts::inputText(const QString &title, const QString &label, const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_window, title, label, QLineEdit::Normal, initial, &ok);
    return ok ? std::optional(text) : std::nullopt;
}

std::optional<PasswordAnswer> QtPrompts::askPassword(const QString &account, bool canRemember, bool refused)
{
    PasswordPrompt prompt(account, canRemember, refused, m_window);
    return prompt.ask();
}

std::optional<QString> QtPrompts::openFile(const QString &filter)
{
    const QString file = QFileDialog::getOpenFileName(m_window, QString(), QString(), filter);
    return file.isEmpty() ? std::nullopt : std::optional(QDir::toNativeSeparators(file));
}

std::optional<QString> QtPrompts::saveFile(const QString &filter)
{
    // No default suffix and no overwrite question: the caller decides about the extension.
    const QString file = QFileDialog::getSaveFileName(m_window, QString(), QString(), filter, nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    return file.isEmpty() ? std::nullopt : std::optional(QDir::toNativeSeparators(file));
}

QString QtPrompts::pickFolder(const std::optional<QString> &title)
{
    FolderBrowser *browser = m_folderBrowser ? m_folderBrowser() : nullptr;
    if (!browser)
        return {};
    if (title)
        browser->setWindowTitle(*title);
    return browser->pick();
}

std::optional<QColor> QtPrompts::pickColour()
{
    const QColor colour = QColorDialog::getColor(m_lastColour, m_window);
    if (!colour.isValid())
        return std::nullopt;
    m_lastColour = colour;
    return colour;
}
