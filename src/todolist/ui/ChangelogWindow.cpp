#include "todolist/ui/ChangelogWindow.h"

#include "widgets/AccessibleNames.h"
#include "widgets/CloseOnEscape.h"
#include "widgets/NamedPage.h"
#include "project/Error.h"
#include "todolist/Changelog.h"
#include "todolist/ui/BrowserFactory.h"
#include "widgets/Placement.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScopeGuard>
#include <QPlainTextEdit>
#include <QDir>
#include <QPluginLoader>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPlainTextEdit *memo(const char *name)
{
    auto *memo = new QPlainTextEdit;
    memo->setObjectName(QLatin1String(name));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    AccessibleNames::nameAfterPage(memo);
    return memo;
}

// The memos show one line per line; the texts carry CR LF.
QString withoutCarriageReturns(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The browser plug-in, loaded once: from beside the program, else from where it was built
// or installed.
BrowserFactory &loadBrowserFactory()
{
    static BrowserFactory *factory = nullptr;
    if (factory)
        return *factory;
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString folders[] = {programFolder.path(), QStringLiteral(TROVAS_BUILD_PLUGIN_DIR),
                               QDir::cleanPath(programFolder.filePath(QStringLiteral(TROVAS_INSTALLED_PLUGINS)))};
    QString reason;
    for (const QString &folder : folders) {
        QPluginLoader loader(folder + QStringLiteral("/trovas_browser"));
        if ((factory = qobject_cast<BrowserFactory *>(loader.instance())))
            return *factory;
        if (reason.isEmpty())
            reason = loader.errorString();
    }
    throw Error(QStringLiteral("Cannot show the changelog as a web page: the browser plug-in cannot be loaded "
                               "(%1).").arg(reason));
}

} // namespace

ChangelogWindow::ChangelogWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_tabs(new QTabWidget(this)), m_source(memo("Memo1")), m_plain(memo("Memo2"))
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Changelog"));
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_tabs->setAccessibleName(windowTitle());

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
    closeOnEscape(this);
    resize(640, 480);
}

void ChangelogWindow::setTexts(const Changelog::Texts &texts)
{
    m_source->setPlainText(withoutCarriageReturns(texts.html));
    m_plain->setPlainText(withoutCarriageReturns(texts.plain));
}

void ChangelogWindow::showPage(const QString &path)
{
    // The view is made before the window shows: added to a window on screen, it makes the
    // window anew, which flashes and loses the click the user makes meanwhile.
    const auto bringUp = qScopeGuard([this] {
        if (!isVisible())
            centreOnParentWindow(this);
        show();
        raise();
        activateWindow();
    });
    if (!m_browser) {
        m_browser = loadBrowserFactory().createView(nullptr);
        m_browser->setObjectName(QStringLiteral("WebBrowser1"));
        followPalette();
        m_htmlLayout->addWidget(m_browser);
    }
    m_browser->setProperty("url", QUrl::fromLocalFile(path));
}

void ChangelogWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        followPalette();
    QWidget::changeEvent(event);
}

void ChangelogWindow::followPalette()
{
    // A page without colours of its own is shown in the window's light or dark.
    if (m_browser)
        m_browser->setProperty("darkColours", palette().color(QPalette::Window).lightness() < 128);
}
