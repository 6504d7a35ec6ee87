#pragma once

#include <QStringList>

#include <functional>

class Prompts;
class QAbstractScrollArea;
class QMimeData;

// The local files and folders a drag carries, as native paths; empty for anything else.
QStringList droppedPaths(const QMimeData *mime);

// Lets a list take files and folders dragged from the file manager: `dropped` gets their
// paths once the drop is over (it may ask the user, which must not happen while the drag
// still holds the pointer), and its errors go to a message box. Other drags are left to the list.
void acceptFileDrops(QAbstractScrollArea *list, Prompts &prompts, std::function<void(const QStringList &)> dropped);
