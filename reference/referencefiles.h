#pragma once

#include <QString>

#include "reference/referencedatabase.h"

// Where an installed copy keeps the starter rows as CSV files: share/quorvel beside the bin
// folder that holds the program.
QString installedDataFolder();

// The lookup database: the five tables of the lookup window, in the order of its pages. Each
// table starts from <shippedFolder>/<table>.csv when that file exists, otherwise from the copy
// built into the program, so an installed copy and the build tree both work.
ReferenceDatabaseFile lookupDatabaseFile(const QString& shippedFolder = installedDataFolder());

// The database of the equipment loss list; its table starts from the same places.
ReferenceDatabaseFile equipmentDatabaseFile(const QString& shippedFolder = installedDataFolder());
