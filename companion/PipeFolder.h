#pragma once

#include <string>

// Where the pipes live: <runtime folder>/<group>/<server>/PipeComm, with the
// user's runtime folder ($XDG_RUNTIME_DIR), or ~/.local/share without one.
// Vistrel builds the same path on its side.
std::string pipeFolderPath();
