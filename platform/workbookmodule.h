#pragma once

#include <QStringList>

#include "platform/outcome.h"
#include "tablefiles/workbook.h"

// The workbook writers (libgsf, libxlsxwriter and the libraries they load in turn) come in a
// module of their own, quorvel-workbooks, which a window loads when it first writes a
// workbook, so that they cost the program's start nothing. A loaded module stays loaded: later
// loads find it at once.

struct WorkbookWriterLoad {
    // Null when the module could not be loaded.
    tablefiles::WorkbookWriter write = nullptr;
    // Why not, for the user; the caller names the file it was saving.
    Outcome outcome = Outcome::failed({});
};

// Where the module is looked for, in this order: the installed one, relative to the program's
// folder; the build tree's, for the programs and tests run there.
QStringList workbookModulePaths();

// The writer of the first of `paths` that exists. A module there that does not load is
// reported, not passed over for another one.
WorkbookWriterLoad loadWorkbookWriter(const QStringList& paths = workbookModulePaths());
