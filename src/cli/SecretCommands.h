#pragma once

#include "cli/ExitStatus.h"

struct Invocation;

// The command on the project's secrets: secrets move.
namespace SecretCommands {

// Moves the upload passwords of the project file into the system keyring and writes the file
// again, in the order it had, without each password the keyring took. Throws Error when no
// keyring can be used or the file cannot be written.
ExitStatus move(const Invocation &invocation);

} // namespace SecretCommands
