#include "widgets/Icons.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QStyleOption>
#include <QStyle>
#include <QSvgRenderer>

namespace Icons {

namespace {

// The icons draw their outlines in dark inks, which vanish on a dark window; there each ink
// is drawn in a light counterpart of its hue.
const std::pair<const char *, const char *> kDarkInks[] = {
    {"#3b4048", "#c9ced6"}, {"#2b3440", "#b9c3cf"}, {"#4d535b", "#c2c8cf"}, {"#4a3b2c", "#c9a67c"},
    {"#3b2a00", "#e0bd62"}, {"#6e4f12", "#d9a441"}, {"#1b5e20", "#8fdc92"}, {"#1e5e24", "#8fdc92"},
    {"#1f4f99", "#8db7f2"}};

bool windowIsDark()
{
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

// An SVG icon drawn at the size and pixel ratio asked for, in the inks that suit the window's
// palette at that moment: crisp on any screen, and right again after the palette changes.
class InkIconEngine : public QIconEngine
{
public:
    explicit InkIconEngine(const QByteArray &svg) : m_light(svg), m_dark(svg)
    {
        for (const auto &[ink, light] : kDarkInks)
            m_dark.replace(ink, light);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        const bool dark = windowIsDark();
        // Long lists draw the same few icons over and over.
        const QString key = QStringLiteral("%1x%2@%3:%4%5").arg(size.width()).arg(size.height()).arg(scale).arg(int(mode)).arg(dark);
        if (const auto drawn = m_drawn.constFind(key); drawn != m_drawn.cend())
            return *drawn;
        QPixmap pixmap(size * scale);
        pixmap.fill(Qt::transparent);
        QSvgRenderer renderer(dark ? m_dark : m_light);
        if (renderer.isValid()) {
            QPainter painter(&pixmap);
            renderer.render(&painter);
        }
        pixmap.setDevicePixelRatio(scale);
        if (mode == QIcon::Disabled || mode == QIcon::Selected) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            pixmap = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
        }
        m_drawn.insert(key, pixmap);
        return pixmap;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine *clone() const override { return new InkIconEngine(*this); }
    QString key() const override { return QStringLiteral("InkIconEngine"); }
    bool isNull() override { return m_light.isEmpty(); }

private:
    QByteArray m_light;
    QByteArray m_dark;
    QHash<QString, QPixmap> m_drawn;
};

QByteArray readIcon(const QString &name)
{
    QFile file(QStringLiteral(":/icons/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each icon file is read once: the to-do icons appear in several lists and menus. The cache
// empties with the application, before the icon engines go.
QHash<QString, QIcon> &cache()
{
    static QHash<QString, QIcon> icons;
    return icons;
}

} // namespace

QIcon named(const QString &name)
{
    QHash<QString, QIcon> &icons = cache();
    if (icons.isEmpty())
        qAddPostRoutine([] { cache().clear(); });
    auto found = icons.constFind(name);
    if (found == icons.cend())
        found = icons.insert(name, QIcon(new InkIconEngine(readIcon(name))));
    return *found;
}

QIcon todo(int code)
{
    if (code < 0 || code > 12)
        return {};
    return named(QStringLiteral("todo/%1.svg").arg(code, 2, 10, QLatin1Char('0')));
}

QIcon application()
{
    // The program's own mark keeps its colours, and the window system takes it as it is.
    return QIcon(QStringLiteral(":/icons/trovas.svg"));
}

} // namespace Icons
