#pragma once

#include <QWidget>

class QPlainTextEdit;
class QTabWidget;
class QVBoxLayout;
class QWebEngineView;

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
    // Shows the written page in the "HTML" tab and brings the window up.
    void showPage(const QString &path);

    // The browser view, once a page has been shown.
    QWebEngineView *browser() const { return m_browser; }

private:
    QTabWidget *m_tabs;
    QVBoxLayout *m_htmlLayout;
    QPlainTextEdit *m_source, *m_plain;
    QWebEngineView *m_browser = nullptr;
};
