#pragma once

#include <QString>

namespace FontSize {

// The sizes a document's text can take, in whole points.
inline constexpr int smallest = 1;
inline constexpr int largest = 1638;

// The size named by a size box's text. Throws Error when the text is not a whole decimal
// number of points within the sizes above.
int fromText(const QString &text);

} // namespace FontSize
