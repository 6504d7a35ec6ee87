#pragma once

#include <QtPlugin>

class QWidget;

// The web view of the changelog window. The browser engine is large and slow to load, and
// only that window needs it, so it lives in a plug-in that is loaded the first time a page is
// shown: the program starts without it.
class BrowserFactory
{
public:
    virtual ~BrowserFactory() = default;
    // A view that shows a web page; setting its "url" property loads one, and its
    // "darkColours" property shows a page without colours of its own light on dark.
    virtual QWidget *createView(QWidget *parent) = 0;
};

#define BrowserFactory_iid "org.trovas.BrowserFactory/1"
Q_DECLARE_INTERFACE(BrowserFactory, BrowserFactory_iid)
