#include "widgets/AccessibleNames.h"

#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

namespace AccessibleNames {

namespace {

// Kept beside the control it names, so that renaming finds every named control.
class CaptionName : public QObject
{
public:
    CaptionName(QWidget *control, std::function<QString()> caption)
        : QObject(control), m_control(control), m_caption(std::move(caption))
    {
    }

    QString caption() const { return withoutAccessKey(m_caption()); }
    void apply() const { m_control->setAccessibleName(caption()); }

private:
    QWidget *m_control;
    std::function<QString()> m_caption;
};

QString pageCaption(const QWidget *control)
{
    for (const QWidget *page = control; page; page = page->parentWidget()) {
        const auto *stack = qobject_cast<const QStackedWidget *>(page->parentWidget());
        if (!stack)
            continue;
        if (const auto *tabs = qobject_cast<const QTabWidget *>(stack->parentWidget()))
            return tabs->tabText(tabs->indexOf(const_cast<QWidget *>(page)));
        for (const QObject *child : page->children())
            if (const auto *name = dynamic_cast<const CaptionName *>(child))
                return name->caption();
    }
    return {};
}

} // namespace

void nameBy(QWidget *control, std::function<QString()> caption)
{
    (new CaptionName(control, std::move(caption)))->apply();
}

void nameAfterPage(QWidget *control)
{
    nameBy(control, [control] { return pageCaption(control); });
}

void renameAll(const QWidget &window)
{
    // Plain objects without a meta-object of their own: found by their C++ type.
    for (const QObject *object : window.findChildren<const QObject *>())
        if (const auto *name = dynamic_cast<const CaptionName *>(object))
            name->apply();
}

QString withoutAccessKey(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size())
            ++i; // "&&" stands for one "&"; any other "&" only marks the next letter
        text.append(caption.at(i));
    }
    return text;
}

} // namespace AccessibleNames
