#pragma once

#include <QStringList>

// The typeface names offered by a font box: sorted ignoring case, each name once. Names that
// differ only in letter case are different typefaces and all stay.
QStringList fontList(QStringList families);
