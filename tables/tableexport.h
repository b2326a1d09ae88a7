#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "tablefiles/resulttableworkbook.h"

class Prompter;

// Saves a result table as a workbook at `path`, used as it stands. Asks before replacing a
// file, offers the save dialog when the path's folder does not exist (or names a drive), and
// tells the user why a save failed. Returns the path saved to, or nothing when nothing was
// written; a failure leaves any existing file as it was.
std::optional<QString> exportTable(Prompter& prompter, TableKind kind,
                                   const std::vector<ResultRowTexts>& rows,
                                   const QString& totalText, const QString& path);

// The user's message for a failed write, naming the path and the reason.
QString exportFailureText(const tablefiles::WriteResult& result, const QString& path,
                          std::size_t rows);
