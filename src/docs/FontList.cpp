#include "docs/FontList.h"

#include <QCollator>

#include <algorithm>

namespace {

QString withoutFoundry(const QString &family)
{
    const qsizetype bracket = family.lastIndexOf(QStringLiteral(" ["));
    return bracket > 0 && family.endsWith(QLatin1Char(']')) ? family.left(bracket) : family;
}

} // namespace

QStringList fontList(QStringList families)
{
    for (QString &family : families)
        family = withoutFoundry(family);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Names equal but for case are ordered among themselves too, so that every exact repeat
    // ends up next to its twin and is dropped, wherever the system listed it.
    std::sort(families.begin(), families.end(), [&collator](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    families.erase(std::unique(families.begin(), families.end()), families.end());
    return families;
}
