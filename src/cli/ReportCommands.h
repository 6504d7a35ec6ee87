#pragma once

#include "cli/ExitStatus.h"

class Project;
struct Invocation;

// The commands that read the project and print it: info, todo, changelog.
namespace ReportCommands {

ExitStatus info(const Invocation &invocation, const Project &project);
ExitStatus todo(const Invocation &invocation, const Project &project);
// Throws Error when the templates cannot be read or the output cannot be written.
ExitStatus changelog(const Invocation &invocation, const Project &project);

} // namespace ReportCommands
