#include "todolist/ui/BrowserFactory.h"

#include <QObject>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace QtWebEngineCore {
// The engine's own set-up of the graphics context it shares with the windows. A program that
// links the engine runs it before the application exists; loaded later, as here, the engine
// leaves it to its user. Exported by the engine's core library.
Q_DECL_IMPORT void initialize();
} // namespace QtWebEngineCore

namespace {

const QString kColourScheme = QStringLiteral("colour-scheme");

// A web view that shows pages in the window's light or dark colours, where a page sets none.
class PageView : public QWebEngineView
{
    Q_OBJECT
    Q_PROPERTY(bool darkColours READ darkColours WRITE setDarkColours)

public:
    using QWebEngineView::QWebEngineView;

    bool darkColours() const { return m_dark; }
    void setDarkColours(bool dark)
    {
        if (dark == m_dark)
            return;
        m_dark = dark;
        page()->setBackgroundColor(dark ? QColor(0x23, 0x25, 0x28) : QColor(Qt::white));
        QWebEngineScriptCollection &scripts = page()->scripts();
        for (const QWebEngineScript &old : scripts.find(kColourScheme))
            scripts.remove(old);
        // The browser's own colour scheme: its default text and canvas colours, for the
        // elements the page leaves uncoloured.
        QWebEngineScript script;
        script.setName(kColourScheme);
        script.setInjectionPoint(QWebEngineScript::DocumentReady);
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        script.setSourceCode(QStringLiteral("document.documentElement.style.colorScheme = '%1';")
                                 .arg(dark ? QStringLiteral("dark") : QStringLiteral("light")));
        scripts.insert(script);
        if (!url().isEmpty())
            reload();
    }

private:
    bool m_dark = false;
};

} // namespace

// The browser plug-in: web views of the Qt WebEngine.
class WebEngineBrowser : public QObject, public BrowserFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID BrowserFactory_iid)
    Q_INTERFACES(BrowserFactory)

public:
    QWidget *createView(QWidget *parent) override
    {
        QtWebEngineCore::initialize();
        return new PageView(parent);
    }
};

#include "WebEngineBrowser.moc"
