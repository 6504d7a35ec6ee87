#pragma once

#include <QString>

#include <functional>

class QWidget;

// The names screen readers say for controls that no label beside them names: a list filling a
// tab is named by the tab, an editor filling a page by the page's navigation entry. The names
// follow the captions when a language changes them.
namespace AccessibleNames {

// Names `control` by `caption` now and at every `renameAll`.
void nameBy(QWidget *control, std::function<QString()> caption);
// Names `control` after the page it lies on: its tab's caption, or the name of a page that
// shows no tab.
void nameAfterPage(QWidget *control);
// Takes the captions as they are now, after a language set them.
void renameAll(const QWidget &window);

// A caption as a screen reader should say it: without the "&" that marks its access key.
QString withoutAccessKey(const QString &caption);

} // namespace AccessibleNames
