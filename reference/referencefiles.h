#pragma once

#include "platform/referencedatabase.h"

// The lookup database: the five tables of the lookup window, in the order of its pages.
ReferenceDatabaseFile lookupDatabaseFile();

// The database of the equipment loss list.
ReferenceDatabaseFile equipmentDatabaseFile();
