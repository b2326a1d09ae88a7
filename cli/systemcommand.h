#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tablefiles/workbook.h"

// quorvel-calc system: a water system from a CSV of sections or a project file.

// The usage lines and the section of --help that describe it.
extern const std::string_view SystemUsage;
std::string systemHelp();

// Runs the command on the arguments after "system"; returns the exit status.
int runSystem(std::span<const std::string_view> args);

// The user's text as a message can show it on one line (main.cpp).
std::string printable(std::string_view text);

// Why a workbook was not written, for a message (main.cpp).
const char* writeFailureText(const tablefiles::WriteResult& result);
