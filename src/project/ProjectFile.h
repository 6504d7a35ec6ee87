#pragma once

#include "project/ProjectData.h"

class ChoreProgress;

// The .dev format: an 18-line header of settings and counts, then the sections, one value per line.
namespace ProjectFile {

// Lists come back in file order; the caller puts the sorted lists in their order.
// Throws Error naming the line and what is wrong with it.
ProjectData parse(const QStringList &lines);
QStringList serialize(const ProjectData &project);

// Reports the bytes read to `progress` and stops when it is cancelled.
ProjectData read(const QString &path, ChoreProgress *progress = nullptr);
// A file that holds a password is readable by its owner alone; any other keeps its mode.
void write(const QString &path, const ProjectData &project);

} // namespace ProjectFile
