#pragma once

#include <QStringList>

// The typeface names offered by a font box: sorted ignoring case, each name once. A name that
// the font system qualifies with its foundry when several foundries supply it ("Nimbus Sans
// [urw]") stands for its typeface. Names that differ only in letter case all stay.
QStringList fontList(QStringList families);
