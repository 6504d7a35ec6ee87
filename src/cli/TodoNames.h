#pragma once

#include <QString>

// The words the command line uses for the to-do codes: "at-work" for status 10, "bug" for
// kind 0. A code outside the tables (a hand-edited file) reads as its number.
namespace TodoNames {

enum class Field { Status, Priority, Kind };

QString nameOf(Field field, int code);
// The code of a status word, or -1.
int statusCode(const QString &name);
// "finished, testing, at-work, todo, someday"
QString statusNames();

} // namespace TodoNames
