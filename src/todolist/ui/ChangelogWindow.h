#pragma once

#include <QWidget>

class QPlainTextEdit;
class QTabWidget;
class QVBoxLayout;

namespace Changelog {
struct Texts;
}

// TForm7: the last changelog, as a rendered page, as HTML source and as plain text. Created
// once and reused; it keeps the tab chosen last. The memos may be edited to copy text out.
class ChangelogWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ChangelogWindow(QWidget *parent);

    void setTexts(const Changelog::Texts &texts);
    // Shows the written page in the "HTML" tab and brings the window up. Throws Error when
    // the browser plug-in cannot be loaded; the other tabs then still show the changelog.
    void showPage(const QString &path);

    // The browser view (a QWebEngineView), once a page has been shown.
    QWidget *browser() const { return m_browser; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void followPalette();

    QTabWidget *m_tabs;
    QVBoxLayout *m_htmlLayout;
    QPlainTextEdit *m_source, *m_plain;
    QWidget *m_browser = nullptr;
};
