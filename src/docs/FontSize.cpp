#include "docs/FontSize.h"

#include "project/Error.h"

namespace FontSize {

int fromText(const QString &text)
{
    bool ok = false;
    const int points = text.trimmed().toInt(&ok, 10);
    if (!ok || points < smallest || points > largest)
        throw Error(QStringLiteral("\"%1\" is not a font size: enter a whole number of points from %2 to %3.")
                        .arg(text)
                        .arg(smallest)
                        .arg(largest));
    return points;
}

} // namespace FontSize
