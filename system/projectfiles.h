#pragma once

#include <QString>

#include "hydraulics/projectfile.h"
#include "platform/outcome.h"

// A project file on disk, read and written through the engine's project format. The reasons of
// a failure are for the user and do not name the file: the caller does.

// Reads `path` into `project`; `project` is left as it was on a failure.
Outcome readProjectFile(const QString& path, hydraulics::Project& project);

// Writes `project` to `path` through a temporary file in the same folder renamed over it, so
// that a failure leaves the old file, or none.
Outcome writeProjectFile(const QString& path, const hydraulics::Project& project);
