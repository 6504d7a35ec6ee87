#include "todolist/ui/ChangelogWindow.h"

#include "app/ui/NamedPage.h"
#include "todolist/Changelog.h"
#include "todolist/ui/Placement.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {

QPlainTextEdit *memo(const char *name)
{
    auto *memo = new QPlainTextEdit;
    memo->setObjectName(QLatin1String(name));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

// The memos show one line per line; the texts carry CR LF.
QString withoutCarriageReturns(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

ChangelogWindow::ChangelogWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_tabs(new QTabWidget(this)), m_source(memo("Memo1")), m_plain(memo("Memo2"))
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Changelog"));
    m_tabs->setObjectName(QStringLiteral("PageControl1"));

    // The browser engine is heavy: its view is made when the first changelog is shown.
    auto *html = new QWidget;
    html->setObjectName(QStringLiteral("TabSheet1"));
    m_htmlLayout = new QVBoxLayout(html);
    m_htmlLayout->setContentsMargins(0, 0, 0, 0);
    m_tabs->addTab(html, QStringLiteral("HTML"));
    m_tabs->addTab(namedPage("TabSheet2", m_source), QStringLiteral("HTML-Source"));
    m_tabs->addTab(namedPage("TabSheet3", m_plain), QStringLiteral("Plain"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tabs);
    resize(640, 480);
}

void ChangelogWindow::setTexts(const Changelog::Texts &texts)
{
    m_source->setPlainText(withoutCarriageReturns(texts.html));
    m_plain->setPlainText(withoutCarriageReturns(texts.plain));
}

void ChangelogWindow::showPage(const QString &path)
{
    if (!m_browser) {
        m_browser = new QWebEngineView;
        m_browser->setObjectName(QStringLiteral("WebBrowser1"));
        m_htmlLayout->addWidget(m_browser);
    }
    m_browser->load(QUrl::fromLocalFile(path));
    if (!isVisible())
        centreOnParentWindow(this);
    show();
    raise();
    activateWindow();
}
