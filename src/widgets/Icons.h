#pragma once

#include <QIcon>

namespace Icons {

// An icon of the program's resource, by path below the icons folder ("nav/home.svg").
QIcon named(const QString &name);
// The to-do icon of a code (0 to 12); a code outside that range has none.
QIcon todo(int code);
QIcon application();

} // namespace Icons
