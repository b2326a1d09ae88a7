#pragma once

#include <QString>

#include "platform/referencedatabase.h"

// Where an installed copy keeps the starter rows as CSV files: share/quorvel beside the bin
// folder that holds the program.
QString installedDataFolder();

// The starter rows of each table are <shippedFolder>/<table>.csv when that file exists, and
// otherwise the copy built into the program, so the build tree and an installed copy both work.

// The lookup database: the five tables of the lookup window, in the order of its pages.
ReferenceDatabaseFile lookupDatabaseFile(const QString& shippedFolder = installedDataFolder());

// The database of the equipment loss list.
ReferenceDatabaseFile equipmentDatabaseFile(const QString& shippedFolder = installedDataFolder());
