#pragma once

#include "archive/Archive.h"

#include <memory>

class CliArguments;

// The archive that --archive names (the default one without it), opened and
// brought up to date; nothing, with the reason printed, when it cannot be.
std::unique_ptr<Archive> OpenArchive(const CliArguments& options);
