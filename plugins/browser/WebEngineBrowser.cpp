#include "todolist/ui/BrowserFactory.h"

#include <QObject>
#include <QWebEngineView>

namespace QtWebEngineCore {
// The engine's own set-up of the graphics context it shares with the windows. A program that
// links the engine runs it before the application exists; loaded later, as here, the engine
// leaves it to its user. Exported by the engine's core library.
Q_DECL_IMPORT void initialize();
} // namespace QtWebEngineCore

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
        return new QWebEngineView(parent);
    }
};

#include "WebEngineBrowser.moc"
